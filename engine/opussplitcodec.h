#pragma once

#include "engine/ffmpegjoinedoutput.h"
#include "engine/splitcodec.h"

// Opus in blocks. Each instance but the first starts half a second early so that its encoder
// has settled by its block's first packet; its packets before the block are dropped. The
// encoder's delay shifts every instance's packets alike, so they fall on one grid and join
// into one Ogg stream with continuous granule positions.
class OpusSplitCodec : public SplitCodec
{
public:
    // The setup a single FfmpegEncoder would get (muxer "ogg", encoder "libopus").
    explicit OpusSplitCodec(const FfmpegEncoderSetup &setup);

    int frameLength() const override { return m_output.frameSize(); }
    int blockFrames() const override { return m_blockFrames; }
    int leadFrames() const override { return m_leadFrames; }
    int tailFrames() const override { return 0; }

    std::unique_ptr<EncodedBlock> encode(const PcmBlock &block) const override;
    void append(std::unique_ptr<EncodedBlock> block, QIODevice &out) override;
    void finish(QIODevice &out) override;

private:
    FfmpegJoinedOutput m_output;
    int m_blockFrames = 0;
    int m_leadFrames = 0;
};
