#pragma once

#include <QMainWindow>

// The main window.
class frmDialog : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmDialog(QWidget *parent = nullptr);
};
