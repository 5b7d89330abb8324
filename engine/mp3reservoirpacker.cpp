#include "engine/mp3reservoirpacker.h"

#include "engine/checksums.h"
#include "engine/engineerror.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

Mp3ReservoirPacker::Mp3ReservoirPacker(QIODevice &out)
    : m_out(out)
{
}

bool Mp3ReservoirPacker::fit(std::vector<Mp3Frame> &frames)
{
    // Where the areas and the data end before each frame, as add() would lay them out.
    std::vector<std::pair<qint64, qint64>> ends(frames.size() + 1);
    ends[0] = {m_areaEnd, m_dataEnd};
    for (size_t i = 0; i < frames.size();) {
        const auto [areaStart, dataEnd] = ends[i];
        const qint64 areaEnd = areaStart + frames[i].areaSize();
        const qint64 end = std::max(dataEnd, areaStart - frames[i].info.reservoirLimit()) +
                           qint64(frames[i].mainData.size());
        if (end <= areaEnd) {
            ends[++i] = {areaEnd, end};
            continue;
        }
        // A frame padded at or before this one gives it a byte more room.
        size_t padded = i + 1;
        while (padded > 0 && !frames[padded - 1].pad())
            --padded;
        if (padded > 0) {
            i = padded - 1;
            continue;
        }
        // The last frame held only gains room at its end, after all the data placed so far.
        if (m_held.empty() || !m_held.back().frame.pad())
            return false;
        Held &last = m_held.back();
        m_areaEnd += last.frame.areaSize() - qint64(last.area.size());
        last.area.resize(size_t(last.frame.areaSize()), 0);
        ends[0] = {m_areaEnd, m_dataEnd};
        i = 0;
    }
    return true;
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
        m_crc = Checksums::crc16Reflected(bytes.data(), bytes.size(), m_crc);
    };
    put(held.frame.head);
    put(held.area);
    m_sizes.push_back(held.frame.info.size);
    m_bytes += held.frame.info.size;
}
