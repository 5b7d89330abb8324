#pragma once

#include "tags/tagpictures.h"

#include <QString>

// Pictures go into an Ogg Vorbis or Opus file's comment header here rather than through the
// tag library, which would hold the picture several times over (rendered, in base64, in the
// packet, in its pages) while it saves: here the comment is rewritten page by page from the
// picture's bytes, and the pages after it are renumbered on the way through.
namespace OggPictures {

// Adds `pictures` to the comment header of the Ogg Vorbis or Opus file at `path`, which is
// written anew beside itself and renamed over. Throws EngineError naming `shown` when the file
// is not laid out as an encoder writes it or cannot be written; the file is then unchanged.
void append(const QString &path, const std::vector<TagPicture> &pictures, const QString &shown);

} // namespace OggPictures
