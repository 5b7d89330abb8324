#include "app/startup.h"

#include <QApplication>

extern "C" {
#include <libavutil/log.h>
}

int main(int argc, char *argv[])
{
    // Problems with a file reach the user through the program's own messages.
    av_log_set_level(AV_LOG_ERROR);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewright"));
    Startup startup;
    startup.begin();
    return QApplication::exec();
}
