// The settings: one key read and written without harm to the rest of the file, where the
// files live, the instance lock on their folder; and file dialog filters.
#include "platform/desktopplatform.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "platform/runtimefolder.h"
#include "settings/keys.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// Sets an environment variable until the returned guard ends.
auto setEnv(const char *name, const QString &value)
{
    const QByteArray old = qgetenv(name);
    qputenv(name, value.toUtf8());
    return qScopeGuard([name, old] { qputenv(name, old); });
}

class tst_Settings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString file(const QString &name) const { return dir.filePath(name); }

private slots:
    // What [output] format= reads as.
    void readRules()
    {
        const QString path = file(QStringLiteral("read.ini"));
        const QList<std::tuple<const char *, QByteArray, QString>> cases{
            {"blanks around value", "[output]\nformat=  MP3 x  \n", "MP3 x"},
            {"double quotes", "[output]\nformat=\" a b \"\n", " a b "},
            {"unmatched quote kept", "[output]\nformat=\"x'\n", "\"x'"},
            {"case-insensitive names", "[OUTPUT]\nFORMAT=OGG\n", "OGG"},
            {"first of two keys wins", "[output]\nformat=WAV\nformat=OGG\n", "WAV"},
            {"first section of two wins", "[output]\nformat=1\n[output]\nformat=2\n", "1"},
            {"key of another section", "[mp3]\nformat=WAV\n[output]\n", ""},
            {"missing section", "[x]\nformat=1\n", ""},
            {"comment is no key", "[output]\n;format=WAV\nformat=OGG\n", "OGG"},
            {"BOM, CRLF, blanks in names", "\xEF\xBB\xBF[ output ]\r\n  format  = MP3\r\n", "MP3"},
            {"value with equals", "[output]\nformat=a=b\n", "a=b"},
            {"UTF-8", "[output]\nformat=/zoë/Über Äpfel/日本語/\n", "/zoë/Über Äpfel/日本語/"},
            {"long", "[output]\nformat=/" + QByteArray(4095, 'd') + '\n',
             '/' + QString(4095, u'd')}};
        for (const auto &[tag, content, expected] : cases) {
            TestEnv::writeFile(path, content);
            QCOMPARE(tag + (": " + ReadIni(path, "output", "format")), tag + (": " + expected));
        }
    }

    // The file before (none when null), the writes as section, key, value, ... → the file after:
    // a key replaced in place, a new one at the end of its section, the rest byte for byte.
    void writeRules()
    {
        const auto check = [this](const char *tag, const QByteArray &before, const QString &writes,
                                  const QByteArray &after) {
            const QString path = file(QString::fromLatin1(tag) + ".ini");
            if (!before.isNull())
                TestEnv::writeFile(path, before);
            const QStringList w = writes.split('|');
            for (qsizetype i = 0; i + 2 < w.size(); i += 3)
                WriteIni(path, w[i], w[i + 1], w[i + 2]);
            QCOMPARE(tag + TestEnv::readFile(path), tag + after);
        };
        check("new file, then a new section", {}, "output|format|MP3|mp3|bitrate|9",
              "[output]\nformat=MP3\n[mp3]\nbitrate=9\n");
        check("replaced in place, once", "[Output]\nFormat=WAV\nfolder=/a\n",
              "output|format|OGG|output|format|WMA", "[Output]\nFormat=WMA\nfolder=/a\n");
        check("new key at the end of its section", "[output]\nfolder=/a\n\n[mp3]\nbitrate=9\n",
              "output|open|1", "[output]\nfolder=/a\nopen=1\n\n[mp3]\nbitrate=9\n");
        // A new section after a last line without an ending keeps the file's CRLF style.
        const QByteArray rest = "stray line outside\r\n; a comment\r\n[output]\r\n"
                                "unknown = kept as is \r\nformat=%1\r\n\r\n[other]\r\nx=1";
        check("the rest byte for byte", QByteArray(rest).replace("%1", "MP3"),
              "output|format|OGG|wav|channel|MONO",
              QByteArray(rest).replace("%1", "OGG") + "\r\n[wav]\r\nchannel=MONO\r\n");
        check("UTF-8", {}, "output|folder|/zoë/日本語/", "[output]\nfolder=/zoë/日本語/\n");
        // Line breaks in a value cannot split the file.
        check("line breaks", {}, "output|name|a\n[mp3]\nbitrate=0",
              "[output]\nname=a [mp3] bitrate=0\n");
    }

    // A read-only folder, and a full disk: the old file stays whole and nothing is thrown.
    void failedWriteKeepsOldFile()
    {
        // A missing folder: nothing written, nothing read, nothing thrown.
        const QString missing = file(QStringLiteral("no/such/folder/twr.ini"));
        WriteIni(missing, "output", "format", "OGG");
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(ReadIni(missing, "output", "format"), QString());
        for (const bool full : {false, true}) {
            const char *row = full ? "disk full" : "read-only folder";
            QTemporaryDir folder;
            const QString path = folder.filePath("twr.ini"), fresh = folder.filePath("new.ini");
            const QByteArray old = "[output]\nformat=MP3\n";
            std::unique_ptr<MountGuard> guard; // full: two pages of room, one for the old file
            if (full)
                guard = std::make_unique<TmpfsMount>(folder.path(), 8192);
            TestEnv::writeFile(path, old);
            if (!full)
                guard = std::make_unique<ReadOnlyMount>(folder.path());
            TWR_SKIP_UNLESS_MOUNTED(*guard);
            for (const QString &target : {path, fresh})
                WriteIni(target, "output", "format", QString(6000, u'o'));
            QCOMPARE(row + TestEnv::readFile(path), row + old);
            QVERIFY2(!QFile::exists(fresh), row);
        }
    }

    // Created once from the shipped copy, with every option; never replaced afterwards.
    void defaultsFile()
    {
        TestConfigDir config;
        const QString defaults = SettingsFiles::defaultsFile();
        QCOMPARE(defaults, config.file(QStringLiteral("twr2.ini")));
        for (const Ini::Key &k : Ini::ApplyWriteOrder) {
            if (k.section == Ini::Output::Folder.section && QByteArray(k.key) == "folder")
                continue; // empty on purpose: the program folder takes its place
            QVERIFY2(!SettingsFiles::read(defaults, k).isEmpty(), k.key);
        }
        QVERIFY(SettingsFiles::read(defaults, Ini::Output::Format).isEmpty());

        TestEnv::writeFile(defaults, "[output]\nopen=0\n");
        SettingsFiles::defaultsFile();
        QCOMPARE(TestEnv::readFile(defaults), QByteArray("[output]\nopen=0\n"));
    }

    // Without TONEWRIGHT_CONFIG_DIR (which every test uses), the folder under XDG_CONFIG_HOME.
    void configDirFollowsEnvironment()
    {
        TestConfigDir config; // puts TONEWRIGHT_CONFIG_DIR back afterwards
        QTemporaryDir xdg;
        qunsetenv("TONEWRIGHT_CONFIG_DIR");
        const auto home = setEnv("XDG_CONFIG_HOME", xdg.path());
        const QString dir = Paths::configDir();
        QCOMPARE(dir, xdg.path() + QStringLiteral("/tonewright"));
        QVERIFY(QDir(dir).exists()); // created on first use
    }

    // No runtime folder of the session, and the one in the temporary folder taken by another
    // user: the lock goes to a private folder, not to a predictable name where others can
    // plant one. Each folder that is not private is passed over and named.
    void lockIsHeldAndStaysPrivate()
    {
        // Another process holds the lock of this settings folder only.
        TestConfigDir held;
        QProcess holder;
        holder.start(TestEnv::binDir() + QStringLiteral("/twr_lockholder"), {held.path()});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
        QVERIFY(InstanceLock(held.path()).heldByAnother());
        TestConfigDir other; // another settings folder is another instance
        QVERIFY(!InstanceLock(other.path()).heldByAnother());
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        InstanceLock again(held.path());
        QVERIFY(!again.heldByAnother());
        QVERIFY(!again.heldByAnother()); // asking twice keeps our own lock

        QTemporaryDir tmp, cache, xdg;
        const auto env = {setEnv("TMPDIR", tmp.path()), setEnv("XDG_CACHE_HOME", cache.path()),
                          setEnv("XDG_RUNTIME_DIR", xdg.path())};
        QVERIFY(::chmod(QFile::encodeName(xdg.path()).constData(), 0755) == 0);
        const QString planted = tmp.filePath(QStringLiteral("runtime-%1").arg(::geteuid()));
        QVERIFY(QDir().mkdir(planted));
        QVERIFY(::chown(QFile::encodeName(planted).constData(), 65534, 65534) == 0);

        QString why;
        const QString found = RuntimeFolder::find(&why);
        QCOMPARE(found, cache.filePath("tonewright/runtime"));
        QCOMPARE(QFileInfo(found).permissions() & 0x0077, 0); // nothing for group or others
        QVERIFY(QFileInfo(found).isDir());
        TestConfigDir config;
        InstanceLock lock(config.path());
        QVERIFY(lock.socketPath().startsWith(found + '/'));
        QVERIFY(!lock.heldByAnother());

        // A link to a private folder is no private folder; nothing usable: no lock at all.
        QVERIFY(QFile::link(found, xdg.filePath("link")));
        qputenv("XDG_RUNTIME_DIR", xdg.filePath("link").toUtf8());
        QVERIFY(::chmod(QFile::encodeName(found).constData(), 0750) == 0);
        QCOMPARE(RuntimeFolder::find(&why), QString());
        QCOMPARE(why, xdg.filePath("link") + ": it is not a folder; " + planted +
                          ": it belongs to another user; " + found +
                          ": others may enter it (mode 750)");
        InstanceLock none(config.path());
        QVERIFY(!none.heldByAnother());
        QCOMPARE(none.socketPath(), QString());
    }

    void windowsFiltersBecomeQtFilters()
    {
        QCOMPARE(
            DesktopPlatform::qtFilters("Wav files (*.wav)|*.wav|Playlist files "
                                       "(*.M3U;*.PLS)|*.M3U;*.PLS"),
            QStringList({"Wav files (*.wav *.WAV)", "Playlist files (*.m3u *.M3U *.pls *.PLS)"}));
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
