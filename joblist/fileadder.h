#pragma once

#include "joblist/audioprobe.h"
#include "joblist/formatting.h"

#include <QString>

class JobListModel;

// The step every way of adding files shares: read one file through the probe and hand its row
// to AddJobRow.
class FileAdder
{
public:
    // Where a new row's output goes: beside its source, or into the output folder.
    struct Destination
    {
        bool intoSourceFolder = false;
        QString outputFolder;
        // Into the output folder, below it in the file's folder relative to its root.
        bool keepFolders = false;
    };

    FileAdder(JobListModel &jobs, AudioProbe &probe);

    // Before the first file of a pick, a drop or a playlist.
    void prepare();
    // True when a row was added. A path that is no file or that the probe cannot read adds
    // nothing; a listed name is read but not added.
    // `root` is the folder the file came with (none for a file added by itself).
    bool addFile(const QString &path, LengthForm form, const Destination &destination,
                 const QString &root = {});
    // The row of a file already read (by a probe on another thread).
    bool addRead(const QString &path, const AudioFacts &facts, LengthForm form,
                 const Destination &destination, const QString &root);

private:
    JobListModel &m_jobs;
    AudioProbe &m_probe;
};
