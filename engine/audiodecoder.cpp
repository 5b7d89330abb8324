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

// True when the first bytes of the file, without its name, look like a media container: a
// file that FFmpeg tried only because of its extension is no audio file at all.
bool looksLikeMedia(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QByteArray head = f.read(64 * 1024);
    const int size = int(head.size());
    head.append(QByteArray(AVPROBE_PADDING_SIZE, '\0'));
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = reinterpret_cast<unsigned char *>(head.data());
    probe.buf_size = size;
    int score = 0;
    return av_probe_input_format3(&probe, 1, &score) != nullptr && score > AVPROBE_SCORE_MAX / 4;
}

QString notAudio(const QString &name)
{
    return QStringLiteral("%1 is not an audio file (or in a format that cannot be read)").arg(name);
}

// A file that opened but gave no audio: damaged when it looks like a media file.
QString damagedOrNotAudio(const QString &path, const QString &detail)
{
    const QString name = QFileInfo(path).fileName();
    return looksLikeMedia(path) ? QStringLiteral("%1 is damaged or truncated: %2").arg(name, detail)
                                : notAudio(name);
}

// Why a file could not be opened, in words a person can act on.
QString openFailure(const QString &path, int rc)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (rc == AVERROR(ENOENT) && !info.exists())
        return QStringLiteral("%1 does not exist").arg(name);
    if (rc == AVERROR(EACCES) || rc == AVERROR(EPERM))
        return QStringLiteral("%1 cannot be read: permission denied").arg(name);
    if (info.isDir())
        return QStringLiteral("%1 is a folder, not an audio file").arg(name);
    if (info.exists() && info.size() == 0)
        return QStringLiteral("%1 is empty: it holds no audio").arg(name);
    // Demuxers answer EIO for broken headers too: a file whose start reads is damaged.
    if ((rc == AVERROR_EOF || rc == AVERROR(EIO)) && looksLikeMedia(path))
        return QStringLiteral("%1 is damaged or truncated").arg(name);
    if (rc == AVERROR(EIO))
        return QStringLiteral("%1 cannot be read: the disk reported an error").arg(name);
    if (rc == AVERROR(ENOMEM))
        return QStringLiteral("%1 cannot be opened: there is not enough memory").arg(name);
    return notAudio(name);
}

// Lossless codecs say their depth (FLAC, ALAC) or have it in their name (PCM); lossy ones
// decode to float and have none.
int storedDepth(const AVCodecParameters &par, const AVCodecContext &codec)
{
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(par.codec_id);
    if (descriptor && (descriptor->props & AV_CODEC_PROP_LOSSY) &&
        !(descriptor->props & AV_CODEC_PROP_LOSSLESS))
        return 0;
    if (codec.bits_per_raw_sample > 0)
        return codec.bits_per_raw_sample;
    if (par.bits_per_raw_sample > 0)
        return par.bits_per_raw_sample;
    return std::max(av_get_bits_per_sample(par.codec_id), 0);
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
    // A pipe would block the reader for good and a device never ends: only files are read.
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        throw OpenError{Failure::CannotOpen,
                        info.isDir() ? QStringLiteral("%1 is a folder, not an audio file").arg(name)
                                     : QStringLiteral("%1 is not a file but a device or pipe; "
                                                      "only files can be converted")
                                           .arg(name)};
    AVFormatContext *raw = nullptr;
    int rc = avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (rc < 0)
        throw OpenError{Failure::CannotOpen, openFailure(path, rc)};
    m_format.reset(raw);
    Ff::skipPictures(raw);
    rc = avformat_find_stream_info(raw, nullptr);
    if (rc < 0)
        throw OpenError{Failure::CannotOpen,
                        damagedOrNotAudio(path, QStringLiteral("its audio cannot be found"))};

    const AVCodec *codec = nullptr;
    m_stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_stream == AVERROR_DECODER_NOT_FOUND)
        throw OpenError{
            Failure::NoDecoder,
            QStringLiteral("the audio of %1 is in a format that cannot be decoded").arg(name)};
    if (m_stream < 0)
        throw OpenError{Failure::NoAudio, QStringLiteral("%1 has no audio track").arg(name)};
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        if (int(i) != m_stream)
            raw->streams[i]->discard = AVDISCARD_ALL;
    }
    AVStream *stream = raw->streams[m_stream];

    m_codec.reset(avcodec_alloc_context3(codec));
    if (!m_codec || avcodec_parameters_to_context(m_codec.get(), stream->codecpar) < 0)
        throw OpenError{
            Failure::NoDecoder,
            QStringLiteral("the audio of %1 is in a format that cannot be decoded").arg(name)};
    m_codec->pkt_timebase = stream->time_base;
    m_codec->thread_count = std::max(0, threads);
    rc = avcodec_open2(m_codec.get(), codec, nullptr);
    if (rc < 0)
        throw OpenError{Failure::NoDecoder,
                        QStringLiteral("the audio of %1 cannot be decoded: its settings are "
                                       "damaged or not supported")
                            .arg(name)};
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
        throw OpenError{
            Failure::Corrupt,
            damagedOrNotAudio(path, QStringLiteral("no audio could be decoded from it"))};
    if (m_frame->sample_rate > MaxRate || m_frame->ch_layout.nb_channels > MaxChannels)
        throw OpenError{Failure::Corrupt,
                        QStringLiteral("%1 is damaged: it claims %2 Hz and %3 channels, which "
                                       "no audio has")
                            .arg(name)
                            .arg(m_frame->sample_rate)
                            .arg(m_frame->ch_layout.nb_channels)};
    m_haveFrame = true;
    m_rate = m_frame->sample_rate;
    m_channels = m_frame->ch_layout.nb_channels;
    m_layout = normalLayout(m_frame->ch_layout);
    m_bits = storedDepth(*stream->codecpar, *m_codec);

    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        m_length = av_rescale_q(stream->duration, stream->time_base, AVRational{1, m_rate});
    else if (raw->duration != AV_NOPTS_VALUE && raw->duration > 0)
        m_length = av_rescale_q(raw->duration, AV_TIME_BASE_Q, AVRational{1, m_rate});
    m_lengthIsEstimate = raw->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
}

bool AudioDecoder::decodeNext()
{
    for (;;) {
        int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc == 0) {
            if (m_frame->nb_samples > 0) {
                m_failedInARow = 0;
                noteGap();
                return true;
            }
            continue;
        }
        if (rc == AVERROR_EOF)
            return false;
        if (rc != AVERROR(EAGAIN)) {
            // A frame that cannot be decoded is skipped, as players do; the rest plays.
            skipDamage(rc);
            continue;
        }
        if (m_inputEnded)
            return false;

        rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc < 0) {
            // Demuxers also answer EIO for data that breaks their format; only a read that
            // the system refused is the disk's fault.
            const bool damage = rc == AVERROR_INVALIDDATA || isReadDamage(rc) ||
                                (rc == AVERROR(EIO) && !readFailed());
            if (rc == AVERROR(ENOMEM) || (rc != AVERROR_EOF && rc != AVERROR(EAGAIN) && !damage))
                throw EngineError(rc == AVERROR(ENOMEM)
                                      ? QStringLiteral("there is not enough memory to decode it")
                                      : QStringLiteral("the disk reported an error while reading "
                                                       "it (%1)")
                                            .arg(Ff::errorText(rc)));
            // A container that cannot be followed further ends the audio here; anything
            // but a plain end counts as damage.
            if (rc != AVERROR_EOF)
                ++m_damaged;
            m_inputEnded = true;
            avcodec_send_packet(m_codec.get(), nullptr);
            continue;
        }
        if (m_packet->stream_index == m_stream) {
            rc = avcodec_send_packet(m_codec.get(), m_packet.get());
            if (rc == AVERROR(ENOMEM))
                throw EngineError(QStringLiteral("there is not enough memory to decode it"));
            if (rc < 0 && rc != AVERROR(EAGAIN))
                skipDamage(rc);
        }
        av_packet_unref(m_packet.get());
    }
}

bool AudioDecoder::isReadDamage(int rc)
{
    // What demuxers return for data that is not what the container promised.
    return rc == AVERROR(EINVAL) || rc == AVERROR(EPERM) || rc == AVERROR_PATCHWELCOME ||
           rc == AVERROR_BUG || rc == AVERROR_UNKNOWN || rc == AVERROR(ERANGE);
}

bool AudioDecoder::readFailed() const
{
    const AVIOContext *io = m_format->pb;
    return io && io->error < 0 && io->error != AVERROR_EOF;
}

void AudioDecoder::noteGap()
{
    // Some containers resynchronise silently past damaged data: the audio then jumps ahead.
    const int64_t pts = m_frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE || m_frame->sample_rate <= 0)
        return;
    const AVStream *stream = m_format->streams[m_stream];
    const qint64 start =
        av_rescale_q(pts - m_startTime, stream->time_base, AVRational{1, m_frame->sample_rate});
    // Timestamps in milliseconds (ASF) round by a few samples; a real gap is larger.
    const qint64 slack = std::max<qint64>(64, m_frame->sample_rate / 100);
    // Ogg stamps a Vorbis frame after a change of block size hundreds of samples late and the
    // next one back in line: a jump is a gap only when the next frame's time keeps it.
    if (m_jumpedTo >= 0) {
        if (start > m_nextStart + slack) {
            ++m_damaged;
            m_nextStart = m_jumpedTo;
        }
        m_jumpedTo = -1;
    }
    if (m_nextStart >= 0 && start > m_nextStart + slack) {
        m_jumpedTo = start + m_frame->nb_samples;
        m_nextStart += m_frame->nb_samples;
        return;
    }
    m_nextStart = start + m_frame->nb_samples;
}

void AudioDecoder::skipDamage(int rc)
{
    if (rc == AVERROR(ENOMEM))
        throw EngineError(QStringLiteral("there is not enough memory to decode it"));
    ++m_damaged;
    // A decoder that fails over and over without ever giving audio again is past saving.
    if (++m_failedInARow > MaxFailuresInARow)
        throw EngineError(QStringLiteral("it is damaged: nothing more could be decoded after %1 "
                                         "damaged parts")
                              .arg(m_damaged));
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
    m_nextStart = -1;
    m_jumpedTo = -1;
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
