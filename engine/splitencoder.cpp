#include "engine/splitencoder.h"

#include "engine/engineerror.h"

#include <algorithm>

SplitEncoder::SplitEncoder(QIODevice &out, std::unique_ptr<SplitCodec> codec, int channels,
                           int instances, std::function<int()> more)
    : m_out(out)
    , m_codec(std::move(codec))
    , m_channels(channels)
    , m_more(std::move(more))
{
    addInstances(std::max(1, instances));
}

void SplitEncoder::addInstances(int count)
{
    for (int i = 0; i < count; ++i)
        m_threads.emplace_back([this] { encodeBlocks(); });
    m_instances += std::max(0, count);
}

SplitEncoder::~SplitEncoder()
{
    stop();
}

void SplitEncoder::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    for (std::thread &t : m_threads)
        t.join();
    m_threads.clear();
}

void SplitEncoder::encodeBlocks()
{
    for (;;) {
        PcmBlock block;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            block = std::move(m_queue.front());
            m_queue.pop_front();
        }
        std::unique_ptr<EncodedBlock> encoded;
        std::exception_ptr error;
        try {
            encoded = m_codec->encode(block);
        } catch (...) {
            error = std::current_exception();
        }
        m_buffers.give(std::move(block.pcm));
        {
            std::lock_guard lock(m_mutex);
            if (error && !m_error)
                m_error = error;
            m_done[block.index] = std::move(encoded);
        }
        m_wake.notify_all();
    }
}

void SplitEncoder::dispatch(qint64 keepTo, bool last)
{
    const qint64 pendingEnd = m_pendingStart + qint64(m_pending.size()) / m_channels;
    PcmBlock block;
    block.index = m_dispatched;
    block.last = last;
    block.keepFrom = m_keepFrom;
    block.keepTo = keepTo;
    block.start = m_dispatched == 0 ? 0 : std::max<qint64>(0, m_keepFrom - m_codec->leadFrames());
    block.channels = m_channels;
    const qint64 end = last ? pendingEnd : std::min(pendingEnd, keepTo + m_codec->tailFrames());
    const auto at = [this](qint64 position) {
        return m_pending.begin() + std::ptrdiff_t((position - m_pendingStart) * m_channels);
    };
    // A buffer of an earlier block: new ones would be fresh pages from the system each time.
    block.pcm = m_buffers.take([] { return std::vector<float>(); });
    block.pcm.assign(at(block.start), at(end));
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(block));
    }
    m_wake.notify_all();
    ++m_dispatched;

    // The next block needs the audio from its lead on.
    m_keepFrom = keepTo;
    const qint64 keep = std::max(m_pendingStart, m_keepFrom - m_codec->leadFrames());
    m_pending.erase(m_pending.begin(), at(std::min(keep, pendingEnd)));
    m_pendingStart = std::min(keep, pendingEnd);
}

void SplitEncoder::join(int inFlight)
{
    while (m_joined < m_dispatched) {
        std::unique_ptr<EncodedBlock> block;
        {
            std::unique_lock lock(m_mutex);
            const bool wait = m_dispatched - m_joined >= inFlight;
            if (wait)
                m_wake.wait(lock, [this] { return m_error || m_done.count(m_joined) > 0; });
            if (m_error)
                std::rethrow_exception(m_error);
            const auto it = m_done.find(m_joined);
            if (it == m_done.end())
                return;
            block = std::move(it->second);
            m_done.erase(it);
        }
        ++m_joined;
        m_codec->append(std::move(block), m_out);
    }
}

void SplitEncoder::write(const float *samples, int frames)
{
    if (frames <= 0)
        return;
    m_pending.insert(m_pending.end(), samples, samples + qint64(frames) * m_channels);
    // A block leaves only when audio follows its tail, so the last block is never empty.
    for (;;) {
        const qint64 keepTo = m_keepFrom + m_codec->blockFrames();
        if (m_pendingStart + qint64(m_pending.size()) / m_channels <=
            keepTo + m_codec->tailFrames())
            break;
        if (m_more)
            addInstances(m_more());
        dispatch(keepTo, false);
        // A long write is cut as the instances keep up, so little audio waits at a time.
        join(2 * m_instances);
    }
}

void SplitEncoder::finish()
{
    dispatch(m_pendingStart + qint64(m_pending.size()) / m_channels, true);
    join(1);
    stop();
    m_codec->finish(m_out);
}
