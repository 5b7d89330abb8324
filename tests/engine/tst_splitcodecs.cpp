// Codecs encoded in blocks by several instances at once (SplitEncoder) and joined: the joined
// stream must decode like one instance's.
#include "engine/converter.h"
#include "engine/ffmpegencoder.h"
#include "engine/flacsplitcodec.h"
#include "engine/opussplitcodec.h"
#include "engine/splitencoder.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

namespace {

bool encodeSingle(const FfmpegEncoderSetup &setup, const std::vector<float> &pcm,
                  const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    FfmpegEncoder encoder(file, setup);
    const qint64 frames = qint64(pcm.size()) / setup.channels;
    for (qint64 at = 0; at < frames; at += 4096)
        encoder.write(pcm.data() + at * setup.channels, int(std::min<qint64>(4096, frames - at)));
    encoder.finish();
    return true;
}

// `pcm` encoded by SplitEncoder, up to `instances` blocks at once, into more blocks than that.
void encodeSplit(std::unique_ptr<SplitCodec> codec, const std::vector<float> &pcm, int channels,
                 int instances, const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const auto frames = int(pcm.size() / size_t(channels));
    QVERIFY(frames > instances * codec->blockFrames());
    SplitEncoder encoder(file, std::move(codec), channels, instances);
    encoder.write(pcm.data(), frames);
    encoder.finish();
}

// Walks an Ogg Opus file's pages: every page's granule position counts the samples of the
// packets that end in it (`frame` each) from the stream's start, the last one's stops at the
// pre-skip plus `samples`. "" or what is wrong.
QString checkGranules(const QByteArray &file, int frame, qint64 samples)
{
    qint64 at = 0, packets = 0, granule = -1;
    int preSkip = -1;
    bool ended = false;
    for (int page = 0; at < file.size(); ++page) {
        if (file.mid(at, 4) != "OggS" || at + 27 > file.size())
            return QString("no page at byte %1").arg(at);
        const auto *head = reinterpret_cast<const uchar *>(file.constData() + at);
        granule = qFromLittleEndian<qint64>(head + 6);
        ended = head[5] & 4;
        const int segments = head[26];
        qint64 body = 0, ending = 0;
        for (int s = 0; s < segments; ++s) {
            body += head[27 + s];
            ending += head[27 + s] < 255;
        }
        if (page == 0)
            preSkip = qFromLittleEndian<quint16>(head + 27 + segments + 10);
        if (page >= 2) { // past OpusHead and OpusTags
            packets += ending;
            if (!ended && granule != -1 && granule != packets * frame)
                return QString("page %1 at granule %2, not %3")
                    .arg(page)
                    .arg(granule)
                    .arg(packets * frame);
        }
        at += 27 + segments + body;
    }
    if (!ended || granule != preSkip + samples || granule <= (packets - 1) * frame)
        return QString("ends at granule %1 after %2 packets, not %3 + %4")
            .arg(granule)
            .arg(packets)
            .arg(preSkip)
            .arg(samples);
    return {};
}

} // namespace

class TestSplitCodecs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // Lossless at both depths: every frame renumbered with good CRCs, STREAMINFO (sizes,
    // count, checksum) as one instance writes it, the very samples of the source.
    void flacJoinsLosslessly_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("instances");
        QTest::newRow("16 bits, 3 instances") << 16 << 3;
        QTest::newRow("24 bits, 2 instances") << 24 << 2;
    }
    void flacJoinsLosslessly()
    {
        QFETCH(int, bits);
        QFETCH(int, instances);
        FfmpegEncoderSetup setup;
        setup.muxer = "flac";
        setup.encoder = "flac";
        setup.pcmBits = bits;
        setup.compressionLevel = 5;
        const std::vector<float> source = Fixture::music(44100, 2, 61.3, bits);
        const QString single = m_dir.filePath("single.flac");
        const QString split = m_dir.filePath("split.flac");
        QVERIFY(encodeSingle(setup, source, single));
        encodeSplit(std::make_unique<FlacSplitCodec>(setup), source, 2, instances, split);

        const QString format = bits == 16 ? "s16le" : "s32le";
        const QByteArray decoded = Fixture::decodeStrictly(split, format);
        QByteArray expected(qsizetype(source.size()) * (bits == 16 ? 2 : 4), Qt::Uninitialized);
        for (size_t i = 0; i < source.size(); ++i) {
            const auto v = int32_t(double(source[i]) * (1 << (bits - 1)));
            if (bits == 16)
                qToLittleEndian(int16_t(v), expected.data() + 2 * i);
            else
                qToLittleEndian(int32_t(uint32_t(v) << 8), expected.data() + 4 * i);
        }
        QCOMPARE(decoded.size(), expected.size());
        QVERIFY(decoded == expected);
        const QByteArray joined = TestEnv::readFile(split);
        const QByteArray alone = TestEnv::readFile(single);
        QCOMPARE(joined.left(42).toHex(), alone.left(42).toHex());
        QVERIFY(joined == alone); // the same frames, numbered alike
    }

    // Lossy: each block's lead settles its encoder, so the joins are as clean as the rest.
    void opusJoinsLikeOneInstance_data()
    {
        QTest::addColumn<QByteArray>("vbr");
        QTest::addColumn<int>("instances");
        QTest::newRow("VBR, 4 instances") << QByteArray("on") << 4;
        QTest::newRow("constrained VBR, 3 instances") << QByteArray("constrained") << 3;
    }
    void opusJoinsLikeOneInstance()
    {
        QFETCH(QByteArray, vbr);
        QFETCH(int, instances);
        FfmpegEncoderSetup setup;
        setup.muxer = "ogg";
        setup.encoder = "libopus";
        setup.rate = 48000;
        setup.bitRate = 96000;
        setup.options = {{"vbr", vbr}};
        setup.layoutMask = AV_CH_LAYOUT_STEREO;
        const std::vector<float> source = Fixture::music(48000, 2, 70.3, 24);
        const QString single = m_dir.filePath("single.opus");
        const QString split = m_dir.filePath("split.opus");
        QVERIFY(encodeSingle(setup, source, single));
        OpusSplitCodec codec(setup);
        QVERIFY(codec.leadFrames() >= 48000 * 48 / 100);
        encodeSplit(std::make_unique<OpusSplitCodec>(setup), source, 2, instances, split);

        const std::vector<float> alone = Fixture::floats(Fixture::decodeStrictly(single, "f32le"));
        const std::vector<float> joined = Fixture::floats(Fixture::decodeStrictly(split, "f32le"));
        QCOMPARE(alone.size(), source.size());
        QCOMPARE(joined.size(), alone.size());
        const double aloneSnr = Fixture::snr(source, alone);
        const double joinedSnr = Fixture::snr(source, joined);
        qInfo("SNR %.3f dB joined, %.3f dB alone", joinedSnr, aloneSnr);
        QVERIFY(joinedSnr > aloneSnr - 0.2);
        const QString granules =
            checkGranules(TestEnv::readFile(split), codec.frameLength(), qint64(source.size()) / 2);
        QVERIFY2(granules.isEmpty(), qPrintable(granules));
    }

    // The converter's own settings through several instances: FLAC comes out as one
    // instance writes it, Opus decodes to as many samples (and is not one instance's).
    void converterSplitsFlacAndOpus()
    {
        const std::vector<float> pcm = Fixture::music(44100, 2, 64.5, 24);
        const QString source = Fixture::wav(m_dir.path(), "source.wav", pcm, 44100, 2, "pcm_s24le");
        QVERIFY(!source.isEmpty());
        const auto convert = [&source](const QString &output, int instances) {
            Converter writer;
            Fixture::setEveryFormat(writer);
            return Fixture::convert(writer, source, output, instances);
        };
        for (const QString format : {"flac", "opus"}) {
            const QString one = m_dir.filePath("one." + format);
            const QString three = m_dir.filePath("three." + format);
            QCOMPARE(convert(one, 1), QString());
            QCOMPARE(convert(three, 3), QString());
            const QByteArray alone = Fixture::decodeStrictly(one, "f32le");
            const QByteArray joined = Fixture::decodeStrictly(three, "f32le");
            QVERIFY(!alone.isEmpty());
            QCOMPARE(joined.size(), alone.size());
            if (format == "flac")
                QVERIFY(TestEnv::readFile(three) == TestEnv::readFile(one));
            else
                QVERIFY(joined != alone); // (one instance's encodes decode alike)
        }
    }
};

QTEST_GUILESS_MAIN(TestSplitCodecs)
#include "tst_splitcodecs.moc"
