// What a write must never do: touch the source, leave a partial output, or lose an old one.
#include "engine/converter.h"
#include "engine/engineerror.h"
#include "tests/support/audiofixtures.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"
#include "tst_converter_common.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace ConverterTest;

namespace {

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestConverterSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusesTheSourceAsOutput_data();
    void refusesTheSourceAsOutput();
    void fullDiskGivesWholeOutputOrNone_data();
    void fullDiskGivesWholeOutputOrNone();
    void existingOutputIsReplacedOnlyAtClose();
    void onlyCloseKeepsWhatWasWritten();
    void refusesBadOutputsAndInput();
    void parallelConvertersAreIndependent();

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_source; // 4 s
    QString m_short;  // 1 s
};

void TestConverterSafety::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_source = AudioFixtures::make(m_dir.path(), "song.wav", 4, 44100, 2, {"-c:a", "pcm_s16le"});
    m_short = AudioFixtures::make(m_dir.path(), "short.wav", 1, 44100, 2, {"-c:a", "pcm_s16le"});
    QVERIFY(!m_source.isEmpty() && !m_short.isEmpty());
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
    const QByteArray before = TestEnv::readFile(m_source);

    Converter reader;
    Converter writer;
    writer.SetWavFormat(44100, 2, 16);
    reader.OpenRead(m_source, 0, 1);
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.path() + "/" + spelling, 0));
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.WriteChunk(reader.ReadChunk(44100 * 8)));
    writer.Close();
    reader.Close();
    QCOMPARE(TestEnv::readFile(m_source), before);
}

void TestConverterSafety::fullDiskGivesWholeOutputOrNone_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("step"); // bytes of room added per try
    QTest::newRow("wav") << "full.wav" << 12 * 1024;
    QTest::newRow("mp3") << "full.mp3" << 4096;
    QTest::newRow("ogg") << "full.ogg" << 4096;
    QTest::newRow("wma") << "full.wma" << 4096;
}

// The disk fills at each point of the write in turn, up to the last buffered bytes: every
// try either fails and leaves nothing, or gives the whole second.
void TestConverterSafety::fullDiskGivesWholeOutputOrNone()
{
    QFETCH(QString, name);
    QFETCH(int, step);
    QTemporaryDir outDir;
    const QString out = outDir.filePath(name);
    int failures = 0;
    for (int room = 4096;; room += step) {
        TmpfsMount disk(outDir.path(), room);
        TWR_SKIP_UNLESS_MOUNTED(disk);
        Converter writer;
        writer.SetWavFormat(44100, 2, 16);
        writer.SetOggFormat(44100, 2, 128, 0, 0, 1000);
        const QString reason = convert(writer, m_short, out);
        if (!reason.isEmpty()) {
            QVERIFY2(reason.contains(name), qPrintable(reason));
            QCOMPARE(folderEntries(outDir.path()), QStringList());
            ++failures;
            continue;
        }
        const double seconds = AudioFixtures::probe(out).value("format.duration").toDouble();
        QVERIFY2(std::abs(seconds - 1.0) < 0.08,
                 qPrintable(QStringLiteral("%1 s with %2 bytes of room").arg(seconds).arg(room)));
        break;
    }
    QVERIFY(failures > 0);
}

void TestConverterSafety::existingOutputIsReplacedOnlyAtClose()
{
    QTemporaryDir outDir;
    const QString out = outDir.filePath("song.wav");
    const QByteArray before = "the earlier output";
    Converter reader;
    Converter writer;
    writer.SetWavFormat(44100, 2, 16);
    reader.OpenRead(m_source, 0, 1);
    {
        // Room for the old output and a little more: the new one fails partway.
        TmpfsMount disk(outDir.path(), 4 * 4096);
        TWR_SKIP_UNLESS_MOUNTED(disk);
        TestEnv::writeFile(out, before);
        writer.OpenWrite(out, 0);
        writer.SetInputFormat(reader.GetFormatA(), reader.GetFormatB());
        writer.WriteChunk(reader.ReadChunk(4096));
        // The input format cannot change under the encoder.
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetInputFormat(22050, 4));
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.WriteChunk(reader.ReadChunk(44100 * 8)));
        writer.Close();
        QCOMPARE(TestEnv::readFile(out), before);
        QCOMPARE(folderEntries(outDir.path()), QStringList{"song.wav"});
    }
    // With room, the old output stays until the new one is closed.
    TestEnv::writeFile(out, before);
    reader.Seek(0, 3);
    writer.OpenWrite(out, 0);
    writer.WriteChunk(reader.ReadChunk(44100 * 8));
    QCOMPARE(TestEnv::readFile(out), before);
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

void TestConverterSafety::refusesBadOutputsAndInput()
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

    QTemporaryDir outDir;
    ReadOnlyMount readOnly(outDir.path());
    TWR_SKIP_UNLESS_MOUNTED(readOnly);
    writer.SetWavFormat(44100, 2, 16);
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(outDir.filePath("x.wav"), 0));
    QCOMPARE(folderEntries(outDir.path()), QStringList());
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
