#pragma once

#include "convert/conversionjob.h"
#include "convert/encodersettings.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <algorithm>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Converts files on worker threads, each worker with a reader and a writer of its own, and
// reports through queued signals, so whoever drives it (the window's run, twr-convert) only
// ever hears from it on its own thread and never waits on audio work.
//
// A run: begin() with the number of workers and a copy of the encoder settings, submit()
// files (each runs on the next free worker, in the order submitted), finish() once nothing
// more will come; runEnded follows the last file's fileFinished. cancel() stops every
// worker after its current chunk and ends the files not yet started as cancelled.
class ConversionEngine : public QObject
{
    Q_OBJECT
public:
    using Result = ConversionJob::Result;
    using OverwriteAnswer = ConversionJob::OverwriteAnswer;
    enum class Overwrite { Replace, Skip, Ask };

    struct Task
    {
        int id = 0; // the caller's name for the file, handed back in every signal
        QString source;
        QString output; // empty: no output name could be built
    };

    explicit ConversionEngine(QObject *parent = nullptr);

    // The workers a "files at once" setting stands for: 0 is one per processor core.
    static int workersFor(int setting);
    // Cancels a run that is still going and waits for its workers.
    ~ConversionEngine() override;

    // Starts `workers` workers encoding with `settings`. With Overwrite::Ask an existing
    // output is asked about through overwriteAsked, and the worker waits for answerOverwrite.
    void begin(int workers, const EncoderSettings &settings, Overwrite overwrite);
    // How many processor cores a run may keep busy (for the next begin()): a long file
    // converted while fewer files than that are in progress is encoded by as many
    // instances as there are idle cores. 1 turns the splitting off.
    void setSplitCores(int cores) { m_splitCores = std::max(1, cores); }
    // Whether the outputs get the sources' pictures (for the next begin()).
    void setPictureCopy(PictureCopy pictures) { m_pictures = pictures; }
    void submit(const Task &task);
    // Nothing more will be submitted: runEnded comes once every file submitted has ended.
    void finish();
    void cancel();
    bool cancelled() const { return m_cancelled; }
    // The answer to overwriteAsked(id, ...).
    void answerOverwrite(int id, OverwriteAnswer answer);

signals:
    void fileStarted(int id);
    // After every chunk: frames done and the source's length in frames (0: unknown).
    void progressed(int id, qint64 done, qint64 total);
    void overwriteAsked(int id, const QString &output);
    void fileFinished(int id, const ConversionEngine::Result &result);
    void runEnded();

private:
    void work();
    OverwriteAnswer askOverwrite(int id, const QString &output);
    void joinWorkers();
    // The idle cores a long file may take for its encoder instances (added to `borrowed`), and
    // their return.
    int borrowIdleCores(int &borrowed);
    void returnCores(int cores);

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_queue;
    QHash<int, OverwriteAnswer> m_answers;
    int m_pending = 0;   // submitted and not ended
    int m_busyCores = 0; // a core per file in progress, and those a long file borrowed
    int m_splitCores = 1;
    bool m_finishing = false;
    std::atomic<bool> m_cancelled{false};
    EncoderSettings m_settings;
    Overwrite m_overwrite = Overwrite::Skip;
    PictureCopy m_pictures = PictureCopy::Keep;
};
