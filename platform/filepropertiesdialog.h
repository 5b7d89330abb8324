#pragma once

#include <QDialog>

// A small properties sheet for when no file manager offers its own.
class FilePropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FilePropertiesDialog(const QString &path, QWidget *parent = nullptr);
};
