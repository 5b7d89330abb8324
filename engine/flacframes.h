#pragma once

#include <QByteArray>

// Reading and rewriting the headers of the frames a FLAC encoder makes.
namespace FlacFrames {
// `frame`, a frame of a stream of fixed block size, given the frame number `number`, with
// its header's CRC-8 and the frame's CRC-16 made anew. Empty when `frame` is no such frame.
QByteArray renumbered(const QByteArray &frame, qint64 number);
} // namespace FlacFrames
