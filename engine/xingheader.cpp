#include "engine/xingheader.h"

#include "engine/checksums.h"
#include "engine/engineerror.h"
#include "engine/mp3frame.h"

#include <algorithm>
#include <numeric>

namespace {

// Offsets from the "Xing"/"Info" mark, with all four optional fields present.
constexpr int FlagsAt = 4;
constexpr int FramesAt = 8;
constexpr int BytesAt = 12;
constexpr int TocAt = 16;
constexpr int DelayAt = 141;
constexpr int MusicLengthAt = 148;
constexpr int MusicCrcAt = 152;
constexpr int TagCrcAt = 154;

void put32(QByteArray &b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
}

void put16(QByteArray &b, int at, quint16 v)
{
    b[at] = char(v >> 8);
    b[at + 1] = char(v & 0xFF);
}

} // namespace

QByteArray XingHeader::complete(QByteArray frame, const Stream &stream)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(frame.constData());
    const auto h = Mp3Frame::header(bytes, size_t(frame.size()));
    const int mark = h ? h->headSize() : 0;
    if (!h || frame.size() < mark + TagCrcAt + 2 || h->size != frame.size() ||
        (frame.mid(mark, 4) != "Xing" && frame.mid(mark, 4) != "Info") ||
        frame.at(mark + FlagsAt + 3) != 0x0F)
        throw EngineError(QStringLiteral("The MP3 encoder wrote no usable header frame"));

    const qint64 total = qint64(frame.size()) +
                         std::accumulate(stream.frameSizes.begin(), stream.frameSizes.end(), 0LL);
    const auto count = qint64(stream.frameSizes.size());
    put32(frame, mark + FramesAt, quint32(count));
    put32(frame, mark + BytesAt, quint32(total));
    // The seek table: where each percent of the duration begins, in 256ths of the file
    // (counted from the first audio frame, so a seek lands just before its frame).
    qint64 offset = 0;
    qint64 next = 0;
    for (int i = 0; i < 100; ++i) {
        const qint64 target = count * i / 100;
        for (; next < target; ++next)
            offset += stream.frameSizes[size_t(next)];
        frame[mark + TocAt + i] = char(std::min<qint64>(255, offset * 256 / total));
    }
    const int delay = std::clamp(stream.delay, 0, 4095);
    const int padding = std::clamp(stream.padding, 0, 4095);
    frame[mark + DelayAt] = char(delay >> 4);
    frame[mark + DelayAt + 1] = char(((delay & 0x0F) << 4) | (padding >> 8));
    frame[mark + DelayAt + 2] = char(padding & 0xFF);
    put32(frame, mark + MusicLengthAt, quint32(total));
    put16(frame, mark + MusicCrcAt, stream.audioCrc);
    put16(frame, mark + TagCrcAt,
          Checksums::crc16Reflected(reinterpret_cast<const uint8_t *>(frame.constData()),
                                    size_t(mark + TagCrcAt)));
    return frame;
}
