#pragma once

#include "engine/ffmpegjoinedoutput.h"
#include "engine/reusepool.h"
#include "engine/splitcodec.h"

#include <QCryptographicHash>

#include <vector>

// FLAC in blocks of whole frames. Its frames depend on nothing before them, so each block is
// encoded alone and the frames are joined renumbered; STREAMINFO is made for the whole.
class FlacSplitCodec : public SplitCodec
{
public:
    // The setup a single FfmpegEncoder would get (muxer "flac", encoder "flac").
    explicit FlacSplitCodec(const FfmpegEncoderSetup &setup);

    int frameLength() const override { return m_output.frameSize(); }
    int blockFrames() const override { return m_blockFrames; }
    int leadFrames() const override { return 0; }
    int tailFrames() const override { return 0; }

    std::unique_ptr<EncodedBlock> encode(const PcmBlock &block) const override;
    void append(std::unique_ptr<EncodedBlock> block, QIODevice &out) override;
    void finish(QIODevice &out) override;

private:
    QByteArray streamInfo() const;

    FfmpegJoinedOutput m_output;
    int m_blockFrames = 0;
    QCryptographicHash m_md5{QCryptographicHash::Md5};
    qint64 m_samples = 0;
    int m_minFrameBytes = 0;
    int m_maxFrameBytes = 0;
    // Opening an encoder clears megabytes of state, more work than a second of audio; a
    // frame depends on nothing before it, so an encoder goes on with any block.
    mutable ReusePool<std::unique_ptr<FfmpegPacketEncoder>> m_encoders;
    // The blocks' samples for the checksum, from encode() until append().
    mutable ReusePool<std::vector<uchar>> m_buffers;
};
