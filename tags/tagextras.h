#pragma once

#include "tags/tagpictures.h"

#include <QString>
#include <QStringList>

// Whether a conversion carries the source's pictures.
enum class PictureCopy { Keep, Leave };

// What a conversion carries besides the fields FileInfo models: every other text field of
// the source's tag (ReplayGain, MusicBrainz identifiers, sort names, lyrics, fields of its
// own), all values of fields with several, and its pictures, into whatever tag the target
// keeps. TagLib's property names are the common vocabulary; the few fields a format keeps
// under a name of its own (ReplayGain in MP4 and ASF, Opus's R128 gains, Vorbis track and
// disc totals) are translated on the way in and out.
namespace TagExtras {
// What copy() did: what the target could not hold, in plain words, one entry per kind of
// loss; and the pictures the target takes as a stream (StreamedPictures), left to the caller
// to append once the saved tag has been checked.
struct Copied
{
    QStringList lost;
    std::vector<TagPicture> streamLater;
};
// Whether the source's tag holds anything copy() would carry.
bool any(const QString &source);
// Adds the source's extras to the target's tag in place (callers make it atomic); fields the
// target already holds with other values are kept. Throws EngineError naming `shownTarget`
// when the target cannot be written; a source without a readable tag adds nothing.
Copied copy(const QString &source, const QString &target, const QString &shownTarget,
            PictureCopy pictures = PictureCopy::Keep);
} // namespace TagExtras
