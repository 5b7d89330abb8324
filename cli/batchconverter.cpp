#include "cli/batchconverter.h"

#include "cli/encoderprofile.h"
#include "engine/converter.h"
#include "engine/engineerror.h"
#include "tags/tagcopy.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Result = BatchConverter::Result;
using Outcome = BatchConverter::Outcome;

// One file, streamed chunk by chunk. permille follows the file's progress.
Result convertOne(const BatchConverter::Job &job, Converter &reader, Converter &writer,
                  bool overwrite, std::atomic<int> &permille)
{
    if (job.output.isEmpty())
        return {Outcome::Failed, QStringLiteral("no output name can be built from this file name")};
    try {
        reader.OpenRead(job.source, 0, 1);
        if (!overwrite && QFileInfo::exists(job.output)) {
            reader.Close();
            return {Outcome::Skipped, QStringLiteral("%1 exists").arg(job.output)};
        }
        writer.OpenWrite(job.output, 0);
        const int a = reader.GetFormatA();
        const int b = reader.GetFormatB();
        writer.SetInputFormat(a, b);
        const qint64 chunk = qint64(a) * qint64(b);
        if (chunk > std::numeric_limits<qint32>::max())
            throw EngineError(QStringLiteral("the source's format is too large"));
        const qint64 length = reader.GetLength();
        const int unit = reader.GetUnitBytes();
        qint64 total = 0;
        for (;;) {
            const QByteArray data = reader.ReadChunk(chunk);
            if (data.isEmpty())
                break;
            writer.WriteChunk(data);
            total += data.size() / unit;
            if (length > 0)
                permille.store(int(std::min<qint64>(1000, total * 1000 / length)));
        }
        writer.Close();
        reader.Close();
        // The output carries the source's tag; one that cannot take a tag is still converted.
        try {
            CopyTag(job.source, job.output);
        } catch (const EngineError &) {
        }
        return {Outcome::Converted, job.output};
    } catch (const EngineError &e) {
        // Closing discards the unfinished output; the source was only read.
        try {
            writer.Close();
        } catch (const EngineError &) {
        }
        reader.Close();
        return {Outcome::Failed, e.message()};
    }
}

} // namespace

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
    const int workers = int(std::min<qsizetype>(m_workers, std::max<qsizetype>(1, jobs.size())));
    std::atomic<int> next{0};
    std::atomic<int> finished{0};
    std::vector<std::atomic<int>> permille(static_cast<size_t>(workers));
    std::mutex mutex;
    std::condition_variable allDone;

    auto work = [&](int worker) {
        Converter reader;
        Converter writer;
        QString error;
        const bool ready = m_profile.apply(writer, m_extension, &error);
        for (int i = next++; i < jobs.size(); i = next++) {
            permille[size_t(worker)].store(0);
            const Result r = ready ? convertOne(jobs.at(i), reader, writer, m_overwrite,
                                                permille[size_t(worker)])
                                   : Result{Outcome::Failed, error};
            permille[size_t(worker)].store(0);
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
