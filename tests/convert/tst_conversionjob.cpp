// The one-file conversion job: names, folders, overwrite, cancel, full disk, one output
// name per run, and the tag reaching every output format.
#include "convert/conversionjob.h"
#include "convert/outputnaming.h"
#include "convert/runoutputs.h"
#include "engine/converter.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Job = ConversionJob;

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Every tag ffprobe sees, container and streams, by lower-case key.
QVariantMap probedTags(const QString &path)
{
    QVariantMap tags;
    const QJsonObject root = Fixture::probe(path);
    QJsonArray all = root.value("streams").toArray();
    all.prepend(root.value("format"));
    for (const auto &part : all) {
        const QJsonObject t = part.toObject().value("tags").toObject();
        for (auto it = t.begin(); it != t.end(); ++it)
            tags.insert(it.key().toLower(), it.value().toString());
    }
    return tags;
}

// A small tmpfs, mounted for the lifetime of the object: a disk that fills up.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &size)
    {
        m_mounted = TestEnv::run("mount",
                                 {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", m_dir.path()}) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            TestEnv::run("umount", {m_dir.path()});
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

class TestConversionJob : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void convertsIntoANewFolderChunkByChunk();
    void failsWithAPlainReason_data();
    void failsWithAPlainReason();
    void fullDiskKeepsTheOlderOutput_data();
    void fullDiskKeepsTheOlderOutput();
    void cancelKeepsTheOlderOutput_data();
    void cancelKeepsTheOlderOutput();
    void overwriteAnswer_data();
    void overwriteAnswer();
    void oneOutputNamePerRun();
    void id3v2OnlyTagReachesEveryFormat_data();
    void id3v2OnlyTagReachesEveryFormat();

private:
    Job::Result convert(const QString &source, const QString &output, Job::Callbacks c = {},
                        RunOutputs *outputs = nullptr);

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_flac; // 3 s
    QString m_wav;  // 4 s, 16-bit PCM
    Converter m_reader;
    Converter m_writer;
};

Job::Result TestConversionJob::convert(const QString &source, const QString &output,
                                       Job::Callbacks c, RunOutputs *outputs)
{
    return Job(m_reader, m_writer, std::move(c), outputs).run(source, output);
}

void TestConversionJob::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_flac = Fixture::tone(m_dir.path(), "track.flac", 3);
    m_wav = Fixture::tone(m_dir.path(), "song.wav", 4, {"-c:a", "pcm_s16le"});
    QVERIFY(!m_flac.isEmpty() && !m_wav.isEmpty());
    m_writer.SetWavFormat(44100, 2, 16);
    m_writer.SetOggFormat(44100, 2, 128, 0, 0, 400);
    m_writer.SetWmaProfile(8);
    m_writer.SetMp3Settings(Mp3Settings{});
}

void TestConversionJob::convertsIntoANewFolderChunkByChunk()
{
    const QString folder = m_dir.filePath("new/deeper/");
    const QString out = OutputNaming::outputPath(m_flac, folder, false, ".wav");
    QList<qint64> done;
    qint64 total = 0;
    Job::Callbacks c;
    c.progress = [&](qint64 d, qint64 t) {
        done << d;
        total = t;
    };
    const Job::Result r = convert(m_flac, out, c);
    QCOMPARE(int(r.outcome), int(Job::Outcome::Converted));
    QCOMPARE(r.output, m_dir.filePath("new/deeper/track.wav"));
    QCOMPARE(Fixture::audioStream(r.output).value("codec_name").toString(), QString("pcm_s16le"));
    // One second of audio per chunk.
    QCOMPARE(done, (QList<qint64>{44100, 88200, 132300}));
    QCOMPARE(total, qint64(132300));
}

void TestConversionJob::failsWithAPlainReason_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("reason");

    TestEnv::writeFile(m_dir.filePath("notes.mp3"), "no audio here");
    TestEnv::writeFile(m_dir.filePath("afile"), "a file, not a folder");
    QTest::newRow("no output name") << m_wav << ""
                                    << "no output name can be built from song.wav";
    QTest::newRow("folder cannot be made")
        << m_wav << m_dir.filePath("afile/sub/song.mp3") << "/afile/sub for song.mp3 cannot be";
    QTest::newRow("not audio") << m_dir.filePath("notes.mp3") << m_dir.filePath("notes.wav")
                               << "notes.mp3";
    QTest::newRow("the source itself") << m_wav << m_wav << "replace the source file song.wav";
}

void TestConversionJob::failsWithAPlainReason()
{
    QFETCH(QString, source);
    QFETCH(QString, output);
    QFETCH(QString, reason);
    const QByteArray before = TestEnv::readFile(m_wav);
    const Job::Result r = convert(source, output);
    QCOMPARE(int(r.outcome), int(Job::Outcome::Failed));
    QVERIFY2(r.reason.contains(reason), qPrintable(r.reason));
    QVERIFY(!QFileInfo::exists(m_dir.filePath("notes.wav")));
    QCOMPARE(TestEnv::readFile(m_wav), before);
}

void TestConversionJob::fullDiskKeepsTheOlderOutput_data()
{
    QTest::addColumn<QByteArray>("older");
    QTest::newRow("older output") << QByteArray("the older output");
    QTest::newRow("no older output") << QByteArray();
}

void TestConversionJob::fullDiskKeepsTheOlderOutput()
{
    QFETCH(QByteArray, older);
    SmallDisk disk("192k"); // the 4 s output needs about 700 kB
    if (!disk.mounted())
        QSKIP("a tmpfs cannot be mounted here (it needs root); the full disk is not tried");
    const QString out = disk.path() + "/song.wav";
    if (!older.isEmpty())
        TestEnv::writeFile(out, older);
    Job::Callbacks c;
    c.overwrite = [](const QString &) {
        return Job::OverwriteAnswer::Replace;
    };
    const Job::Result r = convert(m_wav, out, c);
    QCOMPARE(int(r.outcome), int(Job::Outcome::Failed));
    QCOMPARE(r.reason, QString("song.wav cannot be written: the disk is full"));
    QCOMPARE(entries(disk.path()), older.isEmpty() ? QStringList() : QStringList{"song.wav"});
    QCOMPARE(TestEnv::readFile(out), older);
}

void TestConversionJob::cancelKeepsTheOlderOutput_data()
{
    QTest::addColumn<QByteArray>("older");
    QTest::newRow("older output") << QByteArray("the older output");
    QTest::newRow("no older output") << QByteArray();
}

void TestConversionJob::cancelKeepsTheOlderOutput()
{
    QFETCH(QByteArray, older);
    QTemporaryDir outDir;
    const QString out = outDir.filePath("song.mp3");
    if (!older.isEmpty())
        TestEnv::writeFile(out, older);
    // The cancel arrives while the window yields in the progress call of the second chunk.
    bool cancel = false;
    int chunks = 0;
    Job::Callbacks c;
    c.overwrite = [](const QString &) {
        return Job::OverwriteAnswer::Replace;
    };
    c.progress = [&](qint64, qint64) {
        cancel = ++chunks == 2;
    };
    c.cancelled = [&] {
        return cancel;
    };
    const Job::Result r = convert(m_wav, out, c);
    QCOMPARE(int(r.outcome), int(Job::Outcome::Cancelled));
    QCOMPARE(chunks, 2);
    QVERIFY2(r.reason.contains("song.wav"), qPrintable(r.reason));
    QCOMPARE(entries(outDir.path()), older.isEmpty() ? QStringList() : QStringList{"song.mp3"});
    QCOMPARE(TestEnv::readFile(out), older);
}

void TestConversionJob::overwriteAnswer_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("skip") << false;
    QTest::newRow("replace") << true;
}

void TestConversionJob::overwriteAnswer()
{
    QFETCH(bool, replace);
    QTemporaryDir outDir;
    const QString out = outDir.filePath("track.ogg");
    TestEnv::writeFile(out, "older");
    QStringList asked;
    Job::Callbacks c;
    c.overwrite = [&](const QString &path) {
        asked << path;
        return replace ? Job::OverwriteAnswer::Replace : Job::OverwriteAnswer::Skip;
    };
    const Job::Result r = convert(m_flac, out, c);
    QCOMPARE(asked, QStringList{out});
    QCOMPARE(int(r.outcome), int(replace ? Job::Outcome::Converted : Job::Outcome::Skipped));
    QCOMPARE(TestEnv::readFile(out) == "older", !replace);
    QCOMPARE(Fixture::audioStream(out).value("codec_name").toString(),
             replace ? QString("vorbis") : QString());
}

void TestConversionJob::oneOutputNamePerRun()
{
    QTemporaryDir src;
    const QString a = src.filePath("a.wav"), b = src.filePath("a.flac"), c = src.filePath("c.wav");
    QVERIFY(QFile::copy(m_wav, a) && QFile::copy(m_flac, b) && QFile::copy(m_wav, c));
    RunOutputs run({a, b, c, src.filePath("c.mp3")});
    Job::Callbacks replace;
    replace.overwrite = [](const QString &) {
        return Job::OverwriteAnswer::Replace;
    };

    QCOMPARE(int(convert(a, src.filePath("a.mp3"), replace, &run).outcome),
             int(Job::Outcome::Converted));
    const QByteArray first = TestEnv::readFile(src.filePath("a.mp3"));
    // Through "..", the second source maps to the file the first one wrote.
    Job::Result r = convert(b, src.filePath("x/../a.mp3"), replace, &run);
    QCOMPARE(int(r.outcome), int(Job::Outcome::Failed));
    QCOMPARE(r.reason, QString("same output name as a.wav"));
    QCOMPARE(TestEnv::readFile(src.filePath("a.mp3")), first);

    // Nor does an output replace another source of the run.
    const QByteArray source = TestEnv::readFile(c);
    r = convert(src.filePath("c.mp3"), c, replace, &run);
    QCOMPARE(int(r.outcome), int(Job::Outcome::Failed));
    QCOMPARE(r.reason, QString("the output would replace the source file c.wav"));
    QCOMPARE(TestEnv::readFile(c), source);
}

void TestConversionJob::id3v2OnlyTagReachesEveryFormat_data()
{
    QTest::addColumn<QString>("extension");
    for (const char *e : {".ogg", ".wma", ".wav", ".mp3"})
        QTest::newRow(e) << QString(e);
}

void TestConversionJob::id3v2OnlyTagReachesEveryFormat()
{
    QFETCH(QString, extension);
    const QString source = Fixture::make(m_dir.path(), "tagged.mp3",
                                         {"-f",
                                          "lavfi",
                                          "-i",
                                          "sine=d=1",
                                          "-c:a",
                                          "libmp3lame",
                                          "-id3v2_version",
                                          "3",
                                          "-write_id3v1",
                                          "0",
                                          "-metadata",
                                          "title=Wolken",
                                          "-metadata",
                                          "artist=Kraan",
                                          "-metadata",
                                          "album=Andy Nogger",
                                          "-metadata",
                                          "date=1974",
                                          "-metadata",
                                          "track=5"});
    QVERIFY(!source.isEmpty());
    QVERIFY(!TestEnv::readFile(source).right(128).startsWith("TAG"));
    QTemporaryDir outDir;
    const Job::Result r = convert(source, outDir.filePath("tagged" + extension));
    QCOMPARE(int(r.outcome), int(Job::Outcome::Converted));
    QCOMPARE(r.tagWarning, QString());

    const QVariantMap tags = probedTags(r.output);
    QCOMPARE(tags.value("title").toString(), QString("Wolken"));
    QCOMPARE(tags.value("artist").toString(), QString("Kraan"));
    QCOMPARE(tags.value("album").toString(), QString("Andy Nogger"));
    const QString year = tags.value("date", tags.value("year", tags.value("wm/year"))).toString();
    QVERIFY2(year.startsWith("1974"), qPrintable(tags.keys().join(',')));
    QCOMPARE(tags.value("track").toString().section('/', 0, 0), QString("5"));
    // An MP3 output also carries the ID3v1 block.
    const QByteArray tail = TestEnv::readFile(r.output).right(128);
    QCOMPARE(tail.startsWith("TAG") && tail.mid(3, 6) == "Wolken", extension == ".mp3");
}

QTEST_GUILESS_MAIN(TestConversionJob)
#include "tst_conversionjob.moc"
