#pragma once

#include <QList>
#include <QString>

#include <functional>

class EncoderProfile;

// Converts files in parallel, each worker with a reader and a writer of its own.
class BatchConverter
{
public:
    struct Job
    {
        QString source;
        QString output; // empty: no output name could be built
    };
    enum class Outcome { Converted, Skipped, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString message;
    };

    BatchConverter(const EncoderProfile &profile, const QString &extension, bool overwrite,
                   int workers);

    // Runs every job and returns when all are done. `done` is called from the workers, one
    // call at a time; `progress` (0..1 over the whole batch) from the calling thread.
    QList<Result> run(const QList<Job> &jobs, const std::function<void(int, const Result &)> &done,
                      const std::function<void(double)> &progress);

private:
    const EncoderProfile &m_profile;
    QString m_extension;
    bool m_overwrite;
    int m_workers;
};
