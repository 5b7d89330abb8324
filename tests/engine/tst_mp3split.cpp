// MP3 encoded in blocks by several encoder instances at once and joined into one stream:
// the joined stream must be valid frame by frame, as long as the source after gapless
// trimming, and as good as one instance's encode.
#include "engine/converter.h"
#include "engine/mp3splitcodec.h"
#include "engine/splitencoder.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <cmath>
#include <random>

namespace {

// Mp3SplitCodec given blocks whose lead is silent, as no real source gives them.
class SilentLeads : public Mp3SplitCodec
{
public:
    using Mp3SplitCodec::Mp3SplitCodec;
    std::unique_ptr<EncodedBlock> encode(const PcmBlock &block) const override
    {
        PcmBlock silent = block;
        std::fill_n(silent.pcm.begin(), (block.keepFrom - block.start) * block.channels, 0.0f);
        return Mp3SplitCodec::encode(silent);
    }
};

quint16 crc16(const QByteArray &bytes)
{
    quint16 crc = 0;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int i = 0; i < 8; ++i)
            crc = crc & 1 ? quint16(crc >> 1 ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

// Walks the stream's frames as a decoder fills its bit reservoir and checks the header
// frame's counts and CRCs against what it saw; "" or the first fault.
QString streamFault(const QByteArray &file)
{
    const auto *p = reinterpret_cast<const unsigned char *>(file.constData());
    const auto bitsAt = [](const unsigned char *s, int at, int count) {
        int v = 0;
        for (int i = at; i < at + count; ++i)
            v = v << 1 | (s[i >> 3] >> (7 - (i & 7)) & 1);
        return v;
    };
    static constexpr std::array<int, 15> kbps1{0,   32,  40,  48,  56,  64,  80, 96,
                                               112, 128, 160, 192, 224, 256, 320};
    static constexpr std::array<int, 15> kbps2{0,  8,  16, 24,  32,  40,  48, 56,
                                               64, 80, 96, 112, 128, 144, 160};
    qint64 at = 0;
    int mark = 0;          // where "Xing" or "Info" is
    qint64 headerSize = 0; // of the header frame
    int frames = 0;        // audio frames
    qint64 areas = 0;      // main data bytes of the audio frames before this one
    qint64 dataEnd = 0;    // where the previous frame's main data ended
    for (int index = 0; at + 4 <= file.size(); ++index) {
        const unsigned char *h = p + at;
        if (h[0] != 0xFF || (h[1] & 0xE6) != 0xE2)
            return QStringLiteral("no layer III frame at byte %1").arg(at);
        const bool mpeg1 = (h[1] & 0x18) == 0x18;
        const int shift = mpeg1 ? 0 : (h[1] & 0x18) == 0x10 ? 1 : 2;
        const int rate = std::array{44100, 48000, 32000}[size_t((h[2] >> 2) & 3)] >> shift;
        const int kbps = (mpeg1 ? kbps1 : kbps2)[size_t(h[2] >> 4)];
        const int size = (mpeg1 ? 144000 : 72000) * kbps / rate + ((h[2] >> 1) & 1);
        const bool mono = (h[3] >> 6) == 3;
        const unsigned char *side = h + 4 + ((h[1] & 1) ? 0 : 2);
        const int sideSize = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
        if (at + size > file.size())
            return QStringLiteral("frame %1 is cut off").arg(index);
        at += size;
        if (index == 0) {
            mark = int(side + sideSize - p);
            headerSize = size;
            if (file.mid(mark, 4) != "Xing" && file.mid(mark, 4) != "Info")
                return QStringLiteral("the stream does not begin with a header frame");
            continue;
        }
        ++frames;
        const int begin = bitsAt(side, 0, mpeg1 ? 9 : 8);
        int bits = 0;
        const int channels = mono ? 1 : 2;
        for (int i = 0; i < (mpeg1 ? 2 : 1) * channels; ++i)
            bits += bitsAt(
                side, (mpeg1 ? (mono ? 18 : 20) : (mono ? 9 : 10)) + i * (mpeg1 ? 59 : 63), 12);
        const qint64 area = size - (side + sideSize - h);
        const qint64 start = areas - begin;
        if (start < 0)
            return QStringLiteral("frame %1 reaches before the first audio frame").arg(index);
        if (start < dataEnd)
            return QStringLiteral("frame %1 overwrites the data before it").arg(index);
        dataEnd = start + (bits + 7) / 8;
        areas += area;
        if (dataEnd > areas)
            return QStringLiteral("frame %1's data does not fit in it").arg(index);
    }
    const auto field = [&file, mark](int at, int size) {
        return file.mid(mark + at, size).toHex().toUInt(nullptr, 16);
    };
    if (at != file.size())
        return QStringLiteral("bytes after the last frame");
    if (field(8, 4) != uint(frames) || field(12, 4) != uint(file.size()) ||
        field(148, 4) != uint(file.size()))
        return QStringLiteral("the header frame has the wrong counts");
    if (field(152, 2) != crc16(file.mid(headerSize)) ||
        field(154, 2) != crc16(file.left(mark + 154)))
        return QStringLiteral("the header frame's CRCs are wrong");
    return QString();
}

// The decoder's complaints about a file, "" when it decodes cleanly.
QString decodeErrors(const QString &path)
{
    const Ran r = TestEnv::runApart(
        "ffmpeg", {"-nostdin", "-v", "error", "-xerror", "-i", path, "-f", "null", "-"}, 60000);
    return r.exitCode == 0 ? r.err : r.err + QStringLiteral(" (failed)");
}

} // namespace

class TestMp3Split : public QObject
{
    Q_OBJECT

private slots:
    void joinsLikeOneInstance_data()
    {
        QTest::addColumn<int>("vbrMethod");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::newRow("CBR 128") << -1 << 44100 << 2;
        QTest::newRow("VBR") << 0 << 44100 << 2;
        // MPEG-2: half-length frames, a 255-byte reservoir.
        QTest::newRow("VBR 22050 mono") << 0 << 22050 << 1;
    }
    void joinsLikeOneInstance()
    {
        QFETCH(int, vbrMethod);
        QFETCH(int, rate);
        QFETCH(int, channels);
        Mp3Settings settings;
        settings.VbrMethod = vbrMethod;
        settings.SampleRate = rate;
        settings.Channels = channels;
        // Longer than the minute from which a file is split.
        const std::vector<float> source = Fixture::music(rate, channels, 62.0);
        QTemporaryDir dir;
        const QString wav =
            Fixture::wav(dir.path(), "source.wav", source, rate, channels, "pcm_f32le");
        QVERIFY(!wav.isEmpty());
        const QString joined = dir.filePath("joined.mp3");
        const QString single = dir.filePath("single.mp3");
        const auto convert = [&](const QString &output, int instances) {
            Converter writer;
            writer.SetMp3Settings(settings);
            return Fixture::convert(writer, wav, output, instances);
        };
        QCOMPARE(convert(joined, 2), QString());
        QCOMPARE(convert(single, 1), QString());
        QVERIFY(TestEnv::readFile(joined) != TestEnv::readFile(single)); // it was split

        QCOMPARE(streamFault(TestEnv::readFile(joined)), QString());
        QCOMPARE(decodeErrors(joined), QString());
        const std::vector<float> fromJoined = Fixture::floats(Fixture::decode(joined));
        const std::vector<float> fromSingle = Fixture::floats(Fixture::decode(single));
        QCOMPARE(fromSingle.size(), source.size());
        QCOMPARE(fromJoined.size(), source.size());
        const double joinedSnr = Fixture::snr(source, fromJoined, {{0, source.size()}});
        const double singleSnr = Fixture::snr(source, fromSingle, {{0, source.size()}});
        // A fault at the seams hides in the whole; around them it stands out.
        const Mp3SplitCodec codec(settings, rate, channels);
        std::vector<std::pair<size_t, size_t>> seams;
        const auto around = size_t(4 * codec.frameLength() * channels);
        for (auto at = size_t(codec.blockFrames() * channels); at < source.size();
             at += size_t(codec.blockFrames() * channels))
            seams.emplace_back(at - around, at + around);
        const double joinedSeams = Fixture::snr(source, fromJoined, seams);
        const double singleSeams = Fixture::snr(source, fromSingle, seams);
        qInfo("SNR %.2f dB joined, %.2f dB one instance; at the seams %.2f and %.2f dB", joinedSnr,
              singleSnr, joinedSeams, singleSeams);
        QVERIFY(joinedSnr > singleSnr - 0.2);
        QVERIFY(joinedSeams > singleSeams - 1);
    }

    void seamNeedingMoreReservoirThanLeftStaysValid()
    {
        // Loud noise leaves little of the reservoir free at the end of each block, while the
        // next block's instance saves up a full reservoir during its silent lead and spends it
        // on its first frames: at 64 kbit/s more than the padding bytes can make up for.
        const int rate = 44100;
        std::vector<float> noise(size_t(25 * rate * 2));
        std::mt19937 random(5);
        std::uniform_real_distribution<float> uniform(-0.7f, 0.7f);
        for (float &v : noise)
            v = uniform(random);
        QTemporaryDir dir;
        const QString joined = dir.filePath("joined.mp3");
        Mp3Settings settings;
        settings.Bitrate = 64;
        {
            QFile out(joined);
            QVERIFY(out.open(QIODevice::WriteOnly));
            SplitEncoder encoder(out, std::make_unique<SilentLeads>(settings, rate, 2), 2, 2);
            encoder.write(noise.data(), int(noise.size() / 2));
            encoder.finish();
        }
        QCOMPARE(streamFault(TestEnv::readFile(joined)), QString());
        QCOMPARE(decodeErrors(joined), QString());
    }
};

QTEST_GUILESS_MAIN(TestMp3Split)
#include "tst_mp3split.moc"
