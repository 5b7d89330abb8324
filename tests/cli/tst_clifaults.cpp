// twr-convert: against what goes wrong on real machines (a batch that would write over its
// own sources, full and read-only disks, a kill in the middle of a file, unusable settings
// and file names), and its exit status, options, settings file and playlists.
#include "tests/support/fixture.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The report names `text`; shown whole when it does not.
#define SAYS(r, text) QVERIFY2((r).out.contains(text), qPrintable((r).out))

using TestEnv::twrConvert;

// Whether the process holds a file in `dir` open (an output's temporary file may have no name).
bool writesInto(qint64 pid, const QString &dir)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd :
         fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char target[4096];
        const ssize_t n =
            ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof target - 1);
        if (n > 0 && QByteArray(target, int(n)).startsWith(QFile::encodeName(dir + '/')))
            return true;
    }
    return false;
}

using Fixture::seconds;

} // namespace

class TestCliFaults : public QObject
{
    Q_OBJECT

private:
    QString copy(const QString &from, const QString &to)
    {
        QFile::remove(to);
        return QFile::copy(from, to) ? to : QString();
    }

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_wav; // 1 s
    QString m_ogg; // 3 s

private slots:
    void initTestCase()
    {
        m_wav = Fixture::tone(m_dir.path(), "tone.wav", 1, {"-c:a", "pcm_s16le"});
        m_ogg = Fixture::tone(m_dir.path(), "long.ogg", 3, {"-c:a", "libvorbis"});
        QVERIFY(!m_wav.isEmpty() && !m_ogg.isEmpty());
        // A FLAC whose header states four seconds, cut to about two of them.
        const QByteArray four = TestEnv::readFile(Fixture::tone(m_dir.path(), "four.flac", 4));
        QVERIFY(four.size() > 20000);
        TestEnv::writeFile(m_dir.filePath("damaged.flac"), four.left(four.size() * 6 / 10));
    }

    // Song.mp3 and song.mp3 are two files on the test's own folder, one on exFAT (a USB
    // stick): there the second source fails instead of overwriting the first one's output.
    void letterCaseAsTheOutputFolderSeesIt()
    {
        QTemporaryDir dir;
        const QString upper = copy(m_wav, dir.filePath("Song.wav"));
        const QString lower = copy(m_ogg, dir.filePath("song.ogg"));
        const QString out = dir.filePath("out");
        Ran r = twrConvert({"--format", "mp3", "--output-dir", out, upper, lower});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(TestEnv::files(out), (QStringList{"Song.mp3", "song.mp3"}));

        const QString stick = dir.filePath("stick");
        QVERIFY(QDir().mkpath(stick));
        ExfatMount exfat(stick);
        TWR_SKIP_UNLESS_MOUNTED(exfat);
        r = twrConvert({"--format", "mp3", "--output-dir", stick, upper, lower});
        QCOMPARE(r.exitCode, 1);
        SAYS(r, "FAILED     " + lower + ": same output name as Song.wav");
        QCOMPARE(TestEnv::files(stick), QStringList{"Song.mp3"});
        QVERIFY(qAbs(seconds(stick + "/Song.mp3") - 1.0) < 0.1); // the first source's
    }

    void neverWritesOverItsOwnFiles_data()
    {
        QTest::addColumn<QString>("jobs");
        QTest::addColumn<QString>("overwrite");
        for (const char *jobs : {"1", "2"})
            for (const char *overwrite : {"--overwrite", "--no-overwrite"})
                QTest::addRow("%s job(s), %s", jobs, overwrite + 2) << jobs << overwrite;
    }

    void neverWritesOverItsOwnFiles()
    {
        QFETCH(QString, jobs);
        QFETCH(QString, overwrite);
        QTemporaryDir dir;
        const QString a = copy(m_wav, dir.filePath("a.wav"));
        const QString mp3 = Fixture::tone(dir.path(), "a.mp3", 2, {"-c:a", "libmp3lame"});
        const QByteArray mp3Bytes = TestEnv::readFile(mp3);

        // a.wav's output beside it is a.mp3, a source of the same batch.
        Ran r =
            twrConvert({"--format", "mp3", "--beside-source", overwrite, "--jobs", jobs, a, mp3});
        QCOMPARE(r.exitCode, 1);
        SAYS(r, "FAILED     " + a + ": the output would replace the source file a.mp3");
        QCOMPARE(TestEnv::readFile(mp3), mp3Bytes);
        QVERIFY(qAbs(seconds(dir.filePath("a_back.mp3")) - 2.0) < 0.1); // from the intact a.mp3

        // Two sources, one output name: the first keeps it, the second fails.
        const QString out = dir.filePath("out");
        const QString ogg = copy(m_ogg, dir.filePath("a.ogg"));
        r = twrConvert({"--format", "wav", "--output-dir", out, overwrite, "--jobs", jobs, a, ogg});
        QCOMPARE(r.exitCode, 1);
        SAYS(r, "FAILED     " + ogg + ": same output name as a.wav");
        QVERIFY(qAbs(seconds(dir.filePath("out/a.wav")) - 1.0) < 0.05);

        // An output that is a hard link to a source of the batch is that source.
        QVERIFY(::link(QFile::encodeName(mp3).constData(),
                       QFile::encodeName(dir.filePath("out/b.mp3")).constData()) == 0);
        const QString b = copy(m_wav, dir.filePath("b.wav"));
        r = twrConvert({"--format", "mp3", "--output-dir", out, overwrite, "--jobs", jobs, b, mp3});
        QCOMPARE(r.exitCode, 1);
        SAYS(r, b + ": the output would replace the source file a.mp3");
        QCOMPARE(TestEnv::readFile(mp3), mp3Bytes);
    }

    // Where the output cannot be written, the older file under its name stays: a full disk,
    // a read-only folder; the message names the output.
    void unwritableFolderKeepsTheOlderOutput_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("full disk") << true;
        QTest::newRow("read-only folder") << false;
    }

    void unwritableFolderKeepsTheOlderOutput()
    {
        QFETCH(bool, full);
        QTemporaryDir dir;
        std::unique_ptr<MountGuard> guard;
        if (full)
            guard = std::make_unique<TmpfsMount>(dir.path(), 96 * 1024);
        const QByteArray older(30000, 'o');
        TestEnv::writeFile(dir.filePath("tone.wav"), older);
        if (!full)
            guard = std::make_unique<ReadOnlyMount>(dir.path());
        TWR_SKIP_UNLESS_MOUNTED(*guard);
        const Ran r =
            twrConvert({"--format", "wav", "--overwrite", "--output-dir", dir.path(), m_wav});
        QCOMPARE(r.exitCode, 1);
        SAYS(r, "FAILED     " + m_wav +
                    ": tone.wav cannot be written: " + (full ? "the disk is full" : ""));
        QCOMPARE(TestEnv::readFile(dir.filePath("tone.wav")), older);
        QCOMPARE(TestEnv::files(dir.path()), QStringList{"tone.wav"});
    }

    void lostTagFailsTheRun()
    {
        QTemporaryDir src;
        const QString tagged = Fixture::tone(src.path(), "tagged.flac", 1,
                                             {"-c:a", "flac", "-metadata", "title=Kept Title"});
        QVERIFY(!tagged.isEmpty());
        QTemporaryDir dir;
        // Room for the output (about 176 kB as WAV) but not for the tagged copy beside it.
        TmpfsMount disk(dir.path(), 256 * 1024);
        TWR_SKIP_UNLESS_MOUNTED(disk);
        const Ran r = twrConvert({"--format", "wav", "--output-dir", dir.path(), tagged});
        QCOMPARE(r.exitCode, 1);
        SAYS(r, "converted, but the tag could not be written: " + tagged + " -> " +
                    dir.filePath("tagged.wav"));
        QCOMPARE(TestEnv::files(dir.path()), QStringList{"tagged.wav"});
        QVERIFY(qAbs(seconds(dir.filePath("tagged.wav")) - 1.0) < 0.05);
    }

    // Stopped by a signal while writing: its temporary files go, the status names the signal.
    // Killed, it cannot clean up, but nothing is left under the output's name.
    void stopSignalsLeaveOnlyTheSources_data()
    {
        QTest::addColumn<int>("number");
        for (int number : {SIGINT, SIGTERM, SIGHUP, SIGKILL})
            QTest::addRow("%s", sigabbrev_np(number)) << number;
    }

    void stopSignalsLeaveOnlyTheSources()
    {
        QFETCH(int, number);
        QTemporaryDir dir;
        const QString source = Fixture::tone(dir.path(), "minutes.flac", 240, {}, 44100, 2);
        const QString out = dir.filePath("out");
        QVERIFY(QDir().mkpath(out));
        QProcess p; // one file, two instances
        p.start(twrConvert(), {"--format", "mp3", "--jobs", "2", "--output-dir", out, source});
        while (p.waitForStarted() && !writesInto(p.processId(), out) && !p.waitForFinished(2)) {
        }
        QVERIFY2(p.state() == QProcess::Running, "finished before it could be stopped");
        QThread::msleep(200);
        ::kill(pid_t(p.processId()), number);
        QVERIFY(p.waitForFinished(30000));
        const bool killed = number == SIGKILL;
        QCOMPARE(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                 killed ? -1 : 128 + number);
        QCOMPARE(TestEnv::files(out).filter(QRegularExpression(killed ? "^minutes\\.mp3$" : "")),
                 QStringList{});
        QCOMPARE(TestEnv::files(dir.path()), QStringList{"minutes.flac"});
    }

    void nameThatIsNotUtf8()
    {
        QTemporaryDir dir;
        const QByteArray bad = QFile::encodeName(dir.path()) + "/bad\xff.wav";
        QVERIFY(QFile::copy(m_wav, dir.filePath("good.wav")));
        QCOMPARE(::rename(QFile::encodeName(dir.filePath("good.wav")).constData(), bad.constData()),
                 0);
        // Through a shell, as the name cannot pass through a QString.
        QByteArray out;
        const int code = TestEnv::run(
            "sh",
            {"-c",
             "exec \"$0\" --format mp3 --output-dir \"$1\" \"$(printf '%s/bad\\377.wav' \"$1\")\"",
             twrConvert(), dir.path()},
            &out);
        QCOMPARE(code, 1);
        QVERIFY2(out.contains("is not valid UTF-8, so it cannot be opened; rename it"),
                 out.constData());
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");

        QTest::newRow("no arguments") << QStringList{} << 2;
        QTest::newRow("unknown format") << QStringList{"--format", "aiff", "x.wav"} << 2;
        QTest::newRow("zero jobs") << QStringList{"--jobs", "0", "x.wav"} << 2;
        QTest::newRow("missing settings file")
            << QStringList{"--settings", "/nonexistent/twr.ini", "x.wav"} << 2;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("version") << QStringList{"--version"} << 0;
        QTest::newRow("unknown short option") << QStringList{"-q", "x.wav"} << 2;
        QTest::newRow("missing file") << QStringList{"--format", "mp3", "@missing"} << 1;
        QTest::newRow("good and not audio")
            << QStringList{"--format", "ogg", "@good", "@text"} << 1;
        QTest::newRow("damaged") << QStringList{"--format", "ogg", "@damaged"} << 0;
        QTest::newRow("damaged, strict")
            << QStringList{"--strict", "--format", "ogg", "@damaged"} << 1;
    }

    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QTemporaryDir out;
        TestEnv::writeFile(m_dir.filePath("notes.mp3"), "not audio at all");
        const QHash<QString, QString> named{{"@good", m_wav},
                                            {"@missing", m_dir.filePath("missing.wav")},
                                            {"@text", m_dir.filePath("notes.mp3")},
                                            {"@damaged", m_dir.filePath("damaged.flac")}};
        QStringList full{"--output-dir", out.path()};
        for (const QString &a : args)
            full << named.value(a, a);
        const Ran r = twrConvert(full);
        QCOMPARE(r.exitCode, status);
        // --strict fails the run, not the file.
        QCOMPARE(r.out.contains("FAILED"), status == 1 && !args.contains("--strict"));
        QCOMPARE(r.out.contains("converted with warnings  "), args.contains("@damaged"));
        // A failed file does not stop the others.
        QCOMPARE(QFile::exists(out.filePath("tone.ogg")), args.contains("@text"));
    }

    void versionAndUsageTexts()
    {
        Ran r = twrConvert({"--version"});
        SAYS(r, QRegularExpression("^twr-convert .* \\d+\\.\\d+\\.\\d+\n$"));
        // A wrong option: the reason and one usage line on the error stream, nothing converted.
        r = twrConvert({"--fast", m_wav});
        QCOMPARE(r.out, QString());
        const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].contains("--fast") && lines[1].startsWith("usage: twr-convert"));
    }

    void overwritePolicy()
    {
        QTemporaryDir out;
        const QString target = out.filePath("tone.wav");
        TestEnv::writeFile(target, "keep me");

        // The settings' "overwrite" decides when no option is given; a value that is no
        // number replaces nothing (the window asks), and says so.
        const QString ini = m_config.file("overwrite.ini");
        TestEnv::writeFile(ini, "[output]\noverwrite=yes\n");
        Ran r =
            twrConvert({"--settings", ini, "--format", "wav", "--output-dir", out.path(), m_wav});
        QCOMPARE(TestEnv::readFile(target), QByteArray("keep me"));
        QVERIFY2(r.err.contains("\"yes\" of overwrite in section [output] is not a number"),
                 qPrintable(r.err));
        TestEnv::writeFile(ini, "[output]\noverwrite=1\n");
        r = twrConvert({"--settings", ini, "--format", "wav", "--output-dir", out.path(), m_wav});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(Fixture::audioShape(target), QString("pcm_s16le 44100 2"));
        QCOMPARE(TestEnv::files(out.path()), QStringList{"tone.wav"});
    }

    // A link under the output name is a file there: skipped, or replaced itself; what it
    // points to (a file, or a name elsewhere that does not exist yet) is never written.
    void linkAtTheOutputName_data()
    {
        QTest::addColumn<QString>("overwrite");
        QTest::addColumn<bool>("dangling");
        for (const char *overwrite : {"--overwrite", "--no-overwrite"}) {
            QTest::addRow("dangling, %s", overwrite + 2) << overwrite << true;
            QTest::addRow("to a file, %s", overwrite + 2) << overwrite << false;
        }
    }

    void linkAtTheOutputName()
    {
        QFETCH(QString, overwrite);
        QFETCH(bool, dangling);
        QTemporaryDir elsewhere;
        QTemporaryDir out;
        const QString target = elsewhere.filePath("target.mp3");
        if (!dangling)
            TestEnv::writeFile(target, "keep me");
        const QString link = out.filePath("tone.mp3");
        QVERIFY(QFile::link(target, link));

        const Ran r = twrConvert({"--format", "mp3", "--output-dir", out.path(), overwrite, m_wav});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(TestEnv::files(elsewhere.path()),
                 dangling ? QStringList{} : QStringList{"target.mp3"});
        QCOMPARE(TestEnv::readFile(target), dangling ? QByteArray() : QByteArray("keep me"));
        const bool replaced = overwrite == "--overwrite";
        QCOMPARE(r.out.contains("skipped    "), !replaced);
        QCOMPARE(QFileInfo(link).isSymLink(), !replaced);
        QCOMPARE(Fixture::audioShape(link).startsWith("mp3 "), replaced);
        // A dangling link is listed only with the system entries.
        QCOMPARE(
            QDir(out.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"tone.mp3"});
    }

    // A name near the file system's 255 bytes: the temporary names of the output and of its
    // tag save must fit beside it.
    void nameNearTheLengthLimit()
    {
        QTemporaryDir dir;
        const QString base(246, u'n');
        const QString source =
            Fixture::tone(dir.path(), base + ".flac", 1, {"-metadata", "title=Near the limit"});
        QVERIFY(!source.isEmpty());
        const Ran r = twrConvert({"--format", "mp3", "--output-dir", dir.filePath("out"), source});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith("converted  "), qPrintable(r.out));
        QCOMPARE(Fixture::tag(dir.filePath("out/" + base + ".mp3"), "title"),
                 QString("Near the limit"));
        QCOMPARE(TestEnv::files(dir.filePath("out")), QStringList{base + ".mp3"});
    }

    // A settings file or a playlist that never ends (a pipe, a device) or is huge: the
    // settings are named once and not used, the playlist fails by name, in time; a good
    // playlist beside it is converted all the same.
    void readsNoFileThatIsNone_data()
    {
        QTest::addColumn<bool>("list");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        for (const bool list : {false, true}) {
            const QString notList = list ? "list.m3u is not a playlist file" : "";
            QTest::addRow("%s, FIFO", list ? "playlist" : "settings") << list << "fifo" << notList;
            QTest::addRow("%s, /dev/zero", list ? "playlist" : "settings")
                << list << "zero" << notList;
            QTest::addRow("%s, large", list ? "playlist" : "settings")
                << list << "large" << (list ? "list.m3u is too large to be a playlist" : "");
        }
    }

    void readsNoFileThatIsNone()
    {
        QFETCH(bool, list);
        QFETCH(QString, kind);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString path = list ? dir.filePath("list.m3u") : m_config.file("twr.ini");
        QFile::remove(path);
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else
            TestEnv::writeFile(path,
                               list ? QByteArray(17 * 1024 * 1024, '#')
                                    : "[output]\nformat=WAV\n" + QByteArray(2 * 1024 * 1024, ';'));
        QVERIFY(QFile::copy(m_wav, dir.filePath("a.wav")));
        const QString good = dir.filePath("good.m3u");
        TestEnv::writeFile(good, "#EXTM3U\na.wav\n");
        const Ran r =
            twrConvert(QStringList{"--format", "wav", "--output-dir", dir.filePath("out")} +
                           (list ? QStringList{path, good} : QStringList{good}),
                       60000);
        QFile::remove(path);
        QCOMPARE(r.exitCode, list ? 1 : 0);
        QCOMPARE(list ? r.out.count("FAILED     " + path + ": " + says) : r.err.count(path), 1);
        QCOMPARE(TestEnv::files(dir.filePath("out")), QStringList{"a.wav"});
    }

    void settingsFileDecidesFormatAndEncoder()
    {
        QTemporaryDir out;
        const QString ini = m_config.file("custom.ini");
        const auto runWith = [&](const QByteArray &settings, const QStringList &args) {
            TestEnv::writeFile(ini, "[output]\nfolder=" + out.path().toUtf8() + "/\n" + settings);
            return twrConvert(QStringList{"--settings", ini} + args + QStringList{m_wav});
        };
        QCOMPARE(
            runWith("format=WAV\n[wav]\nfrequency=FQ_22_KHZ\nchannel=MONO\nbitrate=BPS_8_BIT\n", {})
                .exitCode,
            0);
        QCOMPARE(Fixture::audioShape(out.filePath("tone.wav")), QString("pcm_u8 22050 1"));

        // A bitrate setting Vorbis cannot encode fails every file with the reason.
        const Ran r =
            runWith("[ogg]\nqualityenabled=0\nvbrenabled=0\nbitrate=0\nfrequency=8\nchannel=1\n",
                    {"--format", "ogg"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.contains("Vorbis cannot encode"));

        // A value that cannot be used is named once, however many jobs read it.
        const QString second = copy(m_wav, out.filePath("second.wav"));
        for (const auto &[format, settings, named] :
             {std::tuple{"mp3", "[mp3]\nbitrate=999\n", "\"999\" of bitrate in section [mp3]"},
              std::tuple{"wma", "[wma]\nprofile=abc\n", "\"abc\" of profile in section [wma]"}}) {
            const Ran r = runWith(settings, {"--format", format, "--jobs", "2", second});
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(r.err.count(named), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestCliFaults)
#include "tst_clifaults.moc"
