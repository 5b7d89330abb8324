// Saves a picture of every options page, drawn with the program's skin, into the folder given
// as the first argument (run under a display server, e.g. Xvfb).
#include "recordinghost.h"

#include "engine/converter.h"
#include "options/converterencoder.h"
#include "options/frmoption.h"
#include "settings/settingsfiles.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"
#include "ui/skin/skinengine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QThread>

struct SkinnedHost : RecordingHost
{
    SkinEngine skin;
    void applySkin(QWidget *window, const QString &name) override { skin.applySkin(window, name); }
    void setHue(int degrees) override { skin.setHue(degrees, true); }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    TestConfigDir config;
    TestPlatform::install();
    QFile::copy(SettingsFiles::defaultsFile(), SettingsFiles::workingFile());

    SkinnedHost host;
    host.skin.loadSkinFile(TestEnv::sourceDir() + QStringLiteral("/resources/skin/media.skn"));
    Converter writer;
    ConverterEncoder encoder(writer);
    host.engine = &encoder;
    frmOption dialog(host);
    dialog.Load();
    dialog.Apply();
    dialog.show();
    const char *names[] = {"general", "mp3", "wma", "ogg", "wav"};
    for (int page = 0; page < 5; ++page) {
        dialog.SSTab1->setCurrentIndex(page);
        for (int i = 0; i < 20; ++i, QThread::msleep(10))
            app.processEvents();
        if (!dialog.grab().save(out.filePath(QStringLiteral("options-%1.png").arg(names[page]))))
            return 2;
    }
    return 0;
}
