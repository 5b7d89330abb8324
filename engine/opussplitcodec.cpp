#include "engine/opussplitcodec.h"

#include <algorithm>
#include <cmath>

namespace {

// Long enough that the lead's extra work stays near 5 %.
constexpr double BlockSeconds = 10.0;
// What the encoder needs to settle: its rate control and the decoder state it predicts from.
constexpr double LeadSeconds = 0.48;

struct OpusBlock : EncodedBlock
{
    std::vector<Ff::Packet> packets;
};

} // namespace

OpusSplitCodec::OpusSplitCodec(const FfmpegEncoderSetup &setup)
    : m_output(setup)
{
    const int frame = m_output.frameSize();
    m_blockFrames = int(std::max(1L, std::lround(BlockSeconds * setup.rate / frame))) * frame;
    m_leadFrames = int(std::ceil(LeadSeconds * setup.rate / frame)) * frame;
}

std::unique_ptr<EncodedBlock> OpusSplitCodec::encode(const PcmBlock &block) const
{
    auto out = std::make_unique<OpusBlock>();
    const int delay = m_output.codec().initial_padding;
    // A packet belongs to the frame of input that the encoder took to make it; its time is
    // that frame's less the delay.
    FfmpegPacketEncoder encoder(m_output.setup(), [&](AVPacket &packet) {
        const qint64 frameAt = block.start + packet.pts + delay;
        if (frameAt >= block.keepFrom && (block.last || frameAt < block.keepTo))
            out->packets.push_back(FfmpegJoinedOutput::kept(packet, block.start));
    });
    encoder.write(block.pcm.data(), int(block.frames()));
    // Drained also where the next block goes on (its packets are dropped): the encoder
    // complains of audio left in it otherwise.
    encoder.finish();
    return out;
}

void OpusSplitCodec::append(std::unique_ptr<EncodedBlock> encoded, QIODevice &out)
{
    for (Ff::Packet &packet : static_cast<OpusBlock &>(*encoded).packets)
        m_output.write(out, *packet);
}

void OpusSplitCodec::finish(QIODevice &out)
{
    m_output.finish(out);
}
