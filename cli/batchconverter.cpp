#include "cli/batchconverter.h"

#include "cli/encoderprofile.h"
#include "convert/runoutputs.h"
#include "engine/converter.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

BatchConverter::BatchConverter(const EncoderProfile &profile, const QString &extension,
                               bool overwrite, int workers)
    : m_profile(profile)
    , m_extension(extension)
    , m_overwrite(overwrite)
    , m_workers(std::max(1, workers))
{
}

QList<BatchConverter::Result>
BatchConverter::run(const QList<Job> &jobs, const std::function<void(int, const Result &)> &done,
                    const std::function<void(double)> &progress)
{
    QList<Result> results(jobs.size());
    std::atomic<int> finished{0};

    // Output names are handed out in the order of the list, before the workers race.
    QList<int> todo;
    {
        QStringList sources;
        for (const Job &job : jobs)
            sources << job.source;
        RunOutputs outputs(sources);
        for (int i = 0; i < jobs.size(); ++i) {
            const Job &job = jobs.at(i);
            const QString refusal = !job.refusal.isEmpty() ? job.refusal
                                    : job.output.isEmpty() ? QString()
                                                           : outputs.claim(job.source, job.output);
            if (refusal.isEmpty()) {
                todo << i;
                continue;
            }
            results[i] = Result{Outcome::Failed, job.source, job.output, refusal, {}, {}};
            ++finished;
            done(i, results[i]);
        }
    }

    const int workers = int(std::min<qsizetype>(m_workers, std::max<qsizetype>(1, todo.size())));
    std::atomic<int> next{0};
    std::vector<std::atomic<int>> permille(static_cast<size_t>(workers));
    std::mutex mutex;
    std::condition_variable allDone;

    auto work = [&](int worker) {
        Converter reader;
        Converter writer;
        QString error;
        const bool ready = m_profile.apply(writer, m_extension, &error);
        std::atomic<int> &share = permille[size_t(worker)];
        ConversionJob::Callbacks callbacks;
        callbacks.overwrite = [this](const QString &) {
            return m_overwrite ? ConversionJob::OverwriteAnswer::Replace
                               : ConversionJob::OverwriteAnswer::Skip;
        };
        callbacks.progress = [&share](qint64 frames, qint64 total) {
            if (total > 0)
                share.store(int(frames * 1000 / total));
        };
        ConversionJob job(reader, writer, callbacks);
        for (int t = next++; t < todo.size(); t = next++) {
            const int i = todo.at(t);
            share.store(0);
            const Job &j = jobs.at(i);
            const Result r = ready ? job.run(j.source, j.output)
                                   : Result{Outcome::Failed, j.source, j.output, error, {}, {}};
            share.store(0);
            std::lock_guard lock(mutex);
            results[i] = r;
            ++finished;
            done(i, r);
            allDone.notify_all();
        }
    };

    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back(work, w);
    {
        std::unique_lock lock(mutex);
        while (finished < jobs.size()) {
            allDone.wait_for(lock, std::chrono::milliseconds(200));
            double running = 0;
            for (const auto &p : permille)
                running += p.load() / 1000.0;
            if (progress && !jobs.isEmpty())
                progress(std::min(1.0, (finished + running) / double(jobs.size())));
        }
    }
    for (std::thread &t : threads)
        t.join();
    return results;
}
