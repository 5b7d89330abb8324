// The start-up window's hand-over to the main window, in process through the test platform,
// and the single-instance rule with the real program started twice.
#include "app/frmdialog.h"
#include "app/frmsplash.h"
#include "app/startup.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "ui/skin/skinengine.h"

#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void splashHandsOverAfterItsTimer()
    {
        TestConfigDir config;
        TestPlatform::install();
        const QString skinFile = frmDialog::skinTempFile();

        Startup startup;
        startup.begin();
        QPointer<frmSplash> splash = startup.splash();
        QVERIFY(splash && splash->isVisible());
        QVERIFY(splash->Timer2->isActive());
        QCOMPARE(splash->Timer2->interval(), 1500);
        QVERIFY(!startup.mainWindow());
        QVERIFY(QFile::exists(skinFile));
        QVERIFY(splash->Skin1->isSkinned(splash));
        QCOMPARE(splash->Skin1->definitionOf(splash), QStringLiteral("FreeForm"));

        QTRY_VERIFY_WITH_TIMEOUT(startup.mainWindow(), 10000);
        frmDialog *window = startup.mainWindow();
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!splash); // destroyed in its own tick
        QVERIFY(!QFile::exists(skinFile));
        QVERIFY(window->Skn->isSkinned(window));
        QVERIFY(!startup.endedSilently());

        // Closing the main window leaves nothing visible.
        QVERIFY(window->close());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void anotherInstanceShowsNoMainWindow()
    {
        TestConfigDir config;
        TestPlatform *platform = TestPlatform::install();
        platform->previousInstance = true;

        Startup startup;
        startup.begin();
        QTRY_VERIFY_WITH_TIMEOUT(startup.endedSilently(), 10000);
        QVERIFY(!startup.mainWindow());
        QCOMPARE(platform->count(QStringLiteral("messageBox")), 0);
        QTRY_VERIFY(!startup.splash());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void secondProcessEndsByItself()
    {
        TestConfigDir config;
        const QString program = TestEnv::binDir() + QStringLiteral("/tonewright");
        QVERIFY(QFile::exists(program));

        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        // The first instance holds the instance lock once its main window has loaded.
        const QString lock = InstanceLock(Paths::configDir()).lockPath();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock) || first.state() == QProcess::NotRunning,
                                 30000);
        QCOMPARE(first.state(), QProcess::Running);

        QCOMPARE(TestEnv::run(program, {}, nullptr, 30000), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.terminate();
        if (!first.waitForFinished(10000)) {
            first.kill();
            first.waitForFinished();
        }
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
