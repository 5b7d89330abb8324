#include "app/frmdialog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewright"));
    frmDialog window;
    window.show();
    return QApplication::exec();
}
