#include "tags/tagcopy.h"

#include "engine/fileinfo.h"

void CopyTag(const QString &source, const QString &target, int tagVersion)
{
    FileInfo from;
    from.TagVersion = tagVersion;
    from.Load(source);
    if (from.isEmpty())
        return;

    FileInfo to;
    to.TagVersion = tagVersion;
    static_cast<TagFields &>(to) = from;
    to.SaveTag(target);
}
