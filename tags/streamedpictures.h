#pragma once

#include "tags/tagpictures.h"

#include <QString>

class QIODevice;

namespace TagLib {
class File;
}

// Pictures written into a file as a stream rather than through the tag library, which holds
// a picture several times over while it saves (rendered, encoded, in the tag, in the buffer
// it inserts): a large cover would cost many times its size. The tag library saves small
// stand-ins in the pictures' places, so it lays out the tag as it would the pictures; the file
// is then read once and written anew beside itself with each stand-in's bytes replaced by
// its picture's (Ogg Vorbis and Opus comment headers, WAV's ID3 chunk, M4A's cover atom,
// WMA's metadata library), and renamed over.
namespace StreamedPictures {

// Whether `file`'s format takes its pictures here.
bool takes(TagLib::File *file);
// The pictures with stand-ins for their bytes: numbered, and larger than 64 KB, the size from
// which a WMA file keeps a value where any size fits.
std::vector<TagPicture> standIns(const std::vector<TagPicture> &pictures);
// The size of a stand-in's bytes.
constexpr int StandInBytes = 65536 + 64;
// The number of the stand-in `data` is, or -1.
int standInNumber(const char *data, qint64 size);
// Replaces the stand-ins of the file at `path` by `pictures`. Throws EngineError naming
// `shown` when the file is not laid out as expected or cannot be written; the file is then
// unchanged.
void replaceStandIns(const QString &path, const std::vector<TagPicture> &pictures,
                     const QString &shown);
// The picture a stand-in's bytes stand for; EngineError when they are none.
const TagPicture &pictureFor(const std::vector<TagPicture> &pictures, const char *data,
                             qint64 size);

// For the formats' writers: the output failed, and its errorString() says why.
struct WriteFailed
{
};
// Writes all of `bytes` or throws WriteFailed.
void writeAll(QIODevice &out, const char *bytes, qint64 size);
// `value` as four little-endian bytes.
QByteArray little32(quint32 value);
// Copies `size` bytes from `in` to `out`; EngineError when `in` ends first.
void copy(QIODevice &in, QIODevice &out, qint64 size);

} // namespace StreamedPictures
