#pragma once

#include <QtGlobal>

// How WMA blocks travel in an ASF file. The muxer puts whole blocks into fixed-size packets
// and pads the rest, and each block carries a payload header: with the muxer's default
// packet of 3,200 bytes a 192 kbit/s stream took 276 kbit/s. The packet is sized to a whole
// number of blocks, and the encoder is asked for the rate that, with the headers, makes the
// file's rate the one asked for.
struct AsfPacking
{
    qint64 encoderBitRate = 0; // bit/s for the WMA encoder
    int packetSize = 0;        // bytes, for the ASF muxer

    // For a file of `kbitPerSecond` at `rate` Hz.
    static AsfPacking forRate(int kbitPerSecond, int rate);
};
