// The settings: one key read and written without harm to the rest of the file, where the
// files live, the instance lock on their folder; and file dialog filters.
#include "platform/desktopplatform.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "settings/keys.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_Settings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString file(const QString &name) const { return dir.filePath(name); }

private slots:
    // What [output] format= reads as.
    void readRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *tag, const QByteArray &content, const char *expected) {
            QTest::newRow(tag) << content << QString::fromUtf8(expected);
        };
        row("blanks around value", "[output]\nformat=  MP3 x  \n", "MP3 x");
        row("double quotes", "[output]\nformat=\" a b \"\n", " a b ");
        row("unmatched quote kept", "[output]\nformat=\"x'\n", "\"x'");
        row("case-insensitive names", "[OUTPUT]\nFORMAT=OGG\n", "OGG");
        row("first of two keys wins", "[output]\nformat=WAV\nformat=OGG\n", "WAV");
        row("first section of two wins", "[output]\nformat=1\n[output]\nformat=2\n", "1");
        row("key of another section", "[mp3]\nformat=WAV\n[output]\n", "");
        row("missing section", "[x]\nformat=1\n", "");
        row("comment is no key", "[output]\n;format=WAV\nformat=OGG\n", "OGG");
        row("BOM, CRLF, blanks in names", "\xEF\xBB\xBF[ output ]\r\n  format  = MP3\r\n", "MP3");
        row("value with equals", "[output]\nformat=a=b\n", "a=b");
    }
    void readRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        const QString path = file(QStringLiteral("read.ini"));
        TestEnv::writeFile(path, content);
        QCOMPARE(ReadIni(path, "output", "format"), expected);
    }

    void missingFileReadsEmpty()
    {
        QCOMPARE(ReadIni(file(QStringLiteral("nothing-here.ini")), "output", "format"), QString());
    }

    void writeCreatesFileAndSection()
    {
        const QString path = file(QStringLiteral("new.ini"));
        WriteIni(path, "output", "format", "MP3");
        QCOMPARE(TestEnv::readFile(path), QByteArray("[output]\nformat=MP3\n"));
        WriteIni(path, "mp3", "bitrate", "9");
        QCOMPARE(TestEnv::readFile(path), QByteArray("[output]\nformat=MP3\n[mp3]\nbitrate=9\n"));
    }

    void writeReplacesInPlaceOnce()
    {
        const QString path = file(QStringLiteral("twice.ini"));
        TestEnv::writeFile(path, "[Output]\nFormat=WAV\nfolder=/a\n");
        WriteIni(path, "output", "format", "OGG");
        WriteIni(path, "output", "format", "WMA");
        QCOMPARE(TestEnv::readFile(path), QByteArray("[Output]\nFormat=WMA\nfolder=/a\n"));
        QCOMPARE(ReadIni(path, "output", "format"), QString("WMA"));
    }

    void newKeyGoesToEndOfItsSection()
    {
        const QString path = file(QStringLiteral("sections.ini"));
        TestEnv::writeFile(path, "[output]\nfolder=/a\n\n[mp3]\nbitrate=9\n");
        WriteIni(path, "output", "open", "1");
        QCOMPARE(TestEnv::readFile(path),
                 QByteArray("[output]\nfolder=/a\nopen=1\n\n[mp3]\nbitrate=9\n"));
    }

    void everythingElseSurvivesByteForByte()
    {
        const QString path = file(QStringLiteral("keep.ini"));
        const QByteArray before = "stray line outside\r\n; a comment\r\n[output]\r\n"
                                  "unknown = kept as is \r\nformat=MP3\r\n\r\n[other]\r\nx=1";
        TestEnv::writeFile(path, before);
        WriteIni(path, "output", "format", "OGG");
        QByteArray expected = before;
        expected.replace("format=MP3", "format=OGG");
        QCOMPARE(TestEnv::readFile(path), expected);
        // A new section after a last line without an ending keeps the file's CRLF style.
        WriteIni(path, "wav", "channel", "MONO");
        QCOMPARE(TestEnv::readFile(path), expected + "\r\n[wav]\r\nchannel=MONO\r\n");
    }

    void longAndNonAsciiValuesRoundTrip()
    {
        const QString path = file(QStringLiteral("long.ini"));
        const QString longPath = QStringLiteral("/") + QString(4095, u'd');
        WriteIni(path, "output", "folder", longPath);
        QCOMPARE(ReadIni(path, "output", "folder"), longPath);
        const QString music = QStringLiteral("/home/zoë/Musik/Über Äpfel/日本語/");
        WriteIni(path, "output", "folder", music);
        QCOMPARE(ReadIni(path, "output", "folder"), music);
        QCOMPARE(TestEnv::readFile(path), QByteArray("[output]\nfolder=") + music.toUtf8() + "\n");
    }

    void lineBreaksInValueCannotSplitTheFile()
    {
        const QString path = file(QStringLiteral("breaks.ini"));
        WriteIni(path, "output", "playlistname", "a\n[mp3]\nbitrate=0");
        QCOMPARE(ReadIni(path, "mp3", "bitrate"), QString());
        QCOMPARE(ReadIni(path, "output", "playlistname"), QString("a [mp3] bitrate=0"));
    }

    // A read-only folder, and a full disk: the old file stays whole and nothing is thrown.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("read-only folder") << false;
        QTest::newRow("disk full") << true;
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(bool, full);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("twr.ini"));
        const QByteArray old = "[output]\nformat=MP3\n";
        // Full: two pages of room, one taken by the old file.
        std::unique_ptr<MountGuard> guard;
        if (full)
            guard = std::make_unique<TmpfsMount>(folder.path(), 8192);
        TestEnv::writeFile(path, old);
        if (!full)
            guard = std::make_unique<ReadOnlyMount>(folder.path());
        TWR_SKIP_UNLESS_MOUNTED(*guard);
        const QString big(6000, u'o');
        WriteIni(path, "output", "format", big);
        WriteIni(folder.filePath(QStringLiteral("new.ini")), "output", "format", big);
        QCOMPARE(TestEnv::readFile(path), old);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("new.ini"))));
    }

    void writeIntoMissingFolderIsSilent()
    {
        const QString path = file(QStringLiteral("no/such/folder/twr.ini"));
        WriteIni(path, "output", "format", "OGG");
        QVERIFY(!QFile::exists(path));
    }

    void shippedDefaultsHoldEveryOption()
    {
        TestConfigDir config;
        const QString defaults = SettingsFiles::defaultsFile();
        QCOMPARE(defaults, config.file(QStringLiteral("twr2.ini")));
        QVERIFY(QFile::exists(defaults));
        for (const Ini::Key &k : Ini::ApplyWriteOrder) {
            if (k.section == Ini::Output::Folder.section && QByteArray(k.key) == "folder")
                continue; // empty on purpose: the program folder takes its place
            QVERIFY2(!SettingsFiles::read(defaults, k).isEmpty(), k.key);
        }
        QVERIFY(SettingsFiles::read(defaults, Ini::Output::Format).isEmpty());
    }

    void existingDefaultsAreNeverReplaced()
    {
        TestConfigDir config;
        TestEnv::writeFile(config.file(QStringLiteral("twr2.ini")), "[output]\nopen=0\n");
        SettingsFiles::defaultsFile();
        QCOMPARE(SettingsFiles::read(config.file(QStringLiteral("twr2.ini")), Ini::Output::Open),
                 QString("0"));
    }

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
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
