#include "engine/mp3splitcodec.h"

#include "engine/engineerror.h"
#include "engine/mp3encoder.h"
#include "engine/mp3frame.h"
#include "engine/mp3reservoirpacker.h"
#include "engine/xingheader.h"

#include <QIODevice>

#include <algorithm>

namespace {

// An instance's encoder and what it has written.
class Instance
{
public:
    Instance(Mp3Encoder::LameHandle lame, int channels)
        : m_lame(std::move(lame))
        , m_channels(channels)
    {
    }

    void feed(const float *samples, qint64 frames)
    {
        while (frames > 0) {
            const int n = int(std::min<qint64>(frames, 8192));
            reserve(n);
            int bytes;
            if (m_channels == 2)
                bytes = lame_encode_buffer_interleaved_ieee_float(m_lame.get(), samples, n,
                                                                  m_bytes.data() + m_used, room());
            else
                bytes = lame_encode_buffer_ieee_float(m_lame.get(), samples, samples, n,
                                                      m_bytes.data() + m_used, room());
            took(bytes);
            samples += size_t(n) * size_t(m_channels);
            frames -= n;
        }
    }

    // Writes out every frame encoded so far; `last` also encodes what is still buffered.
    void flush(bool last)
    {
        reserve(0);
        took(last ? lame_encode_flush(m_lame.get(), m_bytes.data() + m_used, room())
                  : lame_encode_flush_nogap(m_lame.get(), m_bytes.data() + m_used, room()));
    }

    lame_t lame() const { return m_lame.get(); }
    const std::vector<unsigned char> &bytes() const { return m_bytes; }
    size_t used() const { return m_used; }

private:
    void reserve(int frames) { m_bytes.resize(m_used + size_t(frames) * 5 / 4 + 7200); }
    int room() const { return int(m_bytes.size() - m_used); }
    void took(int bytes)
    {
        if (bytes < 0)
            throw EngineError(QStringLiteral("MP3 encoding failed (%1)").arg(bytes));
        m_used += size_t(bytes);
    }

    Mp3Encoder::LameHandle m_lame;
    int m_channels;
    std::vector<unsigned char> m_bytes;
    size_t m_used = 0;
};

} // namespace

Mp3SplitCodec::Mp3SplitCodec(const Mp3Settings &settings, int rate, int channels)
    : m_settings(settings)
    , m_rate(rate)
    , m_channels(channels)
    , m_frameLength(rate >= 32000 ? 1152 : 576)
{
    const Mp3Encoder::LameHandle lame = Mp3Encoder::startLame(settings, rate, channels, false);
    m_variableRate = lame_get_VBR(lame.get()) != vbr_off;
}

Mp3SplitCodec::~Mp3SplitCodec() = default;

int Mp3SplitCodec::blockFrames() const
{
    // About ten seconds, so the lead costs about 2 % more encoding.
    return std::max(1, (10 * m_rate + m_frameLength / 2) / m_frameLength) * m_frameLength;
}

int Mp3SplitCodec::leadFrames() const
{
    return (m_frameLength == 1152 ? 8 : 16) * m_frameLength;
}

std::unique_ptr<EncodedBlock> Mp3SplitCodec::encode(const PcmBlock &block) const
{
    // A variable bitrate encoder hardly needs the reservoir to keep its quality.
    return encode(block, m_variableRate);
}

std::unique_ptr<Mp3SplitCodec::Block> Mp3SplitCodec::encode(const PcmBlock &block,
                                                            bool emptyReservoir) const
{
    const bool first = block.keepFrom == 0;
    Instance instance(Mp3Encoder::startLame(m_settings, m_rate, m_channels, first), m_channels);
    const qint64 lead = (block.keepFrom - block.start) / m_frameLength;
    const float *pcm = block.pcm.data();
    qint64 fed = 0;
    if (lead > 0 && emptyReservoir) {
        // Small steps, so the encoder stops right after the lead's frames: emptying the
        // reservoir there makes the block's first frame independent of the frames before it.
        constexpr qint64 Step = 256;
        while (lame_get_frameNum(instance.lame()) < lead && fed < block.frames()) {
            const qint64 n = std::min(Step, block.frames() - fed);
            instance.feed(pcm + fed * m_channels, n);
            fed += n;
        }
        if (lame_get_frameNum(instance.lame()) != lead)
            throw EngineError(QStringLiteral("The MP3 encoder did not stop after the lead"));
        instance.flush(false);
    }
    instance.feed(pcm + fed * m_channels, block.frames() - fed);
    instance.flush(block.last);

    auto out = std::make_unique<Block>();
    out->keepTo = block.keepTo;
    if (lead > 0 && !emptyReservoir)
        out->source = block;
    std::vector<Mp3Frame> frames = Mp3Frame::split(instance.bytes().data(), instance.used());
    qint64 from = lead;
    if (first) {
        std::vector<unsigned char> header(
            size_t(lame_get_lametag_frame(instance.lame(), nullptr, 0)));
        header.resize(lame_get_lametag_frame(instance.lame(), header.data(), header.size()));
        out->header =
            QByteArray(reinterpret_cast<const char *>(header.data()), qsizetype(header.size()));
        // LAME writes none where the frames are too small to hold it.
        if (!out->header.isEmpty())
            ++from; // the header frame's place holder
        out->delay = lame_get_encoder_delay(instance.lame());
    }
    const qint64 to =
        block.last ? qint64(frames.size()) : from + (block.keepTo - block.keepFrom) / m_frameLength;
    if (from > to || to > qint64(frames.size()))
        throw EngineError(QStringLiteral("The MP3 encoder wrote fewer frames than the block has"));
    out->frames.assign(std::make_move_iterator(frames.begin() + from),
                       std::make_move_iterator(frames.begin() + to));
    return out;
}

void Mp3SplitCodec::append(std::unique_ptr<EncodedBlock> block, QIODevice &out)
{
    auto *mp3 = static_cast<Block *>(block.get());
    if (!m_packer) {
        m_header = mp3->header;
        m_delay = mp3->delay;
        m_start = out.pos();
        // A place holder, completed once the whole stream is known.
        if (!m_header.isEmpty() && out.write(m_header) != m_header.size())
            throw EngineError(QStringLiteral("Cannot write the output: %1").arg(out.errorString()));
        m_packer = std::make_unique<Mp3ReservoirPacker>(out);
    }
    if (mp3->source && !m_packer->fit(mp3->frames)) {
        block = encode(*mp3->source, true);
        mp3 = static_cast<Block *>(block.get());
    }
    for (Mp3Frame &frame : mp3->frames)
        m_packer->add(std::move(frame));
    m_samples = mp3->keepTo;
}

void Mp3SplitCodec::finish(QIODevice &out)
{
    if (!m_packer)
        throw EngineError(QStringLiteral("The MP3 stream has no blocks"));
    m_packer->flush();
    if (m_header.isEmpty())
        return;
    XingHeader::Stream stream;
    stream.frameSizes = m_packer->frameSizes();
    stream.delay = m_delay;
    stream.padding = int(qint64(stream.frameSizes.size()) * m_frameLength - m_delay - m_samples);
    stream.audioCrc = m_packer->crc();
    const QByteArray header = XingHeader::complete(m_header, stream);
    const qint64 end = out.pos();
    if (!out.seek(m_start) || out.write(header) != header.size() || !out.seek(end))
        throw EngineError(QStringLiteral("Cannot complete the MP3 header"));
}
