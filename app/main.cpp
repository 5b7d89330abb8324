#include "app/startup.h"
#include "platform/largeblocks.h"
#include "platform/quitsignals.h"

#include <QApplication>

extern "C" {
#include <libavutil/log.h>
}

int main(int argc, char *argv[])
{
    // Problems with a file reach the user through the program's own messages.
    av_log_set_level(AV_LOG_ERROR);
    LargeBlocks::returnToSystem();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewright"));
    // Ties the windows to the desktop entry (Wayland app id, taskbar grouping and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral(TWR_APP_ID));
    // Files opened with the program from the desktop ("tonewright %F").
    Startup startup(Startup::filesFromArguments(QApplication::arguments().mid(1)));
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &startup, &Startup::quitRequested);
    startup.begin();
    return QApplication::exec();
}
