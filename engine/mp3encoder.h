#pragma once

#include "engine/audioencoder.h"
#include "engine/mp3settings.h"

#include <QtGlobal>

#include <lame/lame.h>

#include <memory>
#include <vector>

class QIODevice;

// MP3 through LAME. VBR and ABR files, and CBR ones too, begin with a Xing/LAME header
// frame that carries the true duration and the encoder delay.
class Mp3Encoder : public AudioEncoder
{
public:
    Mp3Encoder(QIODevice &out, const Mp3Settings &settings, int rate, int channels);

    void write(const float *samples, int frames) override;
    void finish() override;

    // The MPEG sample rate nearest to `rate`.
    static int nearestRate(int rate);
    // The constant or mean bitrate the encoder writes for `kbps` at `rate` Hz: MPEG-1 rates
    // take 32 to 320 kbit/s, MPEG-2 8 to 160, MPEG-2.5 8 to 64, each in its own steps.
    static int nearestBitrate(int kbps, int rate);

    struct LameDeleter
    {
        void operator()(lame_global_flags *g) const { lame_close(g); }
    };
    using LameHandle = std::unique_ptr<lame_global_flags, LameDeleter>;
    // A LAME encoder set up for `settings` at `rate` Hz (it never resamples), writing the
    // Xing/LAME header frame first when `infoFrame`. EngineError when LAME refuses.
    static LameHandle startLame(const Mp3Settings &settings, int rate, int channels,
                                bool infoFrame);

private:
    void put(int bytes);

    QIODevice &m_out;
    LameHandle m_lame;
    int m_channels;
    qint64 m_start = 0;
    std::vector<unsigned char> m_buffer;
};
