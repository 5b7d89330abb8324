#pragma once

#include <taglib/tbytevector.h>
#include <taglib/tstring.h>

#include <QStringList>

#include <vector>

namespace TagLib {
class File;
}

// An embedded picture as every format's tag sees it: the image's bytes untouched, its MIME
// type, its picture type (the ID3v2/FLAC numbering: 3 front cover, 4 back cover...) and its
// description.
struct TagPicture
{
    TagLib::ByteVector data;
    TagLib::String mime;
    int type = 3;
    TagLib::String description;
};

// Reading and writing the pictures of each format's tag: ID3v2 APIC frames (MP3, WAV, AIFF),
// FLAC picture blocks, METADATA_BLOCK_PICTURE in Vorbis and Opus comments, MP4 cover art,
// ASF WM/Picture attributes.
namespace TagPictures {
// The pictures of the file's own tag, in their order.
std::vector<TagPicture> read(TagLib::File *file);
// Adds `pictures` to a file that has none yet (its own are kept otherwise). Returns what
// the format could not hold, in plain words ("the picture types ... could not be kept: ...").
QStringList write(TagLib::File *file, const std::vector<TagPicture> &pictures);
} // namespace TagPictures
