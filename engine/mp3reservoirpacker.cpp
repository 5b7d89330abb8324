#include "engine/mp3reservoirpacker.h"

#include "engine/engineerror.h"
#include "engine/xingheader.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

Mp3ReservoirPacker::Mp3ReservoirPacker(QIODevice &out)
    : m_out(out)
{
}

int Mp3ReservoirPacker::misfit(const std::vector<Mp3Frame> &frames) const
{
    qint64 areaEnd = m_areaEnd;
    qint64 dataEnd = m_dataEnd;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Mp3Frame &frame = frames[i];
        const qint64 areaStart = areaEnd;
        areaEnd += frame.areaSize();
        dataEnd = std::max(dataEnd, areaStart - frame.info.reservoirLimit()) +
                  qint64(frame.mainData.size());
        if (dataEnd > areaEnd)
            return int(i);
    }
    return -1;
}

void Mp3ReservoirPacker::add(Mp3Frame frame)
{
    const int limit = frame.info.reservoirLimit();
    const qint64 areaStart = m_areaEnd;
    m_areaEnd += frame.areaSize();
    const qint64 start = std::max(m_dataEnd, areaStart - limit);
    const qint64 end = start + qint64(frame.mainData.size());
    if (end > m_areaEnd)
        throw EngineError(QStringLiteral("The MP3 blocks cannot be joined: a frame's data does "
                                         "not fit the bit reservoir"));
    frame.setMainDataBegin(int(areaStart - start));
    Held held{std::move(frame), {}, areaStart};
    held.area.assign(size_t(held.frame.areaSize()), 0);
    m_held.push_back(std::move(held));
    // The data may begin in the areas of frames still held.
    const std::vector<unsigned char> &data = m_held.back().frame.mainData;
    for (Held &h : m_held) {
        const qint64 from = std::max(start, h.areaStart);
        const qint64 to = std::min(end, h.areaStart + qint64(h.area.size()));
        if (from < to)
            std::memcpy(h.area.data() + (from - h.areaStart), data.data() + (from - start),
                        size_t(to - from));
    }
    m_dataEnd = end;
    // The next frame's data begins no earlier than this.
    const qint64 settled = std::max(m_dataEnd, m_areaEnd - limit);
    while (!m_held.empty() &&
           m_held.front().areaStart + qint64(m_held.front().area.size()) <= settled) {
        write(m_held.front());
        m_held.pop_front();
    }
}

void Mp3ReservoirPacker::flush()
{
    for (const Held &h : m_held)
        write(h);
    m_held.clear();
}

void Mp3ReservoirPacker::write(const Held &held)
{
    const auto put = [this](const std::vector<unsigned char> &bytes) {
        if (m_out.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size())) !=
            qint64(bytes.size()))
            throw EngineError(
                QStringLiteral("Cannot write the output: %1").arg(m_out.errorString()));
        m_crc = XingHeader::crc16(bytes.data(), qsizetype(bytes.size()), m_crc);
    };
    put(held.frame.head);
    put(held.area);
    m_sizes.push_back(held.frame.info.size);
    m_bytes += held.frame.info.size;
}
