#include "engine/resampler.h"

#include "engine/engineerror.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <vector>

Resampler::Resampler(int inRate, int inChannels, int outRate, int outChannels)
    : m_inRate(inRate)
    , m_outRate(outRate)
    , m_outChannels(outChannels)
{
    AVChannelLayout in{};
    AVChannelLayout out{};
    av_channel_layout_default(&in, inChannels);
    av_channel_layout_default(&out, outChannels);
    // Counts without a standard speaker layout (say 44 channels) cannot be remixed by
    // position: channel i goes to output channel i modulo the output's count instead.
    const bool byNumber = inChannels != outChannels && (in.order != AV_CHANNEL_ORDER_NATIVE ||
                                                        out.order != AV_CHANNEL_ORDER_NATIVE);
    SwrContext *raw = nullptr;
    int rc = swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_FLT, outRate, &in, AV_SAMPLE_FMT_FLT,
                                 inRate, 0, nullptr);
    m_swr.reset(raw);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (rc < 0)
        throw EngineError(QStringLiteral("Cannot convert %1 Hz %2 channels to %3 Hz %4 channels")
                              .arg(inRate)
                              .arg(inChannels)
                              .arg(outRate)
                              .arg(outChannels));
    // Folding several channels into fewer must not clip.
    av_opt_set_double(raw, "rematrix_maxval", 1.0, 0);
    if (byNumber) {
        std::vector<double> matrix(size_t(inChannels) * size_t(outChannels), 0.0);
        for (int o = 0; o < outChannels; ++o) {
            const int sources = (inChannels - o + outChannels - 1) / outChannels;
            for (int i = o; i < inChannels; i += outChannels)
                matrix[size_t(o) * size_t(inChannels) + size_t(i)] = 1.0 / std::max(1, sources);
        }
        if (inChannels < outChannels) {
            // Fewer inputs than outputs: every output takes the input of its number.
            std::fill(matrix.begin(), matrix.end(), 0.0);
            for (int o = 0; o < outChannels; ++o)
                matrix[size_t(o) * size_t(inChannels) + size_t(o % inChannels)] = 1.0;
        }
        swr_set_matrix(raw, matrix.data(), inChannels);
    } else if (inChannels == 1 && outChannels == 2) {
        const double matrix[2] = {1.0, 1.0};
        swr_set_matrix(raw, matrix, 1);
    } else if (inChannels == 2 && outChannels == 1) {
        const double matrix[2] = {0.5, 0.5};
        swr_set_matrix(raw, matrix, 2);
    }
    if (swr_init(raw) < 0)
        throw EngineError(QStringLiteral("Cannot convert %1 Hz %2 channels to %3 Hz %4 channels")
                              .arg(inRate)
                              .arg(inChannels)
                              .arg(outRate)
                              .arg(outChannels));
}

const float *Resampler::run(const float *in, int frames, int *outFrames)
{
    const int bound = swr_get_out_samples(m_swr.get(), frames) + 16;
    if (m_buffer.size() < size_t(bound) * size_t(m_outChannels))
        m_buffer.resize(size_t(bound) * size_t(m_outChannels));
    uint8_t *out[1] = {reinterpret_cast<uint8_t *>(m_buffer.data())};
    const uint8_t *inPlanes[1] = {reinterpret_cast<const uint8_t *>(in)};
    const int n = swr_convert(m_swr.get(), out, bound, in ? inPlanes : nullptr, frames);
    if (n < 0)
        throw EngineError(QStringLiteral("Resampling failed"));
    *outFrames = n;
    return m_buffer.data();
}

const float *Resampler::convert(const float *in, int frames, int *outFrames)
{
    return run(in, frames, outFrames);
}

const float *Resampler::flush(int *outFrames)
{
    return run(nullptr, 0, outFrames);
}
