#include "engine/ffmpegmuxer.h"

#include "engine/engineerror.h"

#include <QIODevice>

namespace {

constexpr int IoBufferSize = 64 * 1024;

int writeToDevice(void *opaque, uint8_t *buffer, int size)
{
    auto *device = static_cast<QIODevice *>(opaque);
    return device->write(reinterpret_cast<const char *>(buffer), size) == size ? size
                                                                               : AVERROR(EIO);
}

int64_t seekDevice(void *opaque, int64_t offset, int whence)
{
    auto *device = static_cast<QIODevice *>(opaque);
    if (whence & AVSEEK_SIZE)
        return device->size();
    qint64 target;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = device->pos() + offset;
        break;
    case SEEK_END:
        target = device->size() + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    return device->seek(target) ? target : AVERROR(EIO);
}

[[noreturn]] void fail(const QString &what, int code)
{
    throw EngineError(QStringLiteral("%1: %2").arg(what, Ff::errorText(code)));
}

} // namespace

FfmpegMuxer::FfmpegMuxer(QIODevice &out, const FfmpegEncoderSetup &setup)
    : m_out(out)
    , m_name(setup.muxer)
    , m_options(setup.muxerOptions)
{
    AVFormatContext *raw = nullptr;
    const int rc =
        avformat_alloc_output_context2(&raw, nullptr, m_name.toLatin1().constData(), nullptr);
    if (rc < 0 || !raw)
        fail(QStringLiteral("The %1 container is not available").arg(m_name), rc);
    m_format.reset(raw);
    // Integer samples come out the same whatever the library's version; so does the file.
    if (setup.pcmBits > 0)
        raw->flags |= AVFMT_FLAG_BITEXACT;
}

bool FfmpegMuxer::wantsGlobalHeader(const QString &name)
{
    const AVOutputFormat *format = av_guess_format(name.toLatin1().constData(), nullptr, nullptr);
    return format && (format->flags & AVFMT_GLOBALHEADER);
}

void FfmpegMuxer::start(const AVCodecContext &codec)
{
    AVFormatContext *f = m_format.get();
    m_stream = avformat_new_stream(f, nullptr);
    if (!m_stream || avcodec_parameters_from_context(m_stream->codecpar, &codec) < 0)
        throw EngineError(QStringLiteral("Cannot prepare the output"));
    m_stream->time_base = codec.time_base;
    m_codecTimeBase = codec.time_base;

    auto *buffer = static_cast<unsigned char *>(av_malloc(IoBufferSize));
    m_io.reset(
        avio_alloc_context(buffer, IoBufferSize, 1, &m_out, nullptr, writeToDevice, seekDevice));
    if (!m_io) {
        av_free(buffer);
        throw EngineError(QStringLiteral("Cannot prepare the output"));
    }
    f->pb = m_io.get();
    AVDictionary *dict = nullptr;
    if (m_name == QLatin1String("wav"))
        av_dict_set(&dict, "rf64", "auto", 0); // files past 4 GiB stay readable
    for (const auto &[name, value] : m_options)
        av_dict_set(&dict, name.constData(), value.constData(), 0);
    const int rc = avformat_write_header(f, &dict);
    av_dict_free(&dict);
    if (rc < 0)
        fail(QStringLiteral("Cannot write the output"), rc);
}

void FfmpegMuxer::write(AVPacket &packet)
{
    packet.stream_index = m_stream->index;
    av_packet_rescale_ts(&packet, m_codecTimeBase, m_stream->time_base);
    const int rc = av_interleaved_write_frame(m_format.get(), &packet);
    if (rc < 0)
        fail(QStringLiteral("Cannot write the output"), rc);
}

void FfmpegMuxer::finish()
{
    const int rc = av_write_trailer(m_format.get());
    avio_flush(m_io.get());
    if (rc < 0 || m_io->error < 0)
        fail(QStringLiteral("Cannot write the output"), rc < 0 ? rc : m_io->error);
}
