#include "tags/tagcopy.h"

#include "tags/fileinfo.h"

namespace {

void fillText(QString &to, const QString &from)
{
    if (to.isEmpty())
        to = from;
}

// The fields `full` lacks, taken from `basic`.
void fillFrom(TagFields &full, const TagFields &basic)
{
    fillText(full.Title, basic.Title);
    fillText(full.Artist, basic.Artist);
    fillText(full.Album, basic.Album);
    fillText(full.Comment, basic.Comment);
    if (full.Genre < 0 || full.Genre >= Genres::Count)
        full.Genre = basic.Genre;
    if (full.Year <= 0)
        full.Year = basic.Year;
    if (full.Track <= 0)
        full.Track = basic.Track;
}

} // namespace

bool CopyAllTags(const QString &source, const QString &target)
{
    FileInfo full;
    full.TagVersion = 2;
    full.Load(source);
    FileInfo basic;
    basic.TagVersion = 1;
    basic.Load(source);
    fillFrom(full, basic);
    if (full.isEmpty())
        return false;

    FileInfo to;
    static_cast<TagFields &>(to) = full;
    to.SaveAllTags(target, source);
    return true;
}
