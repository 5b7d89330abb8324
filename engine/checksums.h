#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
#include <libavutil/bswap.h>
#include <libavutil/crc.h>
}

// The CRCs of the audio formats' headers and frames, through FFmpeg's tables. A CRC is carried
// on from one call to the next by passing the last result as `crc`.
namespace Checksums {

// Polynomial 0x07, from zero: FLAC's frame header.
inline uint8_t crc8(const uint8_t *data, size_t size)
{
    return uint8_t(av_crc(av_crc_get_table(AV_CRC_8_ATM), 0, data, size));
}

// Polynomial 0x8005, most significant bit first: FLAC frames (from 0) and MPEG audio frames
// (from 0xFFFF).
inline uint16_t crc16(const uint8_t *data, size_t size, uint16_t crc)
{
    // The library keeps this CRC with its bytes swapped.
    const auto raw =
        uint16_t(av_crc(av_crc_get_table(AV_CRC_16_ANSI), av_bswap16(crc), data, size));
    return av_bswap16(raw);
}

// Polynomial 0x8005 reflected, from zero unless carried on: the LAME header's CRCs.
inline uint16_t crc16Reflected(const uint8_t *data, size_t size, uint16_t crc = 0)
{
    return uint16_t(av_crc(av_crc_get_table(AV_CRC_16_ANSI_LE), crc, data, size));
}

// Polynomial 0x04C11DB7, most significant bit first, from zero: Ogg pages.
inline uint32_t crc32Ogg(const uint8_t *data, size_t size, uint32_t crc = 0)
{
    // Kept with its bytes swapped, as the 16-bit one.
    return av_bswap32(av_crc(av_crc_get_table(AV_CRC_32_IEEE), av_bswap32(crc), data, size));
}

} // namespace Checksums
