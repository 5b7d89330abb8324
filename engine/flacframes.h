#pragma once

#include <QtGlobal>

// Rewriting the headers of the frames a FLAC encoder makes.
namespace FlacFrames {
// Room a renumbered frame may need beyond the frame's own size.
constexpr int MostGrowth = 6;
// Copies `frame`, a frame of a stream of fixed block size, to `out` (room for its size plus
// MostGrowth) with the frame number `number`, its header's CRC-8 and the frame's CRC-16
// made anew. The copy's size, or 0 when `frame` is no such frame.
int renumber(const uchar *frame, int size, qint64 number, uchar *out);
} // namespace FlacFrames
