// Start-up: splash to main window, one instance only (the real program started twice), and
// files opened with the program, on its command line or handed over by a later start.
#include "app/frmdialog.h"
#include "app/frmsplash.h"
#include "app/startup.h"
#include "convert/conversionrun.h"
#include "joblist/joblistmodel.h"
#include "platform/instancechannel.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "ui/skin/skinengine.h"

#include "tests/support/fixture.h"
#include "tests/support/platformcalls.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QtTest>
#include <QtWidgets>

namespace {

QStringList names(const frmDialog *window)
{
    QStringList out;
    for (int row = 0; row < window->jobs->count(); ++row)
        out << window->jobs->text(row, JobColumn::Name);
    return out;
}

// The test platform with the real instance lock and the real hand-over channel, so that the
// real program started a second time meets this process as the running instance.
class ChannelPlatform : public TestPlatform
{
public:
    InstanceLock lock{Paths::configDir()};
    std::unique_ptr<InstanceChannel> channel;

    bool previousInstanceRunning() override { return lock.heldByAnother(); }
    void receiveFilesFromLaterStarts(HandedFilesReceiver &receiver) override
    {
        channel = std::make_unique<InstanceChannel>(lock.socketPath());
        QObject::connect(channel.get(), &InstanceChannel::filesReceived, channel.get(),
                         [&receiver](const QStringList &f) { receiver.filesHandedOver(f); });
        QVERIFY(channel->listen());
    }
};

void nothingVisible()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    // Another instance runs: no main window. Started without files, the later start leaves
    // it alone; with files that it does not take (it is stuck in a message box), the later
    // start says so and ends with 1 rather than as if they had been added.
    void anotherInstanceShowsNoMainWindow()
    {
        for (const bool withFiles : {false, true}) {
            TestConfigDir config;
            TestPlatform *platform = TestPlatform::install();
            platform->previousInstance = true;
            platform->handOverTaken = false;
            Startup startup(withFiles ? QStringList{"/music/a.flac", "/music/b.flac"}
                                      : QStringList());
            startup.begin();
            QTRY_VERIFY_WITH_TIMEOUT(startup.endedForAnotherInstance(), 10000);
            QVERIFY(!startup.mainWindow());
            QCOMPARE(startup.exitCode(), withFiles ? 1 : 0);
            QCOMPARE(platform->count("handFilesToRunningInstance"), withFiles ? 1 : 0);
            QCOMPARE(PlatformCalls::messages(*platform),
                     withFiles ? QStringList{"Tonewright is already running, but it did not take "
                                             "/music/a.flac and 1 more files within 10 seconds: "
                                             "it may be waiting for an answer in one of its "
                                             "windows. Nothing was added; open the files again "
                                             "once it is free."}
                               : QStringList());
            QTRY_VERIFY(!startup.splash());
            nothingVisible();
            QVERIFY(!QFile::exists(config.file("twr.ini"))); // nothing after the check ran
        }
    }

    void filesOpenedWithTheProgram()
    {
        TestConfigDir config;
        TestPlatform *platform = TestPlatform::install();
        QTemporaryDir dir;
        const QString wav = Fixture::tone(dir.path(), "a.wav", 1);
        const QString flac = Fixture::tone(dir.path(), "b.flac", 1);
        const QString ogg = Fixture::tone(dir.path(), "c.ogg", 1);
        const QString notes = dir.filePath("notes.mp3");
        TestEnv::writeFile(notes, "not audio");
        // Folders are walked for their files, at any depth.
        QVERIFY(QDir().mkpath(dir.filePath("Album/CD1")) && QDir().mkpath(dir.filePath("Live")));
        Fixture::tone(dir.filePath("Album/CD1"), "d.wav", 1);
        Fixture::tone(dir.filePath("Live"), "e.wav", 1);

        Startup startup({wav, notes, flac, dir.filePath("Album")});
        startup.begin();
        // The splash, skinned, until its timer hands over to the skinned main window.
        const QPointer<frmSplash> splash = startup.splash();
        QVERIFY(splash && splash->isVisible() && !startup.mainWindow());
        QVERIFY(splash->Skin1->isSkinned(splash));
        QTRY_VERIFY_WITH_TIMEOUT(startup.mainWindow(), 10000);
        frmDialog *window = startup.mainWindow();
        QVERIFY(window->isVisible() && window->Skn->isSkinned(window));
        QTRY_VERIFY(!splash); // destroyed in its own tick
        QVERIFY(!QFile::exists(frmDialog::skinTempFile()));
        QTRY_COMPARE(names(window), (QStringList{"a.wav", "b.flac", "d.wav"}));
        QVERIFY(platform->laterStarts);
        // The program's icon (the pixmap passes through premultiplied alpha).
        const auto format = QImage::Format_ARGB32_Premultiplied;
        QCOMPARE(window->windowIcon().pixmap(48, 48).toImage().convertToFormat(format),
                 QImage(TestEnv::sourceDir() + "/resources/icons/tonewright-48.png")
                     .convertToFormat(format));

        // A later start hands a file over while the user is in another window and a run
        // goes on: the window comes to the front at once, the row joins after the run.
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QTemporaryDir out;
        window->txtFolder->setText(out.path());
        window->cmdConvert->click(); // the run goes on after the click
        platform->laterStarts->filesHandedOver({ogg, dir.filePath("Live")});
        QCOMPARE(names(window), (QStringList{"a.wav", "b.flac", "d.wav"}));
        QTRY_COMPARE(QApplication::activeWindow(), window);
        QTRY_COMPARE_WITH_TIMEOUT(
            names(window), (QStringList{"a.wav", "b.flac", "d.wav", "c.ogg", "e.wav"}), 30000);
        QVERIFY(!window->conversionRun().isActive());
        elsewhere.close();
        QVERIFY(window->close());
        nothingVisible(); // closing the main window leaves nothing on screen
    }

    // The real program started a second time, with a relative path, against this process's
    // window as the running instance.
    void realSecondStartAddsToTheFirstWindow()
    {
        TestConfigDir config;
        auto owned = std::make_unique<ChannelPlatform>();
        ChannelPlatform *platform = owned.get();
        Platform::install(std::move(owned));
        Startup startup;
        startup.begin();
        QTRY_VERIFY_WITH_TIMEOUT(startup.mainWindow(), 10000);
        QVERIFY(platform->channel);

        QTemporaryDir dir;
        QVERIFY(!Fixture::tone(dir.path(), "song.wav", 1).isEmpty());
        QProcess second;
        second.setWorkingDirectory(dir.path());
        second.start(TestEnv::binDir() + "/tonewright", {"song.wav"});
        QVERIFY(second.waitForStarted());
        // This thread must run its events meanwhile: it is the one taking the files.
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 30000);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(startup.mainWindow()->jobs->fullPath(0), dir.filePath("song.wav"));
        QVERIFY(startup.mainWindow()->close());
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
