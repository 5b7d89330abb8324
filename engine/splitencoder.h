#pragma once

#include "engine/audioencoder.h"
#include "engine/reusepool.h"
#include "engine/splitcodec.h"

#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QIODevice;

// Encodes one stream with several instances of a codec at once: the incoming PCM is cut
// into blocks (with the lead and tail audio the codec asks for), each block is encoded on
// one of `instances` threads, and the codec joins the results in order into the output.
// The caller's thread only cuts and writes, and waits when the instances fall behind, so at
// most two blocks per instance are held at a time. `more`, when set, is asked before each
// block how many instances may be added now (cores that other work has given back).
class SplitEncoder : public AudioEncoder
{
public:
    SplitEncoder(QIODevice &out, std::unique_ptr<SplitCodec> codec, int channels, int instances,
                 std::function<int()> more = {});
    // Stops the instances; blocks not yet joined are thrown away.
    ~SplitEncoder() override;
    SplitEncoder(const SplitEncoder &) = delete;
    SplitEncoder &operator=(const SplitEncoder &) = delete;

    void write(const float *samples, int frames) override;
    void finish() override;

private:
    void addInstances(int count);
    void dispatch(qint64 keepTo, bool last);
    // Joins the blocks that are done, in order; waits until fewer than `inFlight` remain.
    void join(int inFlight);
    void encodeBlocks();
    void stop();

    QIODevice &m_out;
    std::unique_ptr<SplitCodec> m_codec;
    const int m_channels;
    int m_instances = 0;
    const std::function<int()> m_more;

    std::vector<float> m_pending; // the audio from m_pendingStart on
    qint64 m_pendingStart = 0;
    qint64 m_keepFrom = 0; // where the next block's own part begins
    int m_dispatched = 0;
    int m_joined = 0;

    ReusePool<std::vector<float>> m_buffers; // the blocks' audio, once encoded
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<PcmBlock> m_queue;
    std::map<int, std::unique_ptr<EncodedBlock>> m_done;
    std::exception_ptr m_error;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
