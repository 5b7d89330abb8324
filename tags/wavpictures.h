#pragma once

#include "tags/tagpictures.h"

class QIODevice;

// Pictures into a WAV file's ID3 chunk (see StreamedPictures): the chunk is written anew with
// its frames, an APIC frame for each picture and its padding; the other chunks are copied.
namespace WavPictures {

// Copies the file from `in` (which can seek) to `out` with `pictures` added to its ID3 tag, or
// in a new ID3 chunk at the end. Throws EngineError when the file is not laid out as expected,
// StreamedPictures::WriteFailed when `out` fails.
void copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures);

} // namespace WavPictures
