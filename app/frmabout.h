#pragma once

#include <QDialog>

class QPushButton;
class SkinEngine;

// The About window: the program, its version and licence, and the libraries it runs on with
// the versions loaded right now, so a user can quote them in a report.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // `skin` (may be null) draws the window with its default definition.
    explicit frmAbout(SkinEngine *skin, QWidget *parent = nullptr);

    QPushButton *cmdOK = nullptr;
};
