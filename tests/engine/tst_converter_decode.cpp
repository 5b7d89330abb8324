#include "engine/converter.h"
#include "engine/engineerror.h"
#include "tests/support/audiofixtures.h"
#include "tests/support/testenv.h"
#include "tst_converter_common.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using namespace ConverterTest;

class TestConverterDecode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void decodesEveryFormat_data();
    void decodesEveryFormat();
    void refusesUnusableSources_data();
    void refusesUnusableSources();
    void truncatedMp3StillDecodesItsStart();
    void seekLandsOnTheFrame_data();
    void seekLandsOnTheFrame();
    void seekPastTheEndAndClose();

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QByteArray m_mp3; // 4 s
};

void TestConverterDecode::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile full(AudioFixtures::make(m_dir.path(), "full.mp3", 4, 44100, 2, {"-c:a", "libmp3lame"}));
    QVERIFY(full.open(QIODevice::ReadOnly));
    m_mp3 = full.readAll();
}

void TestConverterDecode::decodesEveryFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("video");

    auto row = [](const char *tag, const char *name, QStringList args, int rate, int channels,
                  bool video = false) {
        QTest::newRow(tag) << QString::fromLatin1(name) << args << rate << channels << video;
    };
    row("wav s16", "a.wav", {"-c:a", "pcm_s16le"}, 44100, 2);
    row("wav u8 mono", "b.wav", {"-c:a", "pcm_u8"}, 22050, 1);
    row("wav s24", "c.wav", {"-c:a", "pcm_s24le"}, 48000, 2);
    row("wav s32", "d.wav", {"-c:a", "pcm_s32le"}, 44100, 2);
    row("wav float", "e.wav", {"-c:a", "pcm_f32le"}, 44100, 2);
    row("wav ima adpcm", "f.wav", {"-c:a", "adpcm_ima_wav"}, 44100, 2);
    row("wav ms adpcm", "g.wav", {"-c:a", "adpcm_ms"}, 22050, 1);
    row("mp3", "h.mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}, 44100, 2);
    row("mp2", "i.mp2", {"-c:a", "mp2", "-b:a", "192k"}, 48000, 2);
    row("ogg vorbis", "j.ogg", {"-c:a", "libvorbis"}, 44100, 2);
    row("opus", "k.opus", {"-c:a", "libopus"}, 48000, 2);
    row("flac", "l.flac", {"-c:a", "flac"}, 96000, 2);
    row("aac m4a", "m.m4a", {"-c:a", "aac", "-b:a", "128k"}, 44100, 2);
    row("aiff", "n.aiff", {}, 44100, 2);
    row("wma v1", "o.wma", {"-c:a", "wmav1", "-b:a", "96k"}, 44100, 2);
    row("wma v2", "p.wma", {"-c:a", "wmav2", "-b:a", "128k"}, 44100, 2);
    row("avi", "q.avi", {"-c:v", "mpeg4", "-c:a", "libmp3lame", "-shortest"}, 44100, 2, true);
    row("mpeg", "r.mpg", {"-c:v", "mpeg1video", "-c:a", "mp2", "-shortest"}, 44100, 2, true);
    row("real media", "s.rm", {"-c:v", "rv10", "-c:a", "ac3", "-shortest"}, 44100, 2, true);
}

void TestConverterDecode::decodesEveryFormat()
{
    QFETCH(QString, name);
    QFETCH(QStringList, args);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(bool, video);

    const double seconds = 2.0;
    const QString path =
        video ? AudioFixtures::makeFrom(
                    m_dir.path(), name,
                    QStringLiteral("sine=frequency=440:sample_rate=%1:duration=2").arg(rate),
                    QStringList{"-f", "lavfi", "-i", "testsrc=size=160x128:rate=25", "-ac",
                                QString::number(channels)} +
                        args)
              : AudioFixtures::make(m_dir.path(), name, seconds, rate, channels, args);
    QVERIFY2(!path.isEmpty(), "ffmpeg could not make the fixture");

    Converter reader;
    reader.setDecoderThreads(2); // as the program's reader
    reader.OpenRead(path, 0, 1);
    QVERIFY(reader.GetStatus() >= 0);
    QCOMPARE(reader.GetFormatA(), rate);
    QCOMPARE(reader.GetFormatB(), channels * 4);
    QCOMPARE(reader.GetUnitBytes(), channels * 4);

    // Chunks of one second, the program's size, and of an odd byte count.
    bool whole = false;
    const QByteArray all = readAll(reader, qint64(rate) * channels * 4, &whole);
    QVERIFY2(whole, "a chunk was not a whole number of frames or was too large");
    const qint64 frames = all.size() / reader.GetUnitBytes();
    const qint64 length = reader.GetLength();
    // Codec delay and padding differ; a tenth of a second covers all of them.
    QVERIFY2(std::abs(frames - qint64(seconds * rate)) < rate / 10,
             qPrintable(QString::number(frames)));
    QVERIFY2(std::abs(length - qint64(seconds * rate)) < rate / 10,
             qPrintable(QString::number(length)));
    QVERIFY(rms(samples(all)) > 0.04); // the tone, not silence
    QVERIFY(reader.ReadChunk(4096).isEmpty());

    reader.Seek(0, 3);
    bool oddWhole = false;
    QCOMPARE(readAll(reader, 1001, &oddWhole).size(), all.size());
    QVERIFY(oddWhole);
}

void TestConverterDecode::refusesUnusableSources_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");

    QByteArray random(64 * 1024, Qt::Uninitialized);
    QRandomGenerator gen(42);
    gen.fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);

    QTest::newRow("empty mp3") << "empty.mp3" << QByteArray("");
    QTest::newRow("random bytes named mp3") << "noise.mp3" << random;
    QTest::newRow("text named wav")
        << "text.wav" << QByteArray("RIFF? no, just words\n").repeated(50);
    QTest::newRow("wav header only") << "header.wav" << QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16);
    QTest::newRow("missing file") << "missing.mp3" << QByteArray();
    QTest::newRow("mp3 cut inside its first frames") << "stub.mp3" << m_mp3.left(300);
}

void TestConverterDecode::refusesUnusableSources()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);

    const QString path = m_dir.filePath(name);
    if (!content.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    Converter reader;
    QVERIFY_THROWS_EXCEPTION(EngineError, reader.OpenRead(path, 0, 1));
    QVERIFY(reader.GetStatus() < 0);
    QVERIFY(!reader.lastError().isEmpty());
    QVERIFY_THROWS_EXCEPTION(EngineError, reader.ReadChunk(4096));
    QVERIFY_THROWS_EXCEPTION(EngineError, reader.GetFormatA());
    reader.Close();
    QCOMPARE(reader.GetStatus(), 0);
}

void TestConverterDecode::truncatedMp3StillDecodesItsStart()
{
    // Cut in the middle: what is there decodes, and reading ends cleanly.
    const QString half = m_dir.filePath("half.mp3");
    QFile h(half);
    QVERIFY(h.open(QIODevice::WriteOnly));
    h.write(m_mp3.left(m_mp3.size() / 2));
    h.close();
    Converter reader;
    reader.OpenRead(half, 0, 1);
    const qint64 frames = readAll(reader, 44100 * 8).size() / 8;
    QVERIFY(frames > 44100 && frames < 3 * 44100);
}

void TestConverterDecode::seekLandsOnTheFrame_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<int>("threads");

    QTest::newRow("wav exact") << "seek.wav" << QStringList{"-c:a", "pcm_s16le"} << 0 << 1;
    QTest::newRow("mp3 within a frame")
        << "seek.mp3" << QStringList{"-c:a", "libmp3lame", "-b:a", "192k"} << 1152 << 1;
    QTest::newRow("mp3, two decoding threads")
        << "seek2.mp3" << QStringList{"-c:a", "libmp3lame", "-b:a", "128k"} << 1152 << 2;
    QTest::newRow("flac") << "seek.flac" << QStringList{"-c:a", "flac"} << 0 << 2;
}

void TestConverterDecode::seekLandsOnTheFrame()
{
    QFETCH(QString, name);
    QFETCH(QStringList, args);
    QFETCH(int, tolerance);
    QFETCH(int, threads);

    // Noise never repeats, so a stretch of it tells where it came from.
    QStringList out{"-ar", "44100", "-ac", "2"};
    out << args;
    const QString path =
        AudioFixtures::makeFrom(m_dir.path(), name, "anoisesrc=d=6:c=pink:a=0.3:r=44100", out);
    QVERIFY(!path.isEmpty());

    Converter reader;
    reader.setDecoderThreads(threads);
    reader.OpenRead(path, 0, 1);
    const std::vector<float> all = samples(readAll(reader, 44100 * 8));
    const qint64 total = qint64(all.size()) / 2;

    for (const qint64 target : {qint64(12345), qint64(100000), qint64(200003)}) {
        const qint64 reached = reader.Seek(target, 3);
        QVERIFY(std::abs(reached - target) <= tolerance);
        const std::vector<float> after = samples(reader.ReadChunk(8 * 8192));
        QVERIFY(after.size() >= 2 * 8192);
        // Skip the first codec frames (their decoder has no history yet) and find where
        // the rest matches the full decode.
        const qint64 probe = 4096;
        const qint64 span = 1024;
        qint64 best = -1;
        double bestError = std::numeric_limits<double>::max();
        for (qint64 at = std::max<qint64>(0, target + probe - 2 * 1152);
             at <= std::min(total - span, target + probe + 2 * 1152); ++at) {
            double e = 0;
            for (qint64 i = 0; i < span * 2 && e < bestError; ++i) {
                const double d = all[size_t(at * 2 + i)] - after[size_t(probe * 2 + i)];
                e += d * d;
            }
            if (e < bestError) {
                bestError = e;
                best = at;
            }
        }
        const qint64 landed = best - probe;
        QVERIFY2(bestError < 1e-3, qPrintable(QString::number(bestError)));
        QVERIFY2(std::abs(landed - target) <= tolerance,
                 qPrintable(QStringLiteral("asked %1, landed %2").arg(target).arg(landed)));
        QVERIFY2(std::abs(landed - reached) <= tolerance,
                 "the position reached is not where decoding goes on");
    }
}

void TestConverterDecode::seekPastTheEndAndClose()
{
    const QString path =
        AudioFixtures::make(m_dir.path(), "short.wav", 1, 8000, 1, {"-c:a", "pcm_s16le"});
    Converter reader;
    reader.OpenRead(path, 0, 1);
    QCOMPARE(reader.GetLength(), 8000);
    QCOMPARE(reader.Seek(20000, 3), 8000);
    QVERIFY(reader.ReadChunk(4000).isEmpty());
    QCOMPARE(reader.Seek(4000, 3), 4000);
    QCOMPARE(readAll(reader, 100000).size(), 4000 * 4);
    QVERIFY_THROWS_EXCEPTION(EngineError, reader.Seek(0, 1));

    // Closed (twice), it holds nothing and refuses to read or write.
    reader.Close();
    reader.Close();
    QCOMPARE(reader.GetStatus(), 0);
    QCOMPARE(reader.GetLength(), 0);
    QVERIFY_THROWS_EXCEPTION(EngineError, reader.ReadChunk(100));
    QVERIFY_THROWS_EXCEPTION(EngineError, reader.WriteChunk(QByteArray(8, 0)));
}

QTEST_GUILESS_MAIN(TestConverterDecode)
#include "tst_converter_decode.moc"
