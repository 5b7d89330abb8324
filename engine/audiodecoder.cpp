#include "engine/audiodecoder.h"

#include "engine/engineerror.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

AVChannelLayout normalLayout(const AVChannelLayout &layout)
{
    AVChannelLayout out{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&layout) == 0)
        av_channel_layout_default(&out, layout.nb_channels);
    else
        av_channel_layout_copy(&out, &layout);
    return out;
}

} // namespace

AudioDecoder::~AudioDecoder()
{
    av_channel_layout_uninit(&m_layout);
    av_channel_layout_uninit(&m_swrInLayout);
}

void AudioDecoder::open(const QString &path, int threads)
{
    const QString name = QFileInfo(path).fileName();
    AVFormatContext *raw = nullptr;
    int rc = avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (rc < 0)
        throw OpenError{Failure::CannotOpen,
                        QStringLiteral("Cannot open \"%1\": %2").arg(name, Ff::errorText(rc))};
    m_format.reset(raw);
    rc = avformat_find_stream_info(raw, nullptr);
    if (rc < 0)
        throw OpenError{Failure::CannotOpen,
                        QStringLiteral("\"%1\" is not a readable media file").arg(name)};

    const AVCodec *codec = nullptr;
    m_stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_stream == AVERROR_DECODER_NOT_FOUND)
        throw OpenError{Failure::NoDecoder,
                        QStringLiteral("The audio of \"%1\" cannot be decoded").arg(name)};
    if (m_stream < 0)
        throw OpenError{Failure::NoAudio, QStringLiteral("\"%1\" has no audio").arg(name)};
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        if (int(i) != m_stream)
            raw->streams[i]->discard = AVDISCARD_ALL;
    }
    AVStream *stream = raw->streams[m_stream];

    m_codec.reset(avcodec_alloc_context3(codec));
    if (!m_codec || avcodec_parameters_to_context(m_codec.get(), stream->codecpar) < 0)
        throw OpenError{Failure::NoDecoder,
                        QStringLiteral("The audio of \"%1\" cannot be decoded").arg(name)};
    m_codec->pkt_timebase = stream->time_base;
    m_codec->thread_count = std::max(0, threads);
    rc = avcodec_open2(m_codec.get(), codec, nullptr);
    if (rc < 0)
        throw OpenError{Failure::NoDecoder,
                        QStringLiteral("The audio of \"%1\" cannot be decoded: %2")
                            .arg(name, Ff::errorText(rc))};
    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    m_startTime = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;

    // Decode the first frame now: a file whose audio cannot be decoded is refused at
    // open, and the frame tells the real rate and channel count.
    bool decoded = false;
    try {
        decoded = decodeNext();
    } catch (const EngineError &) {
        decoded = false;
    }
    if (!decoded || m_frame->sample_rate <= 0 || m_frame->ch_layout.nb_channels <= 0)
        throw OpenError{Failure::Corrupt,
                        QStringLiteral("No audio could be decoded from \"%1\"").arg(name)};
    m_haveFrame = true;
    m_rate = m_frame->sample_rate;
    m_channels = m_frame->ch_layout.nb_channels;
    m_layout = normalLayout(m_frame->ch_layout);

    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        m_length = av_rescale_q(stream->duration, stream->time_base, AVRational{1, m_rate});
    else if (raw->duration != AV_NOPTS_VALUE && raw->duration > 0)
        m_length = av_rescale_q(raw->duration, AV_TIME_BASE_Q, AVRational{1, m_rate});
}

bool AudioDecoder::decodeNext()
{
    for (;;) {
        int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc == 0) {
            if (m_frame->nb_samples > 0)
                return true;
            continue;
        }
        if (rc == AVERROR_EOF)
            return false;
        if (rc != AVERROR(EAGAIN) && rc != AVERROR_INVALIDDATA)
            throw EngineError(QStringLiteral("Decoding failed: %1").arg(Ff::errorText(rc)));
        if (m_inputEnded)
            return false;

        rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc < 0) {
            if (rc != AVERROR_EOF && rc != AVERROR_INVALIDDATA && rc != AVERROR(EAGAIN))
                throw EngineError(QStringLiteral("Reading failed: %1").arg(Ff::errorText(rc)));
            m_inputEnded = true;
            avcodec_send_packet(m_codec.get(), nullptr);
            continue;
        }
        if (m_packet->stream_index == m_stream) {
            rc = avcodec_send_packet(m_codec.get(), m_packet.get());
            // Damaged packets are skipped; decoding goes on with the next one.
            if (rc < 0 && rc != AVERROR(EAGAIN) && rc != AVERROR_INVALIDDATA &&
                rc != AVERROR(EINVAL))
                throw EngineError(QStringLiteral("Decoding failed: %1").arg(Ff::errorText(rc)));
        }
        av_packet_unref(m_packet.get());
    }
}

int AudioDecoder::outputBound() const
{
    if (m_frame->sample_rate == m_rate)
        return m_frame->nb_samples;
    return int(av_rescale_rnd(m_frame->nb_samples, m_rate, m_frame->sample_rate, AV_ROUND_UP)) + 64;
}

int AudioDecoder::convertFrame(uint8_t *dest)
{
    const AVFrame *f = m_frame.get();
    if (f->format == AV_SAMPLE_FMT_FLT && f->sample_rate == m_rate &&
        f->ch_layout.nb_channels == m_channels) {
        std::memcpy(dest, f->data[0], size_t(f->nb_samples) * size_t(m_channels) * sizeof(float));
        return f->nb_samples;
    }
    AVChannelLayout inLayout = normalLayout(f->ch_layout);
    if (!m_swr || m_swrInFormat != f->format || m_swrInRate != f->sample_rate ||
        av_channel_layout_compare(&m_swrInLayout, &inLayout) != 0) {
        SwrContext *raw = nullptr;
        int rc = swr_alloc_set_opts2(&raw, &m_layout, AV_SAMPLE_FMT_FLT, m_rate, &inLayout,
                                     AVSampleFormat(f->format), f->sample_rate, 0, nullptr);
        Ff::Swr swr(raw);
        if (rc < 0 || swr_init(raw) < 0) {
            av_channel_layout_uninit(&inLayout);
            throw EngineError(QStringLiteral("The decoded audio cannot be converted"));
        }
        m_swr = std::move(swr);
        m_swrInFormat = f->format;
        m_swrInRate = f->sample_rate;
        av_channel_layout_uninit(&m_swrInLayout);
        av_channel_layout_copy(&m_swrInLayout, &inLayout);
    }
    av_channel_layout_uninit(&inLayout);
    uint8_t *out[1] = {dest};
    const int n = swr_convert(m_swr.get(), out, outputBound(),
                              const_cast<const uint8_t **>(f->extended_data), f->nb_samples);
    if (n < 0)
        throw EngineError(QStringLiteral("The decoded audio cannot be converted"));
    return n;
}

void AudioDecoder::keepInPending(qint64 skipFrames)
{
    const qint64 frameBytes = qint64(m_channels) * qint64(sizeof(float));
    const qint64 needed = qint64(outputBound()) * frameBytes;
    if (m_pending.size() < needed)
        m_pending.resize(needed);
    m_pendingFrames = convertFrame(reinterpret_cast<uint8_t *>(m_pending.data()));
    m_pendingOffset = std::min(skipFrames, m_pendingFrames);
}

QByteArray AudioDecoder::read(qint64 maxFrames)
{
    if (m_atEnd)
        return {};
    maxFrames = std::max<qint64>(1, maxFrames);
    const qint64 frameBytes = qint64(m_channels) * qint64(sizeof(float));
    QByteArray out;
    out.resize(maxFrames * frameBytes);
    qint64 have = 0;
    while (have < maxFrames) {
        if (m_pendingOffset < m_pendingFrames) {
            const qint64 n = std::min(maxFrames - have, m_pendingFrames - m_pendingOffset);
            std::memcpy(out.data() + have * frameBytes,
                        m_pending.constData() + m_pendingOffset * frameBytes,
                        size_t(n * frameBytes));
            have += n;
            m_pendingOffset += n;
            continue;
        }
        if (!m_haveFrame && !decodeNext())
            break;
        m_haveFrame = false;
        // Straight into the result when the frame fits, which is the usual case.
        if (outputBound() <= maxFrames - have)
            have += convertFrame(reinterpret_cast<uint8_t *>(out.data() + have * frameBytes));
        else
            keepInPending(0);
    }
    out.resize(have * frameBytes);
    return out;
}

qint64 AudioDecoder::seek(qint64 frame)
{
    frame = std::max<qint64>(0, frame);
    m_atEnd = false;
    m_pendingFrames = m_pendingOffset = 0;
    m_haveFrame = false;
    if (m_length > 0 && frame >= m_length) {
        m_atEnd = true;
        return m_length;
    }
    AVStream *stream = m_format->streams[m_stream];
    const qint64 ts = av_rescale_q(frame, AVRational{1, m_rate}, stream->time_base) + m_startTime;
    int rc = avformat_seek_file(m_format.get(), m_stream, INT64_MIN, ts, ts, 0);
    if (rc < 0)
        rc = av_seek_frame(m_format.get(), m_stream, ts, AVSEEK_FLAG_BACKWARD);
    if (rc < 0)
        throw EngineError(QStringLiteral("This file cannot be sought"));
    avcodec_flush_buffers(m_codec.get());
    m_inputEnded = false;
    m_haveFrame = false;
    m_pendingFrames = m_pendingOffset = 0;
    m_swr.reset();

    // Decode forward from the key point to the frame asked for.
    while (decodeNext()) {
        const int64_t pts = m_frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE) {
            m_haveFrame = true;
            return frame;
        }
        const qint64 start =
            av_rescale_q(pts - m_startTime, stream->time_base, AVRational{1, m_rate});
        if (start + m_frame->nb_samples <= frame)
            continue;
        const qint64 skip = std::max<qint64>(0, frame - start);
        keepInPending(skip);
        return start + m_pendingOffset;
    }
    return m_length > 0 ? std::min(frame, m_length) : frame;
}
