#include "engine/flacframes.h"

#include <array>
#include <cstdint>

namespace {

// MSB-first CRC tables: CRC-8 with polynomial 0x07, CRC-16 with 0x8005, both from zero.
template <typename T, T Poly> constexpr std::array<T, 256> crcTable()
{
    constexpr int Top = sizeof(T) * 8 - 1;
    std::array<T, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        T r = T(i << (Top - 7));
        for (int bit = 0; bit < 8; ++bit)
            r = T((r >> Top) & 1 ? T(r << 1) ^ Poly : T(r << 1));
        table[i] = r;
    }
    return table;
}

constexpr auto Crc8 = crcTable<uint8_t, 0x07>();
constexpr auto Crc16 = crcTable<uint16_t, 0x8005>();

uint8_t crc8(const QByteArray &data)
{
    uint8_t crc = 0;
    for (const char c : data)
        crc = Crc8[crc ^ uint8_t(c)];
    return crc;
}

uint16_t crc16(const char *data, qsizetype size)
{
    uint16_t crc = 0;
    for (qsizetype i = 0; i < size; ++i)
        crc = uint16_t(crc << 8) ^ Crc16[(crc >> 8) ^ uint8_t(data[i])];
    return crc;
}

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

// The number in the UTF-8 style coding of frame headers (one to six bytes here).
QByteArray coded(qint64 number)
{
    const auto v = uint64_t(number);
    if (v < 0x80)
        return QByteArray(1, char(v));
    int n = 2;
    while (n < 7 && v >= (uint64_t(1) << (5 * n + 1)))
        ++n;
    QByteArray out(n, Qt::Uninitialized);
    out[0] = char(uint8_t(0xFF << (8 - n)) | uint8_t(v >> (6 * (n - 1))));
    for (int i = 1; i < n; ++i)
        out[i] = char(0x80 | ((v >> (6 * (n - 1 - i))) & 0x3F));
    return out;
}

} // namespace

QByteArray FlacFrames::renumbered(const QByteArray &frame, qint64 number)
{
    constexpr int FixedHead = 4; // sync, block size and rate codes, channels and depth
    if (frame.size() < FixedHead + 4 || uint8_t(frame[0]) != 0xFF || uint8_t(frame[1]) != 0xF8)
        return {};
    const int numberLength = codedLength(uint8_t(frame[FixedHead]));
    if (numberLength == 0)
        return {};
    const int sizeCode = uint8_t(frame[2]) >> 4;
    const int rateCode = uint8_t(frame[2]) & 0x0F;
    const int extra = (sizeCode == 6   ? 1
                       : sizeCode == 7 ? 2
                                       : 0) +
                      (rateCode == 12                     ? 1
                       : rateCode == 13 || rateCode == 14 ? 2
                                                          : 0);
    const int crcAt = FixedHead + numberLength + extra;
    if (frame.size() < crcAt + 3)
        return {};

    QByteArray out = frame.left(FixedHead);
    out += coded(number);
    out += frame.mid(FixedHead + numberLength, extra);
    out += char(crc8(out));
    out += frame.mid(crcAt + 1, frame.size() - crcAt - 3);
    const uint16_t crc = crc16(out.constData(), out.size());
    out += char(crc >> 8);
    out += char(crc & 0xFF);
    return out;
}
