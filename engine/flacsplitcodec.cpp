#include "engine/flacsplitcodec.h"

#include "engine/engineerror.h"
#include "engine/flacframes.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

constexpr double BlockSeconds = 10.0;

struct FlacBlock : EncodedBlock
{
    std::vector<Ff::Packet> frames; // numbered as in the joined stream
    std::vector<uchar> audio;       // the samples as the checksum takes them
};

// Appends a frame's samples in the checksum's layout: each sample in as many little-endian
// bytes as its depth needs, channels interleaved.
void appendSamples(std::vector<uchar> &to, const AVFrame &frame, int bits)
{
    const int count = frame.nb_samples * frame.ch_layout.nb_channels;
    const int width = (bits + 7) / 8;
    const size_t at = to.size();
    to.resize(at + size_t(count) * size_t(width));
    uchar *dst = to.data() + at;
    if (frame.format == AV_SAMPLE_FMT_S16) {
        qToLittleEndian<int16_t>(frame.data[0], count, dst);
        return;
    }
    const auto *src = reinterpret_cast<const int32_t *>(frame.data[0]);
    const int shift = 32 - bits;
    for (int i = 0; i < count; ++i) {
        const auto v = uint32_t(src[i] >> shift);
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
    : m_output(setup)
{
    const int frame = m_output.frameSize();
    m_blockFrames = int(std::max(1L, std::lround(BlockSeconds * setup.rate / frame))) * frame;
}

std::unique_ptr<EncodedBlock> FlacSplitCodec::encode(const PcmBlock &block) const
{
    auto out = std::make_unique<FlacBlock>();
    const int bits = m_output.codec().bits_per_raw_sample;
    // Every frame before the block is whole: the first one's number follows from its start.
    qint64 number = block.keepFrom / frameLength();
    qint64 pts = block.keepFrom;
    std::unique_ptr<FfmpegPacketEncoder> encoder = m_encoders.take([this] {
        return std::make_unique<FfmpegPacketEncoder>(m_output.setup(), [](AVPacket &) {});
    });
    encoder->setPacketSink([&](AVPacket &packet) {
        // The encoder's last word is an empty packet with its STREAMINFO: made anew here.
        if (packet.size == 0)
            return;
        Ff::Packet frame(av_packet_alloc());
        if (!frame || av_new_packet(frame.get(), packet.size + FlacFrames::MostGrowth) < 0)
            throw EngineError(QStringLiteral("Out of memory"));
        const int size = FlacFrames::renumber(packet.data, packet.size, number++, frame->data);
        if (size == 0)
            throw EngineError(
                QStringLiteral("The FLAC encoder made a frame that cannot be joined"));
        av_shrink_packet(frame.get(), size);
        frame->pts = frame->dts = pts;
        frame->duration = packet.duration;
        pts += packet.duration;
        out->frames.push_back(std::move(frame));
    });
    encoder->setFrameObserver(
        [&out, bits](const AVFrame &frame) { appendSamples(out->audio, frame, bits); });
    const qint64 frames = block.keepTo - block.keepFrom;
    out->audio = m_buffers.take([] { return std::vector<uchar>(); });
    out->audio.reserve(size_t(frames * block.channels * ((bits + 7) / 8)));
    const qint64 skip = block.keepFrom - block.start;
    encoder->write(block.pcm.data() + skip * block.channels, int(frames));
    // A block of whole frames has all its packets out; the stream's end drains the encoder.
    if (block.last) {
        encoder->finish();
    } else {
        encoder->setPacketSink([](AVPacket &) {});
        encoder->setFrameObserver({});
        m_encoders.give(std::move(encoder));
    }
    return out;
}

void FlacSplitCodec::append(std::unique_ptr<EncodedBlock> encoded, QIODevice &out)
{
    auto &block = static_cast<FlacBlock &>(*encoded);
    for (Ff::Packet &frame : block.frames) {
        const int size = frame->size;
        m_minFrameBytes = m_samples == 0 ? size : std::min(m_minFrameBytes, size);
        m_maxFrameBytes = std::max(m_maxFrameBytes, size);
        m_samples += frame->duration;
        m_output.write(out, *frame);
    }
    m_md5.addData(QByteArrayView(block.audio.data(), qsizetype(block.audio.size())));
    block.audio.clear();
    m_buffers.give(std::move(block.audio));
}

void FlacSplitCodec::finish(QIODevice &out)
{
    m_output.finish(out, streamInfo());
}

QByteArray FlacSplitCodec::streamInfo() const
{
    const AVCodecContext &c = m_output.codec();
    QByteArray info;
    // The smallest and largest block: the frame (the last, shorter one is not counted).
    putBigEndian(info, quint64(m_output.frameSize()), 2);
    putBigEndian(info, quint64(m_output.frameSize()), 2);
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
