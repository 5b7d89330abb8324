#pragma once

#include "tags/tagpictures.h"

class QIODevice;

// Pictures into an Ogg Vorbis or Opus file's comment header (see StreamedPictures): the
// comment is laid into pages anew, its pictures in base64 a piece at a time in place of their
// stand-ins, and the pages after it are renumbered on the way through.
namespace OggPictures {

// Copies the file from `in` to `out` with `pictures` in place of their stand-ins; returns how many
// it replaced. Throws EngineError when the file is not laid out as an encoder writes it,
// StreamedPictures::WriteFailed when `out` fails.
int copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures);

} // namespace OggPictures
