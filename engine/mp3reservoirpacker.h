#pragma once

#include "engine/mp3frame.h"

#include <QtGlobal>

#include <deque>
#include <vector>

class QIODevice;

// Lays frames whose main data came from different encoders out anew in one stream: each
// frame's main data follows the previous frame's, as early as the reservoir allows, so that
// main_data_begin points only into free space of the frames before it and every frame's data
// ends inside its own frame. Frames are written as soon as nothing later can change them.
class Mp3ReservoirPacker
{
public:
    explicit Mp3ReservoirPacker(QIODevice &out);

    // Pads frames (Mp3Frame::pad) where their data would not fit after the frames before, so
    // that add() takes them all: those of `frames` at or before the first that does not fit,
    // else the last frame held. False when padding does not do.
    bool fit(std::vector<Mp3Frame> &frames);
    // EngineError when the frame's data cannot fit or the output cannot be written.
    void add(Mp3Frame frame);
    // Writes the frames still held.
    void flush();

    // The sizes of the frames written, in order.
    const std::vector<int> &frameSizes() const { return m_sizes; }
    qint64 bytes() const { return m_bytes; }
    // the LAME header's CRC (Checksums::crc16Reflected) of every byte written.
    quint16 crc() const { return m_crc; }

private:
    struct Held
    {
        Mp3Frame frame;
        std::vector<unsigned char> area;
        qint64 areaStart = 0;
    };
    void write(const Held &held);

    QIODevice &m_out;
    std::deque<Held> m_held;
    qint64 m_areaEnd = 0; // where the last frame's area ends, counting areas only
    qint64 m_dataEnd = 0; // where the last frame's main data ends
    std::vector<int> m_sizes;
    qint64 m_bytes = 0;
    quint16 m_crc = 0;
};
