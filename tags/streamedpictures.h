#pragma once

#include "tags/tagpictures.h"

#include <QString>

class QIODevice;

namespace TagLib {
class File;
}

// Pictures written into a file as a stream rather than through the tag library, which holds
// a picture several times over while it saves (rendered, encoded, in the tag, in the buffer
// it inserts): a large cover would cost many times its size. The file is read once and
// written anew beside itself with the pictures added (Ogg Vorbis and Opus comment headers,
// WAV's ID3 chunk), then renamed over.
namespace StreamedPictures {

// Whether `file`'s format takes its pictures here.
bool takes(TagLib::File *file);
// Adds `pictures` to the file at `path`, whose tag (written by the tag library) has none.
// Throws EngineError naming `shown` when the file is not laid out as expected or cannot be
// written; the file is then unchanged.
void append(const QString &path, const std::vector<TagPicture> &pictures, const QString &shown);

// For the formats' writers: the output failed, and its errorString() says why.
struct WriteFailed
{
};
// Writes all of `bytes` or throws WriteFailed.
void writeAll(QIODevice &out, const char *bytes, qint64 size);
// Copies `size` bytes from `in` to `out`; EngineError when `in` ends first.
void copy(QIODevice &in, QIODevice &out, qint64 size);

} // namespace StreamedPictures
