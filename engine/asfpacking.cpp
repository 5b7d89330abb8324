#include "engine/asfpacking.h"

#include <algorithm>

namespace {

// What the muxer adds: each block's payload header, and each packet's own header.
constexpr int PayloadHeader = 17;
constexpr int PacketHeader = 12;
constexpr int LargestPacket = 3200;
// The least the WMA v2 encoder accepts.
constexpr qint64 LeastEncoderRate = 24000;

// Samples per channel in one WMA v2 block at this rate.
int blockSamples(int rate)
{
    if (rate <= 16000)
        return 512;
    if (rate <= 22050)
        return 1024;
    return 2048;
}

} // namespace

AsfPacking AsfPacking::forRate(int kbitPerSecond, int rate)
{
    const qint64 samples = blockSamples(rate);
    // The encoder's block is its rate's share of one block time, in whole bytes.
    const qint64 wholeBlock = qint64(kbitPerSecond) * 1000 * samples / (qint64(rate) * 8);
    qint64 block = std::max<qint64>(1, wholeBlock - PayloadHeader);
    AsfPacking packing;
    packing.encoderBitRate = std::max(LeastEncoderRate, (block * rate * 8 + samples - 1) / samples);
    block = packing.encoderBitRate * samples / (qint64(rate) * 8);
    const qint64 perPacket =
        std::max<qint64>(1, (LargestPacket - PacketHeader) / (block + PayloadHeader));
    packing.packetSize = int(perPacket * (block + PayloadHeader) + PacketHeader);
    return packing;
}
