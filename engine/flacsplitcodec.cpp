#include "engine/flacsplitcodec.h"

#include "engine/engineerror.h"
#include "engine/ffmpegmuxer.h"
#include "engine/flacframes.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

constexpr double BlockSeconds = 10.0;

struct FlacBlock : EncodedBlock
{
    struct Frame
    {
        QByteArray bytes;
        qint64 samples = 0;
    };
    std::vector<Frame> frames;
    QByteArray audio; // the samples as the checksum takes them: little-endian, whole bytes
};

// Appends a frame's samples in the checksum's layout: each sample in as many little-endian
// bytes as its depth needs, channels interleaved.
void appendSamples(QByteArray &to, const AVFrame &frame, int bits)
{
    const int count = frame.nb_samples * frame.ch_layout.nb_channels;
    const int width = (bits + 7) / 8;
    const qsizetype at = to.size();
    to.resize(at + qsizetype(count) * width);
    auto *dst = reinterpret_cast<uint8_t *>(to.data() + at);
    if (frame.format == AV_SAMPLE_FMT_S16) {
        const auto *src = reinterpret_cast<const int16_t *>(frame.data[0]);
        for (int i = 0; i < count; ++i)
            qToLittleEndian(src[i], dst + 2 * i);
        return;
    }
    const auto *src = reinterpret_cast<const int32_t *>(frame.data[0]);
    const int shift = 32 - bits;
    for (int i = 0; i < count; ++i) {
        const uint32_t v = uint32_t(src[i] >> shift);
        for (int b = 0; b < width; ++b)
            dst[i * width + b] = uint8_t(v >> (8 * b));
    }
}

void putBigEndian(QByteArray &to, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        to += char((value >> (8 * i)) & 0xFF);
}

} // namespace

FlacSplitCodec::FlacSplitCodec(const FfmpegEncoderSetup &setup)
    : m_setup(setup)
    , m_reference(setup, false, [](AVPacket &) {})
{
    m_frameLength = m_reference.frameSize();
    const auto frames = std::lround(BlockSeconds * setup.rate / m_frameLength);
    m_blockFrames = int(std::max<long>(1, frames)) * m_frameLength;
}

FlacSplitCodec::~FlacSplitCodec() = default;

std::unique_ptr<EncodedBlock> FlacSplitCodec::encode(const PcmBlock &block) const
{
    auto out = std::make_unique<FlacBlock>();
    const int bits = m_reference.context().bits_per_raw_sample;
    FfmpegPacketEncoder encoder(m_setup, false, [&out](AVPacket &packet) {
        // The encoder's last word is an empty packet with its STREAMINFO: made anew here.
        if (packet.size > 0)
            out->frames.push_back(
                {QByteArray(reinterpret_cast<const char *>(packet.data), packet.size),
                 packet.duration});
    });
    encoder.setFrameObserver(
        [&out, bits](const AVFrame &frame) { appendSamples(out->audio, frame, bits); });
    const qint64 skip = block.keepFrom - block.start;
    encoder.write(block.pcm.data() + skip * block.channels, int(block.keepTo - block.keepFrom));
    encoder.finish();
    return out;
}

void FlacSplitCodec::append(std::unique_ptr<EncodedBlock> encoded, QIODevice &out)
{
    auto &block = static_cast<FlacBlock &>(*encoded);
    if (!m_muxer) {
        m_muxer = std::make_unique<FfmpegMuxer>(out, m_setup.muxer, true);
        m_muxer->start(m_reference.context(), m_setup.muxerOptions);
    }
    Ff::Packet packet(av_packet_alloc());
    if (!packet)
        throw EngineError(QStringLiteral("Out of memory"));
    for (const FlacBlock::Frame &frame : block.frames) {
        const QByteArray bytes = FlacFrames::renumbered(frame.bytes, m_frames);
        if (bytes.isEmpty())
            throw EngineError(
                QStringLiteral("The FLAC encoder made a frame that cannot be joined"));
        if (av_new_packet(packet.get(), int(bytes.size())) < 0)
            throw EngineError(QStringLiteral("Out of memory"));
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char *>(packet->data));
        packet->pts = packet->dts = m_samples;
        packet->duration = frame.samples;
        m_muxer->write(*packet);
        av_packet_unref(packet.get());
        const int size = int(bytes.size());
        m_minFrameBytes = m_frames == 0 ? size : std::min(m_minFrameBytes, size);
        m_maxFrameBytes = std::max(m_maxFrameBytes, size);
        ++m_frames;
        m_samples += frame.samples;
    }
    m_md5.addData(block.audio);
}

void FlacSplitCodec::finish(QIODevice &out)
{
    if (!m_muxer) {
        m_muxer = std::make_unique<FfmpegMuxer>(out, m_setup.muxer, true);
        m_muxer->start(m_reference.context(), m_setup.muxerOptions);
    }
    // The muxer rewrites the header's STREAMINFO with the one a packet brings.
    const QByteArray info = streamInfo();
    Ff::Packet packet(av_packet_alloc());
    uint8_t *side =
        packet ? av_packet_new_side_data(packet.get(), AV_PKT_DATA_NEW_EXTRADATA, info.size())
               : nullptr;
    if (!side)
        throw EngineError(QStringLiteral("Out of memory"));
    std::copy(info.begin(), info.end(), reinterpret_cast<char *>(side));
    packet->pts = packet->dts = m_samples;
    m_muxer->write(*packet);
    m_muxer->finish();
}

QByteArray FlacSplitCodec::streamInfo() const
{
    const AVCodecContext &c = m_reference.context();
    QByteArray info;
    putBigEndian(info, quint64(m_frameLength), 2); // smallest block (the last one aside)
    putBigEndian(info, quint64(m_frameLength), 2);
    putBigEndian(info, quint64(m_minFrameBytes), 3);
    putBigEndian(info, quint64(m_maxFrameBytes), 3);
    putBigEndian(info,
                 quint64(c.sample_rate) << 44 | quint64(c.ch_layout.nb_channels - 1) << 41 |
                     quint64(c.bits_per_raw_sample - 1) << 36 |
                     (quint64(m_samples) & 0xFFFFFFFFFull),
                 8);
    info += m_md5.result();
    return info;
}
