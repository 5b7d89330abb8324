#pragma once

#include "engine/audioencoder.h"
#include "engine/ffmpeghandles.h"
#include "engine/pcmquantizer.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class QIODevice;

// What an FFmpeg encoder and muxer are asked to produce.
struct FfmpegEncoderSetup
{
    QString muxer;   // "ogg", "asf", "wav", "flac", "ipod"
    QString encoder; // "libvorbis", "wmav2", "pcm_s16le", "adpcm_ima_wav", "flac"...
    int rate = 44100;
    int channels = 2;
    qint64 bitRate = 0; // bit/s; 0 = the encoder's choice
    qint64 minRate = 0;
    qint64 maxRate = 0;
    int quality = -1;          // Vorbis quality 0..1000 (0.0..10.0); -1 = bitrate mode
    int pcmBits = 0;           // integer encoders: the depth the samples are reduced to
    int compressionLevel = -1; // -1 = the encoder's default
    quint64 layoutMask = 0;    // speaker positions (AV_CH_*); 0 = the usual ones for the count
    // The encoder's private options by name ("vbr" = "constrained" for libopus).
    QList<QPair<QByteArray, QByteArray>> options;
    // The muxer's options by name ("packet_size" for ASF).
    QList<QPair<QByteArray, QByteArray>> muxerOptions;
};

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
    void newFrame();
    void store(const float *samples, int frames);
    void send(AVFrame *frame);

    QIODevice &m_out;
    Ff::Io m_io;
    Ff::Output m_format;
    Ff::Codec m_codec;
    Ff::Frame m_frame;
    Ff::Packet m_packet;
    AVStream *m_stream = nullptr;
    std::optional<PcmQuantizer> m_quantizer;
    int m_shift = 0;
    int m_frameSize = 0;
    int m_fill = 0;
    qint64 m_pts = 0;
};
