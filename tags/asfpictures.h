#pragma once

#include "tags/tagpictures.h"

class QIODevice;

// Pictures into a WMA file's header (see StreamedPictures): the header is read whole (small
// with stand-ins), each WM/Picture record of its metadata library takes its picture in place
// of the stand-in, and the objects around it, the header and the file size it records grow by
// the difference. The audio after the header is copied.
namespace AsfPictures {

// Copies the file from `in` to `out` with `pictures` in place of their stand-ins; returns how
// many it replaced. Throws EngineError when the file is not laid out as expected,
// StreamedPictures::WriteFailed when `out` fails.
int copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures);

} // namespace AsfPictures
