#include "engine/mp3frame.h"

#include "engine/checksums.h"
#include "engine/engineerror.h"

#include <array>

namespace {

int bits(const unsigned char *p, int at, int count)
{
    int value = 0;
    for (int i = at; i < at + count; ++i)
        value = (value << 1) | ((p[i / 8] >> (7 - i % 8)) & 1);
    return value;
}

void setBits(unsigned char *p, int at, int count, int value)
{
    for (int i = at + count - 1; i >= at; --i, value >>= 1) {
        const int mask = 1 << (7 - i % 8);
        p[i / 8] = static_cast<unsigned char>((value & 1) ? (p[i / 8] | mask) : (p[i / 8] & ~mask));
    }
}

constexpr std::array<int, 15> mpeg1Rates{0,   32,  40,  48,  56,  64,  80, 96,
                                         112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 15> mpeg2Rates{0,  8,  16, 24,  32,  40,  48, 56,
                                         64, 80, 96, 112, 128, 144, 160};

QString notMp3()
{
    return QStringLiteral("The MP3 encoder wrote a stream that cannot be joined");
}

} // namespace

std::optional<Mp3Frame::Header> Mp3Frame::header(const unsigned char *p, std::size_t available)
{
    static constexpr std::array<int, 3> sampleRates{44100, 48000, 32000};
    if (available < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return std::nullopt;
    const int version = (p[1] >> 3) & 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    const int layer = (p[1] >> 1) & 3;   // 1 is Layer III
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    Header h;
    h.mpeg1 = version == 3;
    h.crc = (p[1] & 1) == 0;
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.rate = sampleRates[size_t(rateIndex)] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int padding = (p[2] >> 1) & 1;
    if (h.mpeg1) {
        h.size = 144000 * mpeg1Rates[size_t(bitrateIndex)] / h.rate + padding;
        h.sideInfoSize = h.channels == 1 ? 17 : 32;
    } else {
        h.size = 72000 * mpeg2Rates[size_t(bitrateIndex)] / h.rate + padding;
        h.sideInfoSize = h.channels == 1 ? 9 : 17;
    }
    return h;
}

std::vector<Mp3Frame> Mp3Frame::split(const unsigned char *p, std::size_t size)
{
    std::vector<Mp3Frame> frames;
    // The stream's main data areas one after another, as the reservoir sees them.
    std::vector<unsigned char> reservoir;
    std::vector<std::size_t> areaStarts;
    std::size_t at = 0;
    while (at < size) {
        const auto h = header(p + at, size - at);
        if (!h || std::size_t(h->size) > size - at || h->size < h->headSize())
            throw EngineError(notMp3());
        Mp3Frame frame;
        frame.info = *h;
        frame.head.assign(p + at, p + at + h->headSize());
        areaStarts.push_back(reservoir.size());
        reservoir.insert(reservoir.end(), p + at + h->headSize(), p + at + h->size);
        frames.push_back(std::move(frame));
        at += std::size_t(h->size);
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        Mp3Frame &frame = frames[i];
        const std::size_t areaEnd = areaStarts[i] + std::size_t(frame.areaSize());
        const std::size_t begin = std::size_t(frame.mainDataBegin());
        const std::size_t length = std::size_t((frame.mainDataBits() + 7) / 8);
        if (begin > areaStarts[i] || areaStarts[i] - begin + length > areaEnd)
            throw EngineError(notMp3());
        const auto from = reservoir.begin() + std::ptrdiff_t(areaStarts[i] - begin);
        frame.mainData.assign(from, from + std::ptrdiff_t(length));
    }
    return frames;
}

int Mp3Frame::mainDataBegin() const
{
    return bits(head.data() + info.headSize() - info.sideInfoSize, 0, info.mpeg1 ? 9 : 8);
}

void Mp3Frame::setMainDataBegin(int bytes)
{
    unsigned char *side = head.data() + info.headSize() - info.sideInfoSize;
    setBits(side, 0, info.mpeg1 ? 9 : 8, bytes);
    updateCrc();
}

void Mp3Frame::updateCrc()
{
    if (!info.crc)
        return;
    const unsigned char *side = head.data() + info.headSize() - info.sideInfoSize;
    // From all ones, over the header's last two bytes and the side information.
    uint16_t crc = Checksums::crc16(head.data() + 2, 2, 0xFFFF);
    crc = Checksums::crc16(side, size_t(info.sideInfoSize), crc);
    head[4] = static_cast<unsigned char>(crc >> 8);
    head[5] = static_cast<unsigned char>(crc & 0xFF);
}

bool Mp3Frame::pad()
{
    if (head[2] & 2)
        return false;
    head[2] |= 2;
    ++info.size;
    updateCrc(); // it covers the header too
    return true;
}

int Mp3Frame::mainDataBits() const
{
    const unsigned char *side = head.data() + info.headSize() - info.sideInfoSize;
    // Where the first granule's part2_3_length starts, and each granule/channel's size in bits.
    int at;
    int stride;
    int granules;
    if (info.mpeg1) {
        at = info.channels == 1 ? 18 : 20;
        stride = 59;
        granules = 2;
    } else {
        at = info.channels == 1 ? 9 : 10;
        stride = 63;
        granules = 1;
    }
    int total = 0;
    for (int i = 0; i < granules * info.channels; ++i, at += stride)
        total += bits(side, at, 12);
    return total;
}
