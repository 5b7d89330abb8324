#pragma once

#include "engine/mp3frame.h"
#include "engine/mp3settings.h"
#include "engine/splitcodec.h"

#include <QByteArray>

#include <memory>
#include <optional>

class Mp3ReservoirPacker;

// MP3 encoded in blocks by several LAME instances. Every instance but the first encodes a
// few frames before its block to settle; with a variable bitrate it then empties its bit
// reservoir, so that the block's first frame needs nothing from frames another instance
// wrote. The join moves every frame's main data as early as the reservoir allows, which
// leaves room at the seams. Where a constant bitrate block's first frames still need more of
// the reservoir than the blocks before them left, they or the frame before them take the
// padding byte; where even that does not do, the block is encoded again with its reservoir
// emptied after the lead.
class Mp3SplitCodec : public SplitCodec
{
public:
    Mp3SplitCodec(const Mp3Settings &settings, int rate, int channels);
    ~Mp3SplitCodec() override;

    int frameLength() const override { return m_frameLength; }
    int blockFrames() const override;
    int leadFrames() const override;
    int tailFrames() const override { return 2 * m_frameLength; }

    std::unique_ptr<EncodedBlock> encode(const PcmBlock &block) const override;
    void append(std::unique_ptr<EncodedBlock> block, QIODevice &out) override;
    void finish(QIODevice &out) override;

private:
    // What one instance made of its block: the frames of the block's own part.
    class Block : public EncodedBlock
    {
    public:
        std::vector<Mp3Frame> frames;
        qint64 keepTo = 0;
        // The first block only: LAME's header frame for these settings and its encoder delay.
        QByteArray header;
        int delay = 0;
        // Kept for encoding the block again when its frames do not fit after the previous
        // block's.
        std::optional<PcmBlock> source;
    };
    std::unique_ptr<Block> encode(const PcmBlock &block, bool emptyReservoir) const;

    Mp3Settings m_settings;
    int m_rate;
    int m_channels;
    int m_frameLength;
    bool m_variableRate = false;
    std::unique_ptr<Mp3ReservoirPacker> m_packer;
    qint64 m_start = 0;
    QByteArray m_header;
    int m_delay = 0;
    qint64 m_samples = 0;
};
