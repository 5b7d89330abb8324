#pragma once

#include "joblist/formatting.h"

#include <QString>

class AudioProbe;
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
    };

    FileAdder(JobListModel &jobs, AudioProbe &probe);

    // Before the first file of a pick, a drop or a playlist.
    void prepare();
    // True when a row was added. A path that is no file or that the probe cannot read adds
    // nothing; a listed name is read but not added.
    bool addFile(const QString &path, LengthForm form, const Destination &destination);

private:
    JobListModel &m_jobs;
    AudioProbe &m_probe;
};
