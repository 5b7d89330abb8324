#pragma once

#include "engine/audioencoder.h"
#include "engine/ffmpegencodersetup.h"
#include "engine/ffmpegmuxer.h"
#include "engine/ffmpegpacketencoder.h"

#include <QString>

class QIODevice;

// Encodes through an FFmpeg encoder into an FFmpeg container written to a QIODevice.
class FfmpegEncoder : public AudioEncoder
{
public:
    FfmpegEncoder(QIODevice &out, const FfmpegEncoderSetup &setup);

    void write(const float *samples, int frames) override;
    void finish() override;

    // The rate nearest to `rate` that the encoder takes (`rate` itself when it takes any).
    static int supportedRate(const QString &encoder, int rate);

private:
    FfmpegMuxer m_muxer;
    FfmpegPacketEncoder m_encoder;
};
