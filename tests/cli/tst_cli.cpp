#include "tests/support/audiofixtures.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

QString probeCodec(const QString &path)
{
    return AudioFixtures::probe(path).value("codec_name").toString();
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exitStatus_data();
    void exitStatus();
    void namesFollowTheProgram_data();
    void namesFollowTheProgram();
    void oneOutputPerFile();
    void overwritePolicy();
    void parallelJobs();
    void playlistsAreExpanded();
    void settingsFileDecidesFormatAndEncoder();
    void versionAndUsageTexts();

private:
    Run run(const QStringList &args);

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_wav;
};

Run TestCli::run(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QDir(TestEnv::binDir()).filePath("twr-convert"), args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    return r;
}

void TestCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_wav = AudioFixtures::make(m_dir.path(), "tone.wav", 1, 44100, 2, {"-c:a", "pcm_s16le"});
    QVERIFY(!m_wav.isEmpty());
}

void TestCli::exitStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");

    QTest::newRow("no arguments") << QStringList{} << 2;
    QTest::newRow("unknown option") << QStringList{"--fast", "x.wav"} << 2;
    QTest::newRow("unknown format") << QStringList{"--format", "flac", "x.wav"} << 2;
    QTest::newRow("format without value") << QStringList{"--format"} << 2;
    QTest::newRow("zero jobs") << QStringList{"--jobs", "0", "x.wav"} << 2;
    QTest::newRow("missing settings file")
        << QStringList{"--settings", "/nonexistent/twr.ini", "x.wav"} << 2;
    QTest::newRow("help") << QStringList{"--help"} << 0;
    QTest::newRow("short help") << QStringList{"-h"} << 0;
    QTest::newRow("version") << QStringList{"--version"} << 0;
    QTest::newRow("unknown short option") << QStringList{"-q", "x.wav"} << 2;
    QTest::newRow("one good file") << QStringList{"--format", "wav", "@good"} << 0;
    QTest::newRow("missing file") << QStringList{"--format", "mp3", "@missing"} << 1;
    QTest::newRow("good and not audio") << QStringList{"--format", "ogg", "@good", "@text"} << 1;
}

void TestCli::exitStatus()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QTemporaryDir out;
    TestEnv::writeFile(m_dir.filePath("notes.mp3"), "not audio at all");
    QStringList full{"--output-dir", out.path()};
    for (const QString &a : args) {
        if (a == "@good")
            full << m_wav;
        else if (a == "@missing")
            full << m_dir.filePath("missing.wav");
        else if (a == "@text")
            full << m_dir.filePath("notes.mp3");
        else
            full << a;
    }
    const Run r = run(full);
    QCOMPARE(r.exitCode, status);
    if (status == 1)
        QVERIFY(r.out.contains("FAILED"));
    if (status == 1 && args.contains("@text"))
        QVERIFY(QFile::exists(out.filePath("tone.ogg")));
}

void TestCli::namesFollowTheProgram_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected"); // "out/" is the output folder, "src/" the source's

    QTest::newRow("dotted, output folder")
        << "my.song.wav" << QStringList{"--format", "mp3"} << "out/my.song.mp3";
    QTest::newRow("dotted, beside the source")
        << "my.song.wav" << QStringList{"--format", "ogg", "--beside-source"} << "src/my.song.ogg";
    QTest::newRow("five-letter extension")
        << "track.flac" << QStringList{"--format", "wav"} << "out/track.wav";
    QTest::newRow("the source itself")
        << "my.song.wav" << QStringList{"--format", "wav", "--beside-source", "--overwrite"}
        << "src/my.song_back.wav";
}

void TestCli::namesFollowTheProgram()
{
    QFETCH(QString, name);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("src");
    const QString source = dir.filePath("src/" + name);
    QVERIFY(QFile::copy(m_wav, source));
    const QByteArray original = TestEnv::readFile(source);

    const Run r =
        run(QStringList{"--output-dir", dir.filePath("out")} + args + QStringList{source});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(probeCodec(dir.filePath(expected)).isEmpty(), false);
    QCOMPARE(TestEnv::readFile(source), original);
}

void TestCli::oneOutputPerFile()
{
    // To MP3 beside the sources: a.flac would write a.wav's output, b.wav would write b.mp3.
    QTemporaryDir src;
    QStringList files;
    for (const char *name : {"a.wav", "a.flac", "b.mp3", "b.wav"}) {
        files << src.filePath(name);
        QVERIFY(QFile::copy(m_wav, files.last()));
    }
    const Run r = run(
        QStringList{"--format", "mp3", "--beside-source", "--overwrite", "--jobs", "2"} + files);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(
        r.out.contains(("FAILED     " + files[1] + ": same output name as a.wav\n" + "FAILED     " +
                        files[3] + ": the output would replace the source file b.mp3\n")
                           .toUtf8()),
        r.out.constData());
    QVERIFY(r.out.contains("2 converted, 0 skipped, 2 failed"));
    for (const QString &file : files)
        QCOMPARE(TestEnv::readFile(file), TestEnv::readFile(m_wav));
}

void TestCli::overwritePolicy()
{
    QTemporaryDir out;
    const QString target = out.filePath("tone.wav");
    TestEnv::writeFile(target, "keep me");

    Run r = run({"--format", "wav", "--output-dir", out.path(), "--no-overwrite", m_wav});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("skipped"));
    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me"));
    kept.close();

    // The settings' "overwrite" decides when no option is given.
    const QString ini = m_config.file("overwrite.ini");
    TestEnv::writeFile(ini, "[output]\noverwrite=1\n");
    r = run({"--settings", ini, "--format", "wav", "--output-dir", out.path(), m_wav});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(probeCodec(target), QString("pcm_s16le"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tone.wav"});
}

void TestCli::parallelJobs()
{
    QTemporaryDir src;
    QTemporaryDir out;
    QStringList files;
    for (int i = 0; i < 4; ++i) {
        files << src.filePath(QStringLiteral("f%1.wav").arg(i));
        QVERIFY(QFile::copy(m_wav, files.last()));
    }
    QStringList args{"--format", "mp3", "--jobs", "2", "--output-dir", out.path()};
    const Run r = run(args + files);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("4 converted, 0 skipped, 0 failed"));
    for (int i = 0; i < 4; ++i) {
        const QVariantMap p = AudioFixtures::probe(out.filePath(QStringLiteral("f%1.mp3").arg(i)));
        QCOMPARE(p.value("codec_name").toString(), QString("mp3"));
        QVERIFY(std::abs(p.value("format.duration").toDouble() - 1.0) < 0.08);
    }
}

void TestCli::playlistsAreExpanded()
{
    QTemporaryDir src;
    QDir(src.path()).mkpath("sub");
    QVERIFY(QFile::copy(m_wav, src.filePath("sub/a.wav")));
    QVERIFY(QFile::copy(m_wav, src.filePath("b.wav")));
    TestEnv::writeFile(src.filePath("list.m3u"), "#EXTM3U\n#EXTINF:1,A\nsub/a.wav\n\n" +
                                                     src.filePath("b.wav").toUtf8() + "\r\n");
    TestEnv::writeFile(src.filePath("list.pls"),
                       "[playlist]\nFile1=sub/a.wav\nTitle1=A\nNumberOfEntries=1\n");

    QTemporaryDir out;
    Run r = run({"--format", "wav", "--output-dir", out.path(), src.filePath("list.m3u")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(QFile::exists(out.filePath("a.wav")));
    QVERIFY(QFile::exists(out.filePath("b.wav")));

    QTemporaryDir out2;
    r = run({"--format", "wav", "--output-dir", out2.path(), src.filePath("list.pls")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(QDir(out2.path()).entryList(QDir::Files), QStringList{"a.wav"});
}

void TestCli::settingsFileDecidesFormatAndEncoder()
{
    QTemporaryDir out;
    const QString ini = m_config.file("custom.ini");
    TestEnv::writeFile(
        ini, "[output]\nformat=WAV\nfolder=" + out.path().toUtf8() +
                 "/\noverwrite=1\n[wav]\nfrequency=FQ_22_KHZ\nchannel=MONO\nbitrate=BPS_8_BIT\n");
    Run r = run({"--settings", ini, m_wav});
    QCOMPARE(r.exitCode, 0);
    QVariantMap p = AudioFixtures::probe(out.filePath("tone.wav"));
    QCOMPARE(p.value("codec_name").toString(), QString("pcm_u8"));
    QCOMPARE(p.value("sample_rate").toInt(), 22050);
    QCOMPARE(p.value("channels").toInt(), 1);

    // MP3 keys as the options dialog stores them: list positions and slider positions.
    TestEnv::writeFile(
        ini, "[output]\nfolder=" + out.path().toUtf8() +
                 "\n[mp3]\nfrequency=4\nchannel=0\nbitrate=6\nvbrcoding=0\naltpresetenabled=0\n");
    r = run({"--settings", ini, "--format", "mp3", m_wav});
    QCOMPARE(r.exitCode, 0);
    p = AudioFixtures::probe(out.filePath("tone.mp3"));
    QCOMPARE(p.value("sample_rate").toInt(), 22050);
    QCOMPARE(p.value("channels").toInt(), 1);
    QCOMPARE(p.value("bit_rate").toInt(), 64000);

    // A bitrate setting Vorbis cannot encode fails every file with the reason.
    TestEnv::writeFile(
        ini, "[output]\nfolder=" + out.path().toUtf8() +
                 "\n[ogg]\nqualityenabled=0\nvbrenabled=0\nbitrate=0\nfrequency=8\nchannel=1\n");
    r = run({"--settings", ini, "--format", "ogg", m_wav});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.contains("Vorbis cannot encode"));
}

void TestCli::versionAndUsageTexts()
{
    QProcess p;
    p.start(QDir(TestEnv::binDir()).filePath("twr-convert"), {"--version"});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY(QString(p.readAllStandardOutput())
                .contains(QRegularExpression("^twr-convert .* \\d+\\.\\d+\\.\\d+\n$")));
    // A wrong option: the reason and one usage line on the error stream, nothing converted.
    p.start(QDir(TestEnv::binDir()).filePath("twr-convert"), {"--fast", m_wav});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.readAllStandardOutput(), QByteArray());
    const QStringList lines = QString(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].contains("--fast") && lines[1].startsWith("usage: twr-convert"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
