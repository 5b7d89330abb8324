#include "joblist/folderscan.h"

#include "joblist/folderwalk.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>

namespace {

// A batch goes out this often, so rows appear steadily and each batch is small work for the
// window's thread.
constexpr qint64 BatchMs = 40;

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

void FolderScan::run()
{
    FolderWalk walk(&m_stop);
    QList<File> batch;
    int found = 0;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    const auto send = [this, &batch, &found] {
        QMetaObject::invokeMethod(
            this, [this, files = std::exchange(batch, {}), found] { emit batchRead(files, found); },
            Qt::QueuedConnection);
    };
    m_probe->prepare();
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
            if (const std::optional<AudioFacts> facts = m_probe->probe(path))
                batch.append({path, root, *facts});
            if (sinceBatch.elapsed() >= BatchMs) {
                send();
                sinceBatch.restart();
            }
        });
    }
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
