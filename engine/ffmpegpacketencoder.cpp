#include "engine/ffmpegpacketencoder.h"

#include "engine/engineerror.h"
#include "engine/ffmpegmuxer.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int PcmFrameSize = 4096;

// Float when the encoder takes it (nothing to round); integers at the depth asked for;
// else what the encoder lists first.
AVSampleFormat sampleFormatFor(const AVCodec *codec, int pcmBits)
{
    const AVSampleFormat *formats = codec->sample_fmts;
    if (!formats)
        return AV_SAMPLE_FMT_FLTP;
    for (const AVSampleFormat *f = formats; *f != AV_SAMPLE_FMT_NONE; ++f) {
        if (pcmBits == 0 && (*f == AV_SAMPLE_FMT_FLT || *f == AV_SAMPLE_FMT_FLTP))
            return *f;
        if (pcmBits > 16 && *f == AV_SAMPLE_FMT_S32)
            return *f;
    }
    return formats[0];
}

// The encoder's own layout with this many channels, when it lists layouts.
const AVChannelLayout *listedLayout(const AVCodec *codec, int channels)
{
    for (const AVChannelLayout *l = codec->ch_layouts; l && l->nb_channels > 0; ++l) {
        if (l->nb_channels == channels)
            return l;
    }
    return nullptr;
}

[[noreturn]] void fail(const QString &what, int code)
{
    throw EngineError(QStringLiteral("%1: %2").arg(what, Ff::errorText(code)));
}

} // namespace

FfmpegPacketEncoder::FfmpegPacketEncoder(const FfmpegEncoderSetup &setup, PacketSink sink)
    : m_sink(std::move(sink))
{
    const AVCodec *codec = avcodec_find_encoder_by_name(setup.encoder.toLatin1().constData());
    if (!codec)
        throw EngineError(QStringLiteral("The encoder %1 is not available").arg(setup.encoder));

    m_codec.reset(avcodec_alloc_context3(codec));
    AVCodecContext *c = m_codec.get();
    if (!c)
        throw EngineError(QStringLiteral("Out of memory"));
    c->sample_fmt = sampleFormatFor(codec, setup.pcmBits);
    c->sample_rate = setup.rate;
    if (setup.layoutMask != 0)
        av_channel_layout_from_mask(&c->ch_layout, setup.layoutMask);
    else if (const AVChannelLayout *listed = listedLayout(codec, setup.channels))
        av_channel_layout_copy(&c->ch_layout, listed);
    else
        av_channel_layout_default(&c->ch_layout, setup.channels);
    c->time_base = AVRational{1, setup.rate};
    c->bit_rate = setup.bitRate;
    c->rc_min_rate = setup.minRate;
    c->rc_max_rate = setup.maxRate;
    if (setup.quality >= 0) {
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = int(setup.quality / 100.0 * FF_QP2LAMBDA + 0.5);
    }
    if (setup.pcmBits > 0)
        c->flags |= AV_CODEC_FLAG_BITEXACT;
    if (c->sample_fmt == AV_SAMPLE_FMT_S32 && setup.pcmBits > 0 && setup.pcmBits < 32)
        c->bits_per_raw_sample = setup.pcmBits; // FLAC stores 24 bits, not 32
    if (setup.compressionLevel >= 0)
        c->compression_level = setup.compressionLevel;
    if (FfmpegMuxer::wantsGlobalHeader(setup.muxer))
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *codecOptions = nullptr;
    for (const auto &[name, value] : setup.options)
        av_dict_set(&codecOptions, name.constData(), value.constData(), 0);
    const int rc = avcodec_open2(c, codec, &codecOptions);
    av_dict_free(&codecOptions);
    if (rc < 0)
        fail(QStringLiteral("The encoder refuses these settings"), rc);

    if (setup.pcmBits > 0) {
        m_quantizer.emplace(setup.pcmBits);
        if (c->sample_fmt == AV_SAMPLE_FMT_S32 && setup.pcmBits < 32)
            m_shift = 32 - setup.pcmBits;
    }
    const bool variable = codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
    m_frameSize = (c->frame_size > 0 && !variable) ? c->frame_size : PcmFrameSize;
    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_frame || !m_packet)
        throw EngineError(QStringLiteral("Out of memory"));
    newFrame();
}

void FfmpegPacketEncoder::newFrame()
{
    AVFrame *f = m_frame.get();
    av_frame_unref(f);
    f->nb_samples = m_frameSize;
    f->format = m_codec->sample_fmt;
    f->sample_rate = m_codec->sample_rate;
    av_channel_layout_copy(&f->ch_layout, &m_codec->ch_layout);
    if (av_frame_get_buffer(f, 0) < 0)
        throw EngineError(QStringLiteral("Out of memory"));
    m_fill = 0;
}

void FfmpegPacketEncoder::store(const float *in, int frames)
{
    AVFrame *f = m_frame.get();
    const int ch = m_codec->ch_layout.nb_channels;
    const int at = m_fill;
    switch (m_codec->sample_fmt) {
    case AV_SAMPLE_FMT_FLTP:
        for (int c = 0; c < ch; ++c) {
            auto *dst = reinterpret_cast<float *>(f->extended_data[c]) + at;
            for (int i = 0; i < frames; ++i)
                dst[i] = in[size_t(i) * size_t(ch) + size_t(c)];
        }
        break;
    case AV_SAMPLE_FMT_FLT:
        std::memcpy(reinterpret_cast<float *>(f->data[0]) + size_t(at) * size_t(ch), in,
                    size_t(frames) * size_t(ch) * sizeof(float));
        break;
    case AV_SAMPLE_FMT_U8: {
        auto *dst = f->data[0] + size_t(at) * size_t(ch);
        m_quantizer->quantize(in, 1, size_t(frames) * size_t(ch),
                              [dst](size_t i, int32_t v) { dst[i] = uint8_t(v + 128); });
        break;
    }
    case AV_SAMPLE_FMT_S16: {
        auto *dst = reinterpret_cast<int16_t *>(f->data[0]) + size_t(at) * size_t(ch);
        m_quantizer->quantize(in, 1, size_t(frames) * size_t(ch),
                              [dst](size_t i, int32_t v) { dst[i] = int16_t(v); });
        break;
    }
    case AV_SAMPLE_FMT_S16P:
        for (int c = 0; c < ch; ++c) {
            auto *dst = reinterpret_cast<int16_t *>(f->extended_data[c]) + at;
            m_quantizer->quantize(in + c, size_t(ch), size_t(frames),
                                  [dst](size_t i, int32_t v) { dst[i] = int16_t(v); });
        }
        break;
    case AV_SAMPLE_FMT_S32: {
        auto *dst = reinterpret_cast<int32_t *>(f->data[0]) + size_t(at) * size_t(ch);
        const int shift = m_shift;
        m_quantizer->quantize(
            in, 1, size_t(frames) * size_t(ch),
            [dst, shift](size_t i, int32_t v) { dst[i] = int32_t(uint32_t(v) << shift); });
        break;
    }
    default:
        throw EngineError(QStringLiteral("Unsupported sample format"));
    }
    m_fill += frames;
}

void FfmpegPacketEncoder::write(const float *samples, int frames)
{
    const int ch = m_codec->ch_layout.nb_channels;
    if (m_quantizer)
        m_quantizer->begin(samples, size_t(frames) * size_t(ch));
    while (frames > 0) {
        const int n = std::min(frames, m_frameSize - m_fill);
        store(samples, n);
        samples += size_t(n) * size_t(ch);
        frames -= n;
        if (m_fill == m_frameSize) {
            send(m_frame.get());
            newFrame();
        }
    }
}

void FfmpegPacketEncoder::send(AVFrame *frame)
{
    if (frame) {
        frame->pts = m_pts;
        m_pts += frame->nb_samples;
        if (m_observer)
            m_observer(*frame);
    }
    int rc = avcodec_send_frame(m_codec.get(), frame);
    if (rc < 0)
        fail(QStringLiteral("Encoding failed"), rc);
    for (;;) {
        rc = avcodec_receive_packet(m_codec.get(), m_packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return;
        if (rc < 0)
            fail(QStringLiteral("Encoding failed"), rc);
        m_sink(*m_packet);
        av_packet_unref(m_packet.get());
    }
}

void FfmpegPacketEncoder::finish()
{
    if (m_fill > 0) {
        m_frame->nb_samples = m_fill;
        send(m_frame.get());
    }
    send(nullptr);
}
