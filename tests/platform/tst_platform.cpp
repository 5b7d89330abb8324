#include "platform/desktopplatform.h"
#include "platform/instancelock.h"
#include "platform/paths.h"

#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QDir>
#include <QProcess>
#include <QTest>

class tst_Platform : public QObject
{
    Q_OBJECT

private slots:
    void configDirFollowsEnvironment()
    {
        TestConfigDir config;
        QCOMPARE(Paths::configDir(), QDir::cleanPath(config.path()));

        QTemporaryDir xdg;
        qunsetenv("TONEWRIGHT_CONFIG_DIR");
        const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", xdg.path().toUtf8());
        const QString dir = Paths::configDir();
        qputenv("XDG_CONFIG_HOME", oldXdg);
        qputenv("TONEWRIGHT_CONFIG_DIR", config.path().toUtf8());
        QCOMPARE(dir, xdg.path() + QStringLiteral("/tonewright"));
        QVERIFY(QDir(dir).exists()); // created on first use
    }

    void trailingSeparator()
    {
        QCOMPARE(Paths::withTrailingSeparator("/music"), QString("/music/"));
        QCOMPARE(Paths::withTrailingSeparator("/music/"), QString("/music/"));
        QCOMPARE(Paths::withTrailingSeparator("/"), QString("/"));
    }

    void previousInstanceWhileAnotherHoldsTheLock()
    {
        TestConfigDir config;
        QProcess holder;
        holder.start(TestEnv::binDir() + QStringLiteral("/twr_lockholder"), {config.path()});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

        {
            InstanceLock second(config.path());
            QVERIFY(second.heldByAnother());
        }

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));

        InstanceLock again(config.path());
        QVERIFY(!again.heldByAnother());
        QVERIFY(!again.heldByAnother()); // asking twice keeps our own lock

        // Another settings folder is another instance.
        TestConfigDir other;
        InstanceLock elsewhere(other.path());
        QVERIFY(!elsewhere.heldByAnother());
    }

    void windowsFiltersBecomeQtFilters()
    {
        const QStringList f = DesktopPlatform::qtFilters(
            QStringLiteral("Wav files (*.wav)|*.wav|Playlist files (*.M3U;*.PLS)|*.M3U;*.PLS"));
        QCOMPARE(f, QStringList(
                        {"Wav files (*.wav *.WAV)", "Playlist files (*.m3u *.M3U *.pls *.PLS)"}));
    }

    void testPlatformScriptsAnswers()
    {
        TestPlatform *p = TestPlatform::install();
        p->folderAnswers.enqueue(QStringLiteral("/tmp"));
        QCOMPARE(BrowseForFolder("Pick", nullptr), QString("/tmp"));
        QCOMPARE(BrowseForFolder("Pick", nullptr), QString("You canceled operation"));
        QCOMPARE(p->count("browseForFolder"), 2);
        QCOMPARE(Platform::instance().messageBox("t", "c", MessageButtons::YesNo,
                                                 MessageIcon::Information),
                 MessageAnswer::Yes);
    }
};

QTEST_MAIN(tst_Platform)
#include "tst_platform.moc"
