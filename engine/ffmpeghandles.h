#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/error.h>
#include <libswresample/swresample.h>
}

#include <QString>

#include <memory>

// Owning handles for the FFmpeg objects the engine uses.
namespace Ff {

struct InputDeleter
{
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
struct OutputDeleter
{
    void operator()(AVFormatContext *c) const { avformat_free_context(c); }
};
struct CodecDeleter
{
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct FrameDeleter
{
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct PacketDeleter
{
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct SwrDeleter
{
    void operator()(SwrContext *s) const { swr_free(&s); }
};
struct IoDeleter
{
    void operator()(AVIOContext *io) const
    {
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

using Input = std::unique_ptr<AVFormatContext, InputDeleter>;
using Output = std::unique_ptr<AVFormatContext, OutputDeleter>;
using Codec = std::unique_ptr<AVCodecContext, CodecDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using Swr = std::unique_ptr<SwrContext, SwrDeleter>;
using Io = std::unique_ptr<AVIOContext, IoDeleter>;

inline QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

// Keeps the stream probe away from the pictures embedded in a file (cover art): it would
// decode each into a full bitmap just to learn its size and pixel format. Nothing here shows
// them, so they get a made-up size and format and are never read.
inline void skipPictures(AVFormatContext *c)
{
    for (unsigned i = 0; i < c->nb_streams; ++i) {
        AVStream *st = c->streams[i];
        if (!(st->disposition & AV_DISPOSITION_ATTACHED_PIC))
            continue;
        st->discard = AVDISCARD_ALL;
        if (st->codecpar->width <= 0 || st->codecpar->height <= 0) {
            st->codecpar->width = 1;
            st->codecpar->height = 1;
        }
        if (st->codecpar->format < 0)
            st->codecpar->format = 0; // any pixel format
    }
}

} // namespace Ff
