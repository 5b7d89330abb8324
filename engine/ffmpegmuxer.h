#pragma once

#include "engine/ffmpeghandles.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QIODevice;

// One audio stream in an FFmpeg container, written to a QIODevice.
class FfmpegMuxer
{
public:
    // Prepares the container `name` ("ogg", "flac"...); `bitExact` leaves the library's
    // version out of it. EngineError when the container is not available.
    FfmpegMuxer(QIODevice &out, const QString &name, bool bitExact);

    // Whether the container keeps the codec's headers apart from its packets (the codec
    // must then be opened with AV_CODEC_FLAG_GLOBAL_HEADER).
    bool wantsGlobalHeader() const;
    // Adds the stream as the opened `codec` describes it and writes the container's header.
    void start(const AVCodecContext &codec, const QList<QPair<QByteArray, QByteArray>> &options);
    // Writes a packet whose times count in the codec's time base.
    void write(AVPacket &packet);
    // Writes the container's trailer (it may seek back) and flushes.
    void finish();

private:
    QIODevice &m_out;
    QString m_name;
    Ff::Io m_io;
    Ff::Output m_format;
    AVStream *m_stream = nullptr;
    AVRational m_codecTimeBase{1, 1};
};
