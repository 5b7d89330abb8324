#include "convert/conversionengine.h"

#include "engine/converter.h"
#include "engine/engineerror.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

ConversionEngine::ConversionEngine(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<ConversionEngine::Result>("ConversionEngine::Result");
}

int ConversionEngine::workersFor(int setting)
{
    return setting > 0 ? setting : std::max(1, QThread::idealThreadCount());
}

ConversionEngine::~ConversionEngine()
{
    // The workers emit on this object: they must be gone before it is.
    cancel();
    finish();
    joinWorkers();
}

void ConversionEngine::begin(int workers, const EncoderSettings &settings, Overwrite overwrite)
{
    joinWorkers();
    m_settings = settings;
    m_overwrite = overwrite;
    m_cancelled = false;
    m_finishing = false;
    m_pending = 0;
    m_busyCores = 0;
    m_queue.clear();
    m_answers.clear();
    for (int i = 0; i < std::max(1, workers); ++i)
        m_threads.emplace_back([this] { work(); });
}

void ConversionEngine::submit(const Task &task)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(task);
        ++m_pending;
    }
    m_wake.notify_all();
}

void ConversionEngine::finish()
{
    bool ended = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_finishing)
            return;
        m_finishing = true;
        ended = m_pending == 0;
    }
    m_wake.notify_all();
    if (ended)
        QMetaObject::invokeMethod(this, &ConversionEngine::runEnded, Qt::QueuedConnection);
}

void ConversionEngine::cancel()
{
    {
        // Under the lock, so that a worker waiting for an overwrite answer cannot miss it.
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_wake.notify_all();
}

void ConversionEngine::answerOverwrite(int id, OverwriteAnswer answer)
{
    {
        std::lock_guard lock(m_mutex);
        m_answers.insert(id, answer);
    }
    m_wake.notify_all();
}

void ConversionEngine::joinWorkers()
{
    {
        std::lock_guard lock(m_mutex);
        m_finishing = true;
    }
    m_wake.notify_all();
    for (std::thread &t : m_threads)
        t.join();
    m_threads.clear();
}

ConversionEngine::OverwriteAnswer ConversionEngine::askOverwrite(int id, const QString &output)
{
    switch (m_overwrite) {
    case Overwrite::Replace:
        return OverwriteAnswer::Replace;
    case Overwrite::Skip:
        return OverwriteAnswer::Skip;
    case Overwrite::Ask:
        break;
    }
    emit overwriteAsked(id, output);
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return m_answers.contains(id) || m_cancelled; });
    // A run cancelled meanwhile touches nothing more.
    return m_answers.contains(id) ? m_answers.take(id) : OverwriteAnswer::Skip;
}

int ConversionEngine::borrowIdleCores(int &borrowed)
{
    std::lock_guard lock(m_mutex);
    // Files waiting in the queue will want their cores soon.
    const int idle = std::max(0, m_splitCores - m_busyCores - int(m_queue.size()));
    m_busyCores += idle;
    borrowed += idle;
    return idle;
}

void ConversionEngine::returnCores(int cores)
{
    std::lock_guard lock(m_mutex);
    m_busyCores -= cores;
}

void ConversionEngine::work()
{
    Converter reader;
    Converter writer;
    QString refusal;
    try {
        EncoderSetup::apply(writer, m_settings);
    } catch (const EngineError &e) {
        refusal = e.message();
    }
    int current = 0;
    ConversionJob::Callbacks callbacks;
    callbacks.overwrite = [this, &current](const QString &output) {
        return askOverwrite(current, output);
    };
    callbacks.progress = [this, &current](qint64 done, qint64 total) {
        emit progressed(current, done, total);
    };
    callbacks.cancelled = [this] {
        return m_cancelled.load();
    };
    int borrowed = 0;
    callbacks.instances = [this, &borrowed] {
        ConversionJob::Instances instances;
        instances.now = 1 + borrowIdleCores(borrowed);
        // With no file left in the queue, the cores of the files in progress come free for
        // this one as they end.
        std::lock_guard lock(m_mutex);
        instances.mayGrow = m_queue.empty() && instances.now < m_splitCores;
        return instances;
    };
    callbacks.moreInstances = [this, &borrowed] {
        return borrowIdleCores(borrowed);
    };
    ConversionJob job(reader, writer, callbacks, m_pictures);

    for (;;) {
        Task task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty() || m_finishing; });
            if (m_queue.empty())
                return;
            task = m_queue.front();
            m_queue.pop_front();
            ++m_busyCores;
        }
        current = task.id;
        Result result;
        if (m_cancelled) {
            result.outcome = ConversionJob::Outcome::Cancelled;
            result.source = task.source;
            result.output = task.output;
        } else if (!refusal.isEmpty()) {
            result.source = task.source;
            result.output = task.output;
            result.reason = QStringLiteral("%1 cannot be converted: %2")
                                .arg(QFileInfo(task.source).fileName(), refusal);
        } else {
            emit fileStarted(task.id);
            result = job.run(task.source, task.output);
        }
        returnCores(borrowed + 1);
        borrowed = 0;
        emit fileFinished(task.id, result);
        bool ended = false;
        {
            std::lock_guard lock(m_mutex);
            ended = --m_pending == 0 && m_finishing;
        }
        if (ended)
            emit runEnded();
    }
}
