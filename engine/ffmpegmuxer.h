#pragma once

#include "engine/ffmpegencodersetup.h"
#include "engine/ffmpeghandles.h"

class QIODevice;

// One audio stream in an FFmpeg container, written to a QIODevice.
class FfmpegMuxer
{
public:
    // Prepares the setup's container with its options. EngineError when it is not available.
    FfmpegMuxer(QIODevice &out, const FfmpegEncoderSetup &setup);

    // Whether the container `name` keeps the codec's headers apart from its packets (the
    // codec must then be opened with AV_CODEC_FLAG_GLOBAL_HEADER).
    static bool wantsGlobalHeader(const QString &name);
    // Adds the stream as the opened `codec` describes it and writes the container's header.
    void start(const AVCodecContext &codec);
    // Writes a packet whose times count in the codec's time base.
    void write(AVPacket &packet);
    // Writes the container's trailer (it may seek back) and flushes.
    void finish();

private:
    QIODevice &m_out;
    QString m_name;
    QList<QPair<QByteArray, QByteArray>> m_options;
    Ff::Io m_io;
    Ff::Output m_format;
    AVStream *m_stream = nullptr;
    AVRational m_codecTimeBase{1, 1};
};
