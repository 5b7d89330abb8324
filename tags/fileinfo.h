#pragma once

#include "tags/tagfields.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

enum class PictureCopy;

// One file's audio properties and tag. Load reads both; the tag fields are plain members
// the caller reads and writes; SaveTag writes them back into a file.
//
// TagVersion picks the tag: for MP3, 1 is the ID3v1 tag and 2 the ID3v2 tag (written as
// ID3v2.3), each handled without touching the other. Other formats keep their own tag
// (Vorbis comments, ASF attributes, the WAV file's ID3 chunk...): version 1 reads and writes
// only the seven ID3v1 fields there (Title, Artist, Album, Genre, Year, Comment, Track),
// version 2 all of them. Any value other than 1 counts as 2.
class FileInfo : public TagFields
{
public:
    FileInfo();
    ~FileInfo();

    // Kept for callers that set it before reading files for the list; reading is the same
    // either way.
    bool ReadOption = false;

    int TagVersion = 1;

    // The tag fields (Title, Artist, ... OriginalArtist) are the public members of TagFields.

    // Reads the properties and the tag of TagVersion. Never throws: a missing, empty,
    // truncated or non-audio file leaves the properties empty (zero) and the tag fields
    // cleared; isAudio() then tells the caller whether the file held a readable stream.
    void Load(const QString &path);
    // Reads the properties only and clears the tag fields: what a list of files needs.
    void LoadProperties(const QString &path);

    // Writes the tag fields into the file's tag of TagVersion. The audio data is untouched,
    // fields this object does not model (pictures, lyrics, other frames) are kept, and the
    // file is replaced atomically (a copy in the same folder is tagged and renamed over it).
    // Throws EngineError when the file cannot be tagged (missing, read-only, not audio, disk
    // full); the file is then left as it was.
    void SaveTag(const QString &path);
    // Like SaveTag, into every tag the file keeps, in one atomic replacement: for MP3 both
    // ID3v2 and ID3v1 (which takes what fits of the seven basic fields), for other formats
    // their own tag with every field. TagVersion is not consulted. With `extrasFrom`, that
    // file's fields beyond the modelled ones and (with PictureCopy::Keep) its pictures are
    // carried too (see TagExtras); the result says what the target could not hold.
    void SaveAllTags(const QString &path);
    QStringList SaveAllTags(const QString &path, const QString &extrasFrom, PictureCopy pictures);

    // The standard genre names, 0..147; "" outside that range.
    static QString GenreName(int genre);
    static constexpr int GenreCount = 148;
    // The number of a standard genre name (case-insensitive), or -1.
    static int GenreNumber(const QString &name);

    // Clears the tag fields (TagVersion and ReadOption are kept).
    void clearTag();

    // Audio properties of the last Load. The 32-bit results are clamped, never wrapped.
    int GetDuration() const;                                // play length in milliseconds
    int GetFileSize() const;                                // file size in bytes
    QString FormatString() const { return m_formatString; } // format description
    int Frequency() const { return m_frequency; }           // sample rate in Hz
    int Bitrate() const { return m_bitrate; }               // bits per second
    int Channels() const { return m_channels; }
    int Samples() const;                                  // samples per channel (frames)
    int BitsPerSample() const { return m_bitsPerSample; } // 0 when the codec has none
    int FormatTag() const { return m_formatTag; }         // WAVE format tag (1 PCM, 0x55 MP3...)

    // The same values at full width.
    qint64 durationMs() const { return m_durationMs; }
    qint64 fileSize() const { return m_fileSize; }
    qint64 sampleCount() const { return m_samples; }

    // True when the last Load found a readable audio stream.
    bool isAudio() const { return m_isAudio; }
    QString path() const { return m_path; }

private:
    // Runs `write` on a copy of the file in its folder and renames the copy over it.
    // `write` tags the copy through the tag library, which is checked; `stream` then adds
    // what is written as a stream of its own (the file's pages or chunks rewritten anew).
    void replaceTagged(const QString &path, const std::function<void(const QString &copy)> &write,
                       const std::function<void(const QString &copy)> &stream = {});
    void clearProperties();
    void readProperties(const QString &path);

    QString m_path;
    bool m_isAudio = false;
    QString m_formatString;
    int m_frequency = 0;
    int m_bitrate = 0;
    int m_channels = 0;
    int m_bitsPerSample = 0;
    int m_formatTag = 0;
    qint64 m_durationMs = 0;
    qint64 m_fileSize = 0;
    qint64 m_samples = 0;
};
