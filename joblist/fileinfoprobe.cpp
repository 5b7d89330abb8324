#include "joblist/fileinfoprobe.h"

#include "engine/fileinfo.h"

FileInfoProbe::FileInfoProbe(std::function<FileInfo *()> source)
    : m_source(std::move(source))
{
}

FileInfoProbe::~FileInfoProbe() = default;

FileInfo &FileInfoProbe::fileInfo()
{
    if (m_source) {
        if (FileInfo *shared = m_source())
            return *shared;
    }
    if (!m_own)
        m_own = std::make_unique<FileInfo>();
    return *m_own;
}

void FileInfoProbe::prepare()
{
    fileInfo().ReadOption = true;
}

std::optional<AudioFacts> FileInfoProbe::probe(const QString &path)
{
    FileInfo &info = fileInfo();
    info.Load(path);
    if (!info.isAudio())
        return std::nullopt;
    return AudioFacts{info.durationMs(), info.fileSize()};
}
