#include "joblist/fileadder.h"

#include "joblist/audioprobe.h"
#include "joblist/joblistmodel.h"

#include <QFileInfo>

FileAdder::FileAdder(JobListModel &jobs, AudioProbe &probe)
    : m_jobs(jobs)
    , m_probe(probe)
{
}

void FileAdder::prepare()
{
    m_probe.prepare();
}

bool FileAdder::addFile(const QString &path, LengthForm form, const Destination &destination,
                        const QString &root)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return false;
    const std::optional<AudioFacts> facts = m_probe.probe(file.absoluteFilePath());
    if (!facts)
        return false;
    return addRead(file.absoluteFilePath(), *facts, form, destination, root);
}

bool FileAdder::addRead(const QString &path, const AudioFacts &facts, LengthForm form,
                        const Destination &destination, const QString &root)
{
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    const QString saveTo =
        JobListModel::saveToFor(folder, root, destination.intoSourceFolder,
                                destination.outputFolder, destination.keepFolders);
    return m_jobs.AddJobRow(file.fileName(), FormatLength(facts.durationMs, form),
                            FormatSize(facts.sizeBytes), folder, saveTo, root);
}
