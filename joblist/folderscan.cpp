#include "joblist/folderscan.h"

#include "joblist/folderwalk.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <vector>

namespace {

// A batch goes out this often, so rows appear steadily and each batch is small work for the
// window's thread.
constexpr qint64 BatchMs = 40;
// Files a probe takes at a time.
constexpr int ChunkFiles = 16;

} // namespace

FolderScan::FolderScan(std::unique_ptr<AudioProbe> probe, QObject *parent)
    : QObject(parent)
    , m_probe(std::move(probe))
{
}

FolderScan::~FolderScan()
{
    m_stop = true;
    join();
}

void FolderScan::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void FolderScan::add(const QString &folder)
{
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.push_back(QFileInfo(folder).absoluteFilePath());
    }
    if (m_running)
        return;
    join(); // a thread that has ended but not been joined
    m_stop = false;
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

void FolderScan::stop()
{
    m_stop = true;
}

namespace {

struct Chunk
{
    int number = 0;
    QList<FolderScan::File> files; // path and root; the facts once read
};

} // namespace

// The walk hands out chunks of paths; probes on every core read them, and the chunks go out
// in the order the walk found them.
void FolderScan::run()
{
    FolderWalk walk(&m_stop);
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Chunk> toRead;
    bool walked = false;
    std::map<int, QList<File>> read;
    int nextOut = 0;
    QList<File> batch;
    std::atomic<int> found{0};
    QElapsedTimer sinceBatch;
    sinceBatch.start();

    const auto send = [this, &batch, &found] { // under `mutex`
        QMetaObject::invokeMethod(
            this,
            [this, files = std::exchange(batch, {}), count = found.load()] {
                emit batchRead(files, count);
            },
            Qt::QueuedConnection);
    };
    const auto reader = [&](AudioProbe &probe) {
        probe.prepare();
        for (;;) {
            Chunk chunk;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [&] { return !toRead.empty() || walked; });
                if (toRead.empty())
                    return;
                chunk = std::move(toRead.front());
                toRead.pop_front();
            }
            QList<File> readable;
            for (File &file : chunk.files) {
                if (m_stop)
                    break;
                if (const std::optional<AudioFacts> facts = probe.probe(file.path)) {
                    file.facts = *facts;
                    readable.append(file);
                }
            }
            const std::lock_guard lock(mutex);
            read[chunk.number] = std::move(readable);
            for (auto it = read.find(nextOut); it != read.end(); it = read.find(++nextOut)) {
                batch += it->second;
                read.erase(it);
            }
            if (sinceBatch.elapsed() >= BatchMs) {
                send();
                sinceBatch.restart();
            }
        }
    };
    const int readers = std::max(1, QThread::idealThreadCount());
    std::vector<std::unique_ptr<AudioProbe>> probes;
    std::vector<std::thread> threads;
    for (int i = 0; i < readers; ++i) {
        probes.push_back(i == 0 ? std::move(m_probe) : probes.front()->another());
        threads.emplace_back(reader, std::ref(*probes.back()));
    }

    Chunk chunk;
    int chunks = 0;
    const auto handOut = [&] {
        if (chunk.files.isEmpty())
            return;
        chunk.number = chunks++;
        {
            const std::lock_guard lock(mutex);
            toRead.push_back(std::exchange(chunk, {}));
        }
        wake.notify_one();
    };
    for (;;) {
        QString root;
        {
            const std::lock_guard lock(m_mutex);
            if (m_stop)
                m_waiting.clear();
            if (m_waiting.empty())
                break;
            root = m_waiting.front();
            m_waiting.pop_front();
        }
        walk.walk(root, [&](const QString &path) {
            ++found;
            chunk.files.append({path, root, {}});
            if (chunk.files.size() == ChunkFiles)
                handOut();
        });
    }
    handOut();
    {
        const std::lock_guard lock(mutex);
        walked = true;
    }
    wake.notify_all();
    for (std::thread &thread : threads)
        thread.join();
    m_probe = std::move(probes.front());
    send();
    QMetaObject::invokeMethod(
        this,
        [this, unreadable = walk.unreadable()] {
            m_running = false;
            join();
            m_unreadable += unreadable;
            bool more = false;
            {
                const std::lock_guard lock(m_mutex);
                more = !m_waiting.empty() && !m_stop;
            }
            if (more) { // added after the thread had seen an empty queue
                m_running = true;
                m_thread = std::thread([this] { run(); });
                return;
            }
            emit finished(std::exchange(m_unreadable, {}));
        },
        Qt::QueuedConnection);
}
