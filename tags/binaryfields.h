#pragma once

#include <QStringList>

namespace TagLib {
class File;
}

// Tag data that is not text: ID3v2's private frames, enclosed objects, ratings and the like
// (PRIV, GEOB, POPM...), and the numeric or binary attributes a tagger keeps in ASF. They
// move between tags of the same kind as they are; a tag of another kind has no place for
// them.
namespace BinaryFields {
// Adds the source's binary fields to the target's tag (unsaved) where it is of the same kind
// and does not hold them already; returns the names of those it could not take.
QStringList copy(TagLib::File *source, TagLib::File *target);
// Whether the source's tag holds any.
bool any(TagLib::File *source);
} // namespace BinaryFields
