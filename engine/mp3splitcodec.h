#pragma once

#include "engine/mp3settings.h"
#include "engine/splitcodec.h"

#include <QByteArray>

#include <memory>

class Mp3ReservoirPacker;

// MP3 encoded in blocks by several LAME instances. Every instance but the first encodes a
// few frames before its block to settle and then empties its bit reservoir, so the block's
// first frame needs nothing from frames another instance wrote; the join moves every frame's
// main data as early as the reservoir allows, which leaves room at every seam.
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
    Mp3Settings m_settings;
    int m_rate;
    int m_channels;
    int m_frameLength;
    std::unique_ptr<Mp3ReservoirPacker> m_packer;
    qint64 m_start = 0;
    QByteArray m_header;
    int m_delay = 0;
    qint64 m_samples = 0;
};
