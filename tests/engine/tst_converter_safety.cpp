#include "engine/converter.h"
#include "engine/engineerror.h"
#include "tests/support/audiofixtures.h"
#include "tests/support/testenv.h"
#include "tst_converter_common.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace ConverterTest;

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Limits the size of files this process writes, the way a full disk would stop it.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestConverterSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusesTheSourceAsOutput_data();
    void refusesTheSourceAsOutput();
    void failedWriteLeavesNoPartialFile_data();
    void failedWriteLeavesNoPartialFile();
    void existingOutputIsReplacedOnlyAtClose();
    void onlyCloseKeepsWhatWasWritten();
    void refusesUnknownExtensionsAndBadInput();
    void parallelConvertersAreIndependent();

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_source;
};

void TestConverterSafety::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_source = AudioFixtures::make(m_dir.path(), "song.wav", 4, 44100, 2, {"-c:a", "pcm_s16le"});
    QVERIFY(!m_source.isEmpty());
}

void TestConverterSafety::refusesTheSourceAsOutput_data()
{
    QTest::addColumn<QString>("spelling");
    QTest::newRow("same path") << QString("song.wav");
    QTest::newRow("through ..") << QString("sub/../song.wav");
    QTest::newRow("through a link") << QString("link.wav");
}

void TestConverterSafety::refusesTheSourceAsOutput()
{
    QFETCH(QString, spelling);
    QDir(m_dir.path()).mkpath("sub");
    QFile::link(m_source, m_dir.filePath("link.wav"));
    const QByteArray before = digest(m_source);

    Converter reader;
    Converter writer;
    writer.SetWavFormat(44100, 2, 16);
    reader.OpenRead(m_source, 0, 1);
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.path() + "/" + spelling, 0));
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.WriteChunk(reader.ReadChunk(44100 * 8)));
    writer.Close();
    reader.Close();
    QCOMPARE(digest(m_source), before);
}

void TestConverterSafety::failedWriteLeavesNoPartialFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("wav") << "full.wav";
    QTest::newRow("mp3") << "full.mp3";
    QTest::newRow("ogg") << "full.ogg";
    QTest::newRow("wma") << "full.wma";
}

void TestConverterSafety::failedWriteLeavesNoPartialFile()
{
    QFETCH(QString, name);
    QTemporaryDir outDir;
    const QString out = outDir.filePath(name);
    Converter writer;
    writer.SetWavFormat(44100, 2, 16);
    writer.SetOggFormat(44100, 2, 128, 0, 0, 1000);
    QString reason;
    {
        // Room for a few kilobytes only: the write fails partway, as on a full disk.
        FileSizeLimit limit(8 * 1024);
        reason = convert(writer, m_source, out);
    }
    QVERIFY2(reason.contains(name), qPrintable(reason));
    QVERIFY(!QFile::exists(out));
    QCOMPARE(folderEntries(outDir.path()), QStringList());
}

void TestConverterSafety::existingOutputIsReplacedOnlyAtClose()
{
    QTemporaryDir outDir;
    const QString out = outDir.filePath("song.wav");
    {
        QFile old(out);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the earlier output");
    }
    const QByteArray before = digest(out);

    Converter reader;
    Converter writer;
    writer.SetWavFormat(44100, 2, 16);
    reader.OpenRead(m_source, 0, 1);
    writer.OpenWrite(out, 0);
    writer.SetInputFormat(reader.GetFormatA(), reader.GetFormatB());
    writer.WriteChunk(reader.ReadChunk(44100 * 8));
    QCOMPARE(digest(out), before);

    // The input format cannot change under the encoder.
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetInputFormat(22050, 4));
    // A failure while writing leaves the earlier output as it was.
    {
        FileSizeLimit limit(8 * 1024);
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.WriteChunk(reader.ReadChunk(44100 * 8)));
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.WriteChunk(reader.ReadChunk(44100 * 8)));
        writer.Close();
    }
    QCOMPARE(digest(out), before);
    reader.Seek(0, 3);

    writer.OpenWrite(out, 0);
    writer.WriteChunk(reader.ReadChunk(44100 * 8));
    QCOMPARE(digest(out), before);
    writer.Close();
    QCOMPARE(AudioFixtures::probe(out).value("codec_name").toString(), QString("pcm_s16le"));
    QCOMPARE(folderEntries(outDir.path()), QStringList{"song.wav"});
}

void TestConverterSafety::onlyCloseKeepsWhatWasWritten()
{
    const QString out = m_dir.filePath("partial.mp3");
    TestEnv::writeFile(out, "older");
    Converter reader;
    reader.OpenRead(m_source, 0, 1);
    const qint64 n = qint64(reader.GetFormatA()) * reader.GetFormatB();
    const auto twoSeconds = [&](Converter &writer) {
        writer.SetMp3Settings(Mp3Settings{});
        writer.OpenWrite(out, 0);
        writer.SetInputFormat(reader.GetFormatA(), reader.GetFormatB());
        writer.WriteChunk(reader.ReadChunk(n));
        writer.WriteChunk(reader.ReadChunk(n));
    };
    {
        Converter dropped; // destroyed while open
        twoSeconds(dropped);
    }
    Converter writer;
    twoSeconds(writer);
    writer.Abandon();
    QCOMPARE(TestEnv::readFile(out), QByteArray("older"));
    QCOMPARE(folderEntries(m_dir.path()).filter("partial"), QStringList{"partial.mp3"});

    reader.Seek(0, 3);
    twoSeconds(writer);
    writer.Close();
    const double duration = AudioFixtures::probe(out).value("format.duration").toDouble();
    QVERIFY2(std::abs(duration - 2.0) < 0.08, qPrintable(QString::number(duration)));
}

void TestConverterSafety::refusesUnknownExtensionsAndBadInput()
{
    Converter writer;
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.filePath("x.flac"), 0));
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.path(), 0));
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetInputFormat(44100, 6));
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetInputFormat(0, 8));
    writer.SetWavFormat(44100, 0, 16); // nothing selected in the options dialog
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.filePath("x.wav"), 0));
    writer.SetWavFormat(44100, 2, 12);
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.filePath("x.wav"), 0));
    QVERIFY(!QFile::exists(m_dir.filePath("x.wav")));
    if (geteuid() != 0) { // permissions do not bind the superuser
        QTemporaryDir outDir;
        QFile::setPermissions(outDir.path(), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(outDir.filePath("x.wav"), 0));
        QFile::setPermissions(outDir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(folderEntries(outDir.path()), QStringList());
    }

    // Frames split across chunks still arrive whole.
    writer.SetWavFormat(44100, 2, 16);
    const QString out = m_dir.filePath("split.wav");
    Converter reader;
    reader.OpenRead(m_source, 0, 1);
    writer.OpenWrite(out, 0);
    writer.SetInputFormat(44100, 8);
    const QByteArray all = readAll(reader, 1 << 20);
    for (qsizetype at = 0; at < all.size(); at += 1001)
        writer.WriteChunk(all.mid(at, 1001));
    writer.Close();
    QVERIFY(AudioFixtures::decode(out, "s16le") == AudioFixtures::decode(m_source, "s16le"));
}

void TestConverterSafety::parallelConvertersAreIndependent()
{
    std::atomic<int> ok{0};
    const auto out = [&](int i) {
        return m_dir.filePath(QStringLiteral("par%1.ogg").arg(i));
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&, i] {
            Converter writer;
            writer.SetOggFormat(44100, 2, 128, 0, 0, 300);
            if (convert(writer, m_source, out(i)).isEmpty())
                ++ok;
        });
    }
    for (auto &t : threads)
        t.join();
    QCOMPARE(ok.load(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(AudioFixtures::probe(out(i)).value("codec_name").toString(), QString("vorbis"));
}

QTEST_GUILESS_MAIN(TestConverterSafety)
#include "tst_converter_safety.moc"
