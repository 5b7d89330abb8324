#pragma once

#include "convert/conversionjob.h"

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
        QString output;  // empty: no output name could be built
        QString refusal; // not empty: the job fails with this reason, nothing is touched
    };
    using Result = ConversionJob::Result;
    using Outcome = ConversionJob::Outcome;

    BatchConverter(const EncoderProfile &profile, const QString &extension, bool overwrite,
                   int workers);

    // Runs every job and returns when all are done. Before anything is converted, a job
    // whose output another job already has, or whose output is one of the sources, fails
    // with the reason. `done` is called one call at a time (from the workers); `progress`
    // (0..1 over the whole batch) from the calling thread.
    QList<Result> run(const QList<Job> &jobs, const std::function<void(int, const Result &)> &done,
                      const std::function<void(double)> &progress);

private:
    const EncoderProfile &m_profile;
    QString m_extension;
    bool m_overwrite;
    int m_workers;
};
