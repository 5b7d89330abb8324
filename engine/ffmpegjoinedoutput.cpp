#include "engine/ffmpegjoinedoutput.h"

#include "engine/engineerror.h"
#include "engine/ffmpegmuxer.h"

#include <algorithm>

FfmpegJoinedOutput::FfmpegJoinedOutput(const FfmpegEncoderSetup &setup)
    : m_setup(setup)
    , m_reference(setup, [](AVPacket &) {})
{
}

FfmpegJoinedOutput::~FfmpegJoinedOutput() = default;

Ff::Packet FfmpegJoinedOutput::kept(AVPacket &packet, qint64 offset)
{
    Ff::Packet out(av_packet_alloc());
    if (!out)
        throw EngineError(QStringLiteral("Out of memory"));
    av_packet_move_ref(out.get(), &packet);
    out->pts += offset;
    out->dts = out->pts;
    return out;
}

FfmpegMuxer &FfmpegJoinedOutput::muxer(QIODevice &out)
{
    if (!m_muxer) {
        m_muxer = std::make_unique<FfmpegMuxer>(out, m_setup);
        m_muxer->start(m_reference.context());
    }
    return *m_muxer;
}

void FfmpegJoinedOutput::write(QIODevice &out, AVPacket &packet)
{
    m_end = packet.pts + packet.duration;
    muxer(out).write(packet);
}

void FfmpegJoinedOutput::finish(QIODevice &out, const QByteArray &streamHeader)
{
    FfmpegMuxer &to = muxer(out);
    if (!streamHeader.isEmpty()) {
        // An empty packet that brings new codec headers, as an encoder sends at its end.
        Ff::Packet packet(av_packet_alloc());
        uint8_t *side = packet ? av_packet_new_side_data(packet.get(), AV_PKT_DATA_NEW_EXTRADATA,
                                                         size_t(streamHeader.size()))
                               : nullptr;
        if (!side)
            throw EngineError(QStringLiteral("Out of memory"));
        std::copy(streamHeader.begin(), streamHeader.end(), reinterpret_cast<char *>(side));
        packet->pts = packet->dts = m_end;
        to.write(*packet);
    }
    to.finish();
}
