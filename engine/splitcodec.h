#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

class QIODevice;

// One block of a long stream, encoded by an encoder instance of its own while others
// encode the blocks around it. Positions count sample frames from the stream's start.
//
// The block's own part is [keepFrom, keepTo). Every block but the first also gets
// leadFrames() of audio before it (start = keepFrom - leadFrames()), which lets its encoder
// settle and is then thrown away; every block but the last gets up to tailFrames() after it.
// keepFrom is a multiple of the codec's frameLength(), so an instance started at `start`
// cuts its frames on the same grid as one instance running from the stream's start.
struct PcmBlock
{
    int index = 0;
    bool last = false; // the stream ends with this block: flushed as at the end of a file
    qint64 start = 0;
    qint64 keepFrom = 0;
    qint64 keepTo = 0;
    int channels = 2;
    std::vector<float> pcm; // interleaved, from `start` on
    qint64 frames() const { return qint64(pcm.size()) / channels; }
};

// What a codec made of one block; each codec keeps what its join needs.
class EncodedBlock
{
public:
    virtual ~EncodedBlock() = default;
};

// A codec whose stream can be cut into blocks, encoded in parallel and joined into one
// stream that a player cannot tell from one instance's.
class SplitCodec
{
public:
    virtual ~SplitCodec() = default;

    // Block boundaries fall on multiples of this many sample frames (the codec's frame).
    virtual int frameLength() const = 0;
    // The length of a block's own part, a multiple of frameLength().
    virtual int blockFrames() const = 0;
    // Audio before and after a block's own part that its instance encodes and throws away.
    // leadFrames() is a multiple of frameLength().
    virtual int leadFrames() const = 0;
    virtual int tailFrames() const = 0;

    // Encodes one block. Called on several threads at once, each with its own block; must
    // not touch the output. EngineError on failure.
    virtual std::unique_ptr<EncodedBlock> encode(const PcmBlock &block) const = 0;
    // Called on one thread with the blocks in order: writes what of the stream is final.
    virtual void append(std::unique_ptr<EncodedBlock> block, QIODevice &out) = 0;
    // After the last block: writes the rest and completes the stream's headers (it may seek
    // back in `out`). EngineError on failure.
    virtual void finish(QIODevice &out) = 0;
};
