#include "engine/flacframes.h"

#include "engine/checksums.h"

#include <cstdint>
#include <cstring>

namespace {

// The length of the coded number that starts with `lead`; 0 when it is no first byte.
int codedLength(uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    for (int n = 2; n <= 7; ++n) {
        const auto mask = uint8_t(0xFF << (7 - n));
        const auto marker = uint8_t(0xFF << (8 - n));
        if ((lead & mask) == marker)
            return n;
    }
    return 0;
}

// Writes the number in the UTF-8 style coding of frame headers; returns its length.
int putCoded(quint64 v, uchar *out)
{
    if (v < 0x80) {
        out[0] = uchar(v);
        return 1;
    }
    int n = 2;
    while (n < 7 && v >= (quint64(1) << (5 * n + 1)))
        ++n;
    out[0] = uchar(uint8_t(0xFF << (8 - n)) | uint8_t(v >> (6 * (n - 1))));
    for (int i = 1; i < n; ++i)
        out[i] = uchar(0x80 | ((v >> (6 * (n - 1 - i))) & 0x3F));
    return n;
}

} // namespace

int FlacFrames::renumber(const uchar *frame, int size, qint64 number, uchar *out)
{
    constexpr int FixedHead = 4; // sync, block size and rate codes, channels and depth
    if (size < FixedHead + 4 || frame[0] != 0xFF || frame[1] != 0xF8 || number < 0)
        return 0;
    const int numberLength = codedLength(frame[FixedHead]);
    if (numberLength == 0)
        return 0;
    const int sizeCode = frame[2] >> 4;
    const int rateCode = frame[2] & 0x0F;
    const int extra = (sizeCode == 6   ? 1
                       : sizeCode == 7 ? 2
                                       : 0) +
                      (rateCode == 12                     ? 1
                       : rateCode == 13 || rateCode == 14 ? 2
                                                          : 0);
    const int crcAt = FixedHead + numberLength + extra;
    if (size < crcAt + 3)
        return 0;

    std::memcpy(out, frame, FixedHead);
    int at = FixedHead + putCoded(quint64(number), out + FixedHead);
    std::memcpy(out + at, frame + FixedHead + numberLength, size_t(extra));
    at += extra;
    out[at] = Checksums::crc8(out, size_t(at));
    ++at;
    const int body = size - crcAt - 3;
    std::memcpy(out + at, frame + crcAt + 1, size_t(body));
    at += body;
    const uint16_t crc = Checksums::crc16(out, size_t(at), 0);
    out[at] = uchar(crc >> 8);
    out[at + 1] = uchar(crc & 0xFF);
    return at + 2;
}
