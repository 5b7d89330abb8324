#include "convert/conversionjob.h"
#include "convert/outputnaming.h"
#include "convert/runoutputs.h"
#include "engine/converter.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using Job = ConversionJob;
Q_DECLARE_METATYPE(Job::Outcome)

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Every tag ffprobe sees, container and streams, by lower-case key.
QVariantMap probedTags(const QString &path)
{
    QVariantMap tags;
    const QJsonObject root = Fixture::probe(path);
    QJsonArray parts = root.value("streams").toArray();
    parts.prepend(root.value("format"));
    for (const auto &part : parts) {
        const QJsonObject t = part.toObject().value("tags").toObject();
        for (auto it = t.begin(); it != t.end(); ++it)
            tags.insert(it.key().toLower(), it.value().toString());
    }
    return tags;
}

// A temporary folder, on a 192 kB tmpfs when `small` (a disk that fills up).
class OutputFolder
{
public:
    explicit OutputFolder(bool small)
    {
        m_mounted = small && TestEnv::run("mount", {"-t", "tmpfs", "-o", "size=192k", "tmpfs",
                                                    m_dir.path()}) == 0;
    }
    ~OutputFolder()
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
    void olderOutputSurvives_data();
    void olderOutputSurvives();
    void oneOutputNamePerRun();
    void id3v2OnlyTagReachesEveryFormat_data();
    void id3v2OnlyTagReachesEveryFormat();

private:
    Job::Result convert(const QString &source, const QString &output, Job::Callbacks c = {},
                        RunOutputs *outputs = nullptr)
    {
        return Job(m_reader, m_writer, std::move(c), outputs).run(source, output);
    }

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_flac; // 3 s
    QString m_wav;  // 4 s, 16-bit PCM: about 700 kB as WAV
    Converter m_reader;
    Converter m_writer;
    Job::Callbacks m_replace;
};

void TestConversionJob::initTestCase()
{
    m_flac = Fixture::tone(m_dir.path(), "track.flac", 3);
    m_wav = Fixture::tone(m_dir.path(), "song.wav", 4, {"-c:a", "pcm_s16le"});
    QVERIFY(!m_flac.isEmpty() && !m_wav.isEmpty());
    m_writer.SetWavFormat(44100, 2, 16);
    m_writer.SetOggFormat(44100, 2, 128, 0, 0, 400);
    m_writer.SetWmaProfile(8);
    m_writer.SetMp3Settings(Mp3Settings{});
    m_replace.overwrite = [](const QString &) {
        return Job::OverwriteAnswer::Replace;
    };
}

void TestConversionJob::convertsIntoANewFolderChunkByChunk()
{
    const QString out =
        OutputNaming::outputPath(m_flac, m_dir.filePath("new/deeper"), false, ".wav");
    QList<qint64> done;
    Job::Callbacks c;
    c.progress = [&](qint64 d, qint64 total) {
        done << d << total;
    };
    const Job::Result r = convert(m_flac, out, c);
    QCOMPARE(r.outcome, Job::Outcome::Converted);
    QCOMPARE(r.output, m_dir.filePath("new/deeper/track.wav"));
    QCOMPARE(Fixture::audioStream(r.output).value("codec_name").toString(), QString("pcm_s16le"));
    // One second of audio per chunk: (frames done, total) pairs.
    QCOMPARE(done, (QList<qint64>{44100, 132300, 88200, 132300, 132300, 132300}));
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
    const Job::Result r = convert(source, output, m_replace);
    QCOMPARE(r.outcome, Job::Outcome::Failed);
    QVERIFY2(r.reason.contains(reason), qPrintable(r.reason));
    QVERIFY(!QFileInfo::exists(m_dir.filePath("notes.wav")));
    QCOMPARE(TestEnv::readFile(m_wav), before);
}

void TestConversionJob::olderOutputSurvives_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QByteArray>("older");
    QTest::addColumn<Job::Outcome>("outcome");
    QTest::addColumn<QString>("reason");

    const QString full = "song.wav cannot be written: the disk is full";
    const QString cancelled = "the conversion of song.wav was cancelled; song.wav was not written";
    QTest::newRow("full disk") << "full" << QByteArray("older") << Job::Outcome::Failed << full;
    QTest::newRow("full disk, none older")
        << "full" << QByteArray() << Job::Outcome::Failed << full;
    // The cancel arrives while the window yields in the progress call of the second chunk.
    QTest::newRow("cancel") << "cancel" << QByteArray("older") << Job::Outcome::Cancelled
                            << cancelled;
    QTest::newRow("cancel, none older")
        << "cancel" << QByteArray() << Job::Outcome::Cancelled << cancelled;
    QTest::newRow("answer skip") << "skip" << QByteArray("older") << Job::Outcome::Skipped
                                 << "song.wav already exists and was kept";
}

void TestConversionJob::olderOutputSurvives()
{
    QFETCH(QString, cause);
    QFETCH(QByteArray, older);
    QFETCH(Job::Outcome, outcome);
    QFETCH(QString, reason);
    const OutputFolder folder(cause == "full");
    if (cause == "full" && !folder.mounted())
        QSKIP("a tmpfs cannot be mounted here (it needs root), so no disk can fill up");
    const QString out = folder.path() + "/song.wav";
    if (!older.isEmpty())
        TestEnv::writeFile(out, older);

    int chunks = 0;
    bool cancel = false;
    Job::Callbacks c;
    c.overwrite = [&](const QString &) {
        return cause == "skip" ? Job::OverwriteAnswer::Skip : Job::OverwriteAnswer::Replace;
    };
    c.progress = [&](qint64, qint64) {
        cancel = ++chunks == 2 && cause == "cancel";
    };
    c.cancelled = [&] {
        return cancel;
    };
    const Job::Result r = convert(m_wav, out, c);
    QCOMPARE(r.outcome, outcome);
    QCOMPARE(r.reason, reason);
    QCOMPARE(entries(folder.path()), older.isEmpty() ? QStringList() : QStringList{"song.wav"});
    QCOMPARE(TestEnv::readFile(out), older);
}

void TestConversionJob::oneOutputNamePerRun()
{
    QTemporaryDir src;
    const QString a = src.filePath("a.wav"), b = src.filePath("a.flac"), c = src.filePath("c.wav");
    QVERIFY(QFile::copy(m_wav, a) && QFile::copy(m_flac, b) && QFile::copy(m_wav, c));
    RunOutputs run({a, b, c, src.filePath("c.mp3")});
    QCOMPARE(convert(a, src.filePath("a.mp3"), m_replace, &run).outcome, Job::Outcome::Converted);
    const QByteArray first = TestEnv::readFile(src.filePath("a.mp3"));
    const QByteArray source = TestEnv::readFile(c);

    // Through "..", the second source maps to the file the first one wrote.
    Job::Result r = convert(b, src.filePath("x/../a.mp3"), m_replace, &run);
    QCOMPARE(r.outcome, Job::Outcome::Failed);
    QCOMPARE(r.reason, QString("same output name as a.wav"));
    r = convert(src.filePath("c.mp3"), c, m_replace, &run);
    QCOMPARE(r.outcome, Job::Outcome::Failed);
    QCOMPARE(r.reason, QString("the output would replace the source file c.wav"));
    QCOMPARE(TestEnv::readFile(src.filePath("a.mp3")), first);
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
    const QString source =
        Fixture::make(m_dir.path(), "tagged.mp3",
                      {"-f", "lavfi", "-i", "sine=d=1", "-c:a", "libmp3lame", "-write_id3v1", "0",
                       "-metadata", "title=Wolken", "-metadata", "artist=Kraan", "-metadata",
                       "date=1974", "-metadata", "track=5"});
    QVERIFY(!source.isEmpty() && !TestEnv::readFile(source).right(128).startsWith("TAG"));
    QTemporaryDir outDir;
    const Job::Result r = convert(source, outDir.filePath("tagged" + extension));
    QCOMPARE(r.outcome, Job::Outcome::Converted);
    QCOMPARE(r.tagWarning, QString());

    const QVariantMap tags = probedTags(r.output);
    QCOMPARE(tags.value("title").toString(), QString("Wolken"));
    QCOMPARE(tags.value("artist").toString(), QString("Kraan"));
    QCOMPARE(tags.value("date", tags.value("wm/year")).toString().left(4), QString("1974"));
    QCOMPARE(tags.value("track").toString().section('/', 0, 0), QString("5"));
    // An MP3 output carries the ID3v1 block too.
    const QByteArray tail = TestEnv::readFile(r.output).right(128);
    QCOMPARE(tail.startsWith("TAG") && tail.mid(3, 6) == "Wolken", extension == ".mp3");
}

QTEST_GUILESS_MAIN(TestConversionJob)
#include "tst_conversionjob.moc"
