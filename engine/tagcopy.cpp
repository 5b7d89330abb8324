#include "engine/tagcopy.h"

#include "engine/fileinfo.h"

void CopyTag(const QString &source, const QString &target, int tagVersion)
{
    FileInfo from;
    from.TagVersion = tagVersion;
    from.Load(source);
    const bool empty = from.Title.isEmpty() && from.Artist.isEmpty() && from.Album.isEmpty() &&
                       (from.Genre < 0 || from.Genre >= FileInfo::GenreCount) && from.Year <= 0 &&
                       from.Comment.isEmpty() && from.Track <= 0 && from.GenreS.isEmpty() &&
                       from.Copyright.isEmpty() && from.Composer.isEmpty() && from.URL.isEmpty() &&
                       from.EncodedBy.isEmpty() && from.OriginalArtist.isEmpty();
    if (empty)
        return;

    FileInfo to;
    to.TagVersion = tagVersion;
    to.Title = from.Title;
    to.Artist = from.Artist;
    to.Album = from.Album;
    to.Genre = from.Genre;
    to.Copyright = from.Copyright;
    to.Comment = from.Comment;
    to.Year = from.Year;
    to.Track = from.Track;
    to.URL = from.URL;
    to.Composer = from.Composer;
    to.EncodedBy = from.EncodedBy;
    to.GenreS = from.GenreS;
    to.OriginalArtist = from.OriginalArtist;
    to.SaveTag(target);
}
