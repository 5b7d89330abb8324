#pragma once

#include "tags/tagpictures.h"

class QIODevice;

// Pictures into an M4A file's cover atom (see StreamedPictures): the movie atom is read whole
// (it holds sample tables, not audio), its cover atom is written anew with each picture in
// place of its stand-in, the atoms around it grow by the difference and, when the audio
// follows the movie atom, the chunk offsets move with it. The rest is copied.
namespace Mp4Pictures {

// Copies the file from `in` (which can seek) to `out` with `pictures` in place of their
// stand-ins; returns how many it replaced. Throws EngineError when the file is not laid out as
// expected, StreamedPictures::WriteFailed when `out` fails.
int copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures);

} // namespace Mp4Pictures
