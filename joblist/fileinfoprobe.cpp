#include "joblist/fileinfoprobe.h"

#include "tags/fileinfo.h"

FileInfoProbe::FileInfoProbe(FileInfo *shared)
    : m_propertiesOnly(!shared)
    , m_own(shared ? nullptr : std::make_unique<FileInfo>())
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
    if (m_propertiesOnly)
        m_info.LoadProperties(path);
    else
        m_info.Load(path);
    if (!m_info.isAudio())
        return std::nullopt;
    return AudioFacts{m_info.durationMs(), m_info.fileSize()};
}

std::unique_ptr<AudioProbe> FileInfoProbe::another() const
{
    return std::make_unique<FileInfoProbe>();
}
