#include "engine/ffmpegencoder.h"

#include <cstdlib>

FfmpegEncoder::FfmpegEncoder(QIODevice &out, const FfmpegEncoderSetup &setup)
    : m_muxer(out, setup)
    , m_encoder(setup, [this](AVPacket &packet) { m_muxer.write(packet); })
{
    m_muxer.start(m_encoder.context());
}

void FfmpegEncoder::write(const float *samples, int frames)
{
    m_encoder.write(samples, frames);
}

void FfmpegEncoder::finish()
{
    m_encoder.finish();
    m_muxer.finish();
}

int FfmpegEncoder::supportedRate(const QString &encoder, int rate)
{
    const AVCodec *codec = avcodec_find_encoder_by_name(encoder.toLatin1().constData());
    if (!codec || !codec->supported_samplerates)
        return rate;
    int best = 0;
    for (const int *r = codec->supported_samplerates; *r > 0; ++r) {
        if (best == 0 || std::abs(*r - rate) < std::abs(best - rate))
            best = *r;
    }
    return best > 0 ? best : rate;
}
