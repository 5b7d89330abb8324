#pragma once

#include "tags/tagpictures.h"

class QIODevice;

// Pictures into a WAV file's ID3 chunk (see StreamedPictures): the chunk is written anew, each
// picture frame made for its picture in place of its stand-in's; the other chunks are copied.
namespace WavPictures {

// Copies the file from `in` (which can seek) to `out` with `pictures` in place of their
// stand-ins; returns how many it replaced. Throws EngineError when the file is not laid out as
// expected, StreamedPictures::WriteFailed when `out` fails.
int copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures);

} // namespace WavPictures
