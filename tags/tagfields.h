#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace Genres {
// How many standard genres there are (numbers 0..147).
constexpr int Count = 148;
} // namespace Genres

// The tag fields FileInfo models, as plain values. Empty text and zero numbers mean
// "not set"; Genre is 0..147 or -1.
struct TagFields
{
    QString Title;
    QString Artist;
    QString Album;
    int Genre = -1;
    qint32 Year = 0;
    QString Comment;
    quint16 Track = 0;
    QString GenreS;
    QString Copyright;
    QString Composer;
    QString URL;
    QString EncodedBy;
    QString OriginalArtist;

    // True when no field holds anything.
    bool isEmpty() const
    {
        return Title.isEmpty() && Artist.isEmpty() && Album.isEmpty() &&
               (Genre < 0 || Genre >= Genres::Count) && Year <= 0 && Comment.isEmpty() &&
               Track == 0 && GenreS.isEmpty() && Copyright.isEmpty() && Composer.isEmpty() &&
               URL.isEmpty() && EncodedBy.isEmpty() && OriginalArtist.isEmpty();
    }
};

// Which of the fields a tag version covers.
enum class TagScope {
    Basic, // the seven ID3v1 fields: Title, Artist, Album, Genre, Year, Comment, Track
    Full,  // every field
};

namespace Genres {
// The standard genre names 0..147; "" outside.
QString name(int genre);
// The number of a standard name (case-insensitive, common alternative spellings too), or -1.
int number(const QString &name);
// Genre and GenreS as the list of values a tag's genre holds: the free text when it says
// something other than the standard genre's name, then that name.
QStringList compose(int genre, const QString &genreS);
// The reverse of compose for any stored list: numbers ("17", "(17)") and names map to Genre;
// GenreS is the first value that is not the standard name, else the standard name.
void parse(const QStringList &values, int &genre, QString &genreS);
// The basic scope writes only the standard genre: free-text values already stored are kept.
QStringList mergeBasic(int genre, const QStringList &stored);
} // namespace Genres

namespace TagIO {
// Reads the file's tag of the version (1 or 2, see FileInfo) into `fields`; everything
// outside the version's scope is left cleared. Throws EngineError when the file cannot be
// opened as a taggable audio file.
TagFields read(const QString &path, int tagVersion);
// Writes `fields` into the file in place (callers make it atomic). Throws EngineError, naming
// `shownPath` (when given) rather than `path`: the file a working copy stands for.
void write(const QString &path, int tagVersion, const TagFields &fields,
           const QString &shownPath = {});
// True when the file is MPEG audio, whose ID3v1 block is a tag of its own beside ID3v2;
// every other format keeps one tag that both versions reach.
bool keepsId3v1(const QString &path);
} // namespace TagIO
