#include "joblist/fileinfoprobe.h"

#include "tags/fileinfo.h"

FileInfoProbe::FileInfoProbe(FileInfo *shared)
    : m_own(shared ? nullptr : std::make_unique<FileInfo>())
    , m_info(shared ? *shared : *m_own)
{
}

FileInfoProbe::~FileInfoProbe() = default;

void FileInfoProbe::prepare()
{
    m_info.ReadOption = true;
}

std::optional<AudioFacts> FileInfoProbe::probe(const QString &path)
{
    m_info.Load(path);
    if (!m_info.isAudio())
        return std::nullopt;
    return AudioFacts{m_info.durationMs(), m_info.fileSize()};
}
