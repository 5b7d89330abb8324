#include "engine/fileinfo.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

FileInfo::FileInfo() = default;
FileInfo::~FileInfo() = default;

static int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, 0, std::numeric_limits<int>::max()));
}

int FileInfo::GetDuration() const
{
    return clampToInt(m_durationMs);
}
int FileInfo::GetFileSize() const
{
    return clampToInt(m_fileSize);
}
int FileInfo::Samples() const
{
    return clampToInt(m_samples);
}

void FileInfo::clearTag()
{
    Title.clear();
    Artist.clear();
    Album.clear();
    Genre = -1;
    Year = 0;
    Comment.clear();
    Track = 0;
    GenreS.clear();
    Copyright.clear();
    Composer.clear();
    URL.clear();
    EncodedBy.clear();
    OriginalArtist.clear();
}

void FileInfo::clearProperties()
{
    m_isAudio = false;
    m_formatString.clear();
    m_frequency = m_bitrate = m_channels = m_bitsPerSample = m_formatTag = 0;
    m_durationMs = m_fileSize = m_samples = 0;
}

void FileInfo::readProperties(const QString &path)
{
    m_fileSize = QFileInfo(path).size();
}

void FileInfo::Load(const QString &path)
{
    m_path = path;
    clearProperties();
    clearTag();
    readProperties(path);
}

void FileInfo::SaveTag(const QString &) {}

QString FileInfo::GenreName(int)
{
    return {};
}
int FileInfo::GenreNumber(const QString &)
{
    return -1;
}
