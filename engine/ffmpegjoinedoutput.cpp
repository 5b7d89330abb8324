#include "engine/ffmpegjoinedoutput.h"

#include "engine/engineerror.h"
#include "engine/ffmpegmuxer.h"

#include <algorithm>

FfmpegJoinedOutput::FfmpegJoinedOutput(const FfmpegEncoderSetup &setup)
    : m_setup(setup)
    , m_reference(setup, [](AVPacket &) {})
    , m_packet(av_packet_alloc())
{
    if (!m_packet)
        throw EngineError(QStringLiteral("Out of memory"));
}

FfmpegJoinedOutput::~FfmpegJoinedOutput() = default;

FfmpegJoinedOutput::Packet FfmpegJoinedOutput::kept(const AVPacket &packet, qint64 offset)
{
    return {QByteArray(reinterpret_cast<const char *>(packet.data), packet.size),
            packet.pts + offset, packet.duration};
}

FfmpegMuxer &FfmpegJoinedOutput::muxer(QIODevice &out)
{
    if (!m_muxer) {
        m_muxer = std::make_unique<FfmpegMuxer>(out, m_setup);
        m_muxer->start(m_reference.context());
    }
    return *m_muxer;
}

void FfmpegJoinedOutput::write(QIODevice &out, const Packet &packet)
{
    FfmpegMuxer &to = muxer(out);
    if (av_new_packet(m_packet.get(), int(packet.data.size())) < 0)
        throw EngineError(QStringLiteral("Out of memory"));
    std::copy(packet.data.begin(), packet.data.end(), reinterpret_cast<char *>(m_packet->data));
    m_packet->pts = m_packet->dts = packet.pts;
    m_packet->duration = packet.duration;
    m_end = packet.pts + packet.duration;
    to.write(*m_packet);
    av_packet_unref(m_packet.get());
}

void FfmpegJoinedOutput::finish(QIODevice &out, const QByteArray &streamHeader)
{
    FfmpegMuxer &to = muxer(out);
    if (!streamHeader.isEmpty()) {
        // An empty packet that brings new codec headers, as an encoder sends at its end.
        uint8_t *side = av_packet_new_side_data(m_packet.get(), AV_PKT_DATA_NEW_EXTRADATA,
                                                size_t(streamHeader.size()));
        if (!side)
            throw EngineError(QStringLiteral("Out of memory"));
        std::copy(streamHeader.begin(), streamHeader.end(), reinterpret_cast<char *>(side));
        m_packet->pts = m_packet->dts = m_end;
        to.write(*m_packet);
        av_packet_unref(m_packet.get());
    }
    to.finish();
}
