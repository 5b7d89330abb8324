// The block cutting and joining of SplitEncoder, with a codec that keeps each block's own
// samples as they are: the joined output must be the input, whatever the chunking.
#include "engine/engineerror.h"
#include "engine/splitencoder.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

#include <condition_variable>
#include <mutex>

namespace {

constexpr int Channels = 2;

struct RawBlock : EncodedBlock
{
    QByteArray bytes;
};

// frameLength 4, own parts of 40 frames, 8 frames of lead, 6 of tail.
class RawCodec : public SplitCodec
{
public:
    int frameLength() const override { return 4; }
    int blockFrames() const override { return 40; }
    int leadFrames() const override { return 8; }
    int tailFrames() const override { return 6; }

    std::unique_ptr<EncodedBlock> encode(const PcmBlock &b) const override
    {
        if (b.index == failAt)
            throw EngineError(QStringLiteral("block refused"));
        if (awaitCompany && b.index < 2) {
            // The first two blocks wait until two were encoded at once: only two instances
            // get past at once.
            std::unique_lock lock(mutex);
            most = std::max(most, ++running);
            company.notify_all();
            company.wait_for(lock, std::chrono::seconds(10), [this] { return most > 1; });
            --running;
        }
        // The cut the interface promises; a broken one shows as a failed block.
        const qint64 lead = b.index == 0 ? 0 : leadFrames();
        if (b.start != b.keepFrom - lead || b.keepFrom % frameLength() != 0 ||
            (!b.last && (b.keepTo - b.keepFrom != blockFrames() ||
                         b.frames() != lead + blockFrames() + tailFrames())) ||
            (b.last && b.keepTo != b.start + b.frames()) || b.keepTo <= b.keepFrom)
            throw EngineError(QStringLiteral("block %1 cut wrongly").arg(b.index));
        // Every sample carries its own position, so a lead from the wrong place shows too.
        for (qint64 f = 0; f < b.frames(); ++f) {
            if (b.pcm[size_t(f * Channels)] != float(b.start + f))
                throw EngineError(QStringLiteral("block %1 holds the wrong audio").arg(b.index));
        }
        auto out = std::make_unique<RawBlock>();
        const float *own = b.pcm.data() + (b.keepFrom - b.start) * Channels;
        out->bytes = QByteArray(reinterpret_cast<const char *>(own),
                                qsizetype((b.keepTo - b.keepFrom) * Channels * sizeof(float)));
        return out;
    }
    void append(std::unique_ptr<EncodedBlock> block, QIODevice &out) override
    {
        out.write(static_cast<RawBlock &>(*block).bytes);
    }
    void finish(QIODevice &out) override { out.write("END"); }

    int failAt = -1;
    bool awaitCompany = false;
    mutable std::mutex mutex;
    mutable std::condition_variable company;
    mutable int running = 0;
    mutable int most = 0; // blocks encoded at once
};

QByteArray ramp(qint64 frames)
{
    QByteArray bytes(qsizetype(frames * Channels * sizeof(float)), Qt::Uninitialized);
    auto *f = reinterpret_cast<float *>(bytes.data());
    for (qint64 i = 0; i < frames; ++i) {
        f[i * Channels] = float(i);
        f[i * Channels + 1] = -float(i);
    }
    return bytes;
}

} // namespace

class TestSplitEncoder : public QObject
{
    Q_OBJECT
private slots:
    void joinsWhatWasCut_data()
    {
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<int>("instances");
        QTest::newRow("shorter than one block") << qint64(10) << 3;
        QTest::newRow("one block and its tail exactly") << qint64(46) << 2;
        QTest::newRow("one frame past the tail") << qint64(47) << 2;
        QTest::newRow("many blocks, one instance") << qint64(1000) << 1;
        QTest::newRow("many blocks, four instances") << qint64(5003) << 4;
    }
    void joinsWhatWasCut()
    {
        QFETCH(qint64, frames);
        QFETCH(int, instances);
        const QByteArray input = ramp(frames);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        {
            SplitEncoder encoder(out, std::make_unique<RawCodec>(), Channels, instances);
            auto *samples = reinterpret_cast<const float *>(input.constData());
            qint64 done = 0;
            while (done < frames) {
                const int n = int(
                    std::min<qint64>(frames - done, QRandomGenerator::global()->bounded(1, 120)));
                encoder.write(samples + done * Channels, n);
                done += n;
            }
            encoder.finish();
        }
        QCOMPARE(out.data(), input + "END");
    }

    void instancesAddedAsCoresComeFree()
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        auto owned = std::make_unique<RawCodec>();
        RawCodec *codec = owned.get();
        codec->awaitCompany = true;
        int asked = 0;
        const QByteArray input = ramp(3000);
        {
            // One instance at first; a core comes free before the second block.
            SplitEncoder encoder(out, std::move(owned), Channels, 1,
                                 [&asked] { return ++asked == 2 ? 1 : 0; });
            encoder.write(reinterpret_cast<const float *>(input.constData()), 3000);
            encoder.finish();
            QCOMPARE(codec->most, 2);
        }
        QVERIFY(asked > 2);
        QCOMPARE(out.data(), input + "END");
    }

    void failedBlockFailsTheStream()
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        auto codec = std::make_unique<RawCodec>();
        codec->failAt = 3;
        SplitEncoder encoder(out, std::move(codec), Channels, 2);
        const QByteArray input = ramp(2000);
        QVERIFY_THROWS_EXCEPTION(EngineError, {
            encoder.write(reinterpret_cast<const float *>(input.constData()), 2000);
            encoder.finish();
        });
        QVERIFY(!out.data().endsWith("END"));
    }

    void abandonedStreamEndsWithoutItsEnd()
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        const QByteArray input = ramp(100000);
        auto encoder =
            std::make_unique<SplitEncoder>(out, std::make_unique<RawCodec>(), Channels, 2);
        encoder->write(reinterpret_cast<const float *>(input.constData()), 100000);
        encoder.reset(); // the instances stop with blocks still in work (ASan sees any late touch)
        QVERIFY(out.data().size() < input.size());
        QVERIFY(input.startsWith(out.data()));
    }
};

QTEST_GUILESS_MAIN(TestSplitEncoder)
#include "tst_splitencoder.moc"
