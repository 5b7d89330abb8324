#pragma once

#include "tags/tagextras.h"

#include <QString>
#include <QStringList>

// Carries the whole tag over: the source's full tag (for MP3 its ID3v2 tag, with the fields
// it lacks taken from its ID3v1 block) goes into every tag the target keeps (for an MP3
// target both ID3v2 and ID3v1), with every other field, all values of fields with several
// and (unless left out) the pictures (see TagExtras). Returns what the target could not hold,
// in plain words ("the picture types ... could not be kept: ..."); a source without a tag
// leaves the target untouched. Throws EngineError when the target cannot be tagged; the
// target is then left as it was.
QStringList CopyAllTags(const QString &source, const QString &target,
                        PictureCopy pictures = PictureCopy::Keep);
