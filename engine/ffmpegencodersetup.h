#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

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
