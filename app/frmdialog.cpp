#include "app/frmdialog.h"

frmDialog::frmDialog(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("Tonewright"));
    resize(640, 460);
}
