#include "engine/mp3encoder.h"

#include "engine/engineerror.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>

namespace {

constexpr int BlockFrames = 8192;

} // namespace

int Mp3Encoder::nearestRate(int rate)
{
    static constexpr std::array<int, 9> rates{8000,  11025, 12000, 16000, 22050,
                                              24000, 32000, 44100, 48000};
    return *std::min_element(rates.begin(), rates.end(), [rate](int a, int b) {
        return std::abs(a - rate) < std::abs(b - rate);
    });
}

int Mp3Encoder::nearestBitrate(int kbps, int rate)
{
    static constexpr std::array<int, 14> mpeg1{32,  40,  48,  56,  64,  80,  96,
                                               112, 128, 160, 192, 224, 256, 320};
    static constexpr std::array<int, 14> mpeg2{8,  16, 24, 32,  40,  48,  56,
                                               64, 80, 96, 112, 128, 144, 160};
    const int at = nearestRate(rate);
    const auto nearest = [kbps](const auto &steps, std::size_t count) {
        return *std::min_element(steps.begin(), steps.begin() + count, [kbps](int a, int b) {
            return std::abs(a - kbps) < std::abs(b - kbps);
        });
    };
    if (at >= 32000)
        return nearest(mpeg1, mpeg1.size());
    if (at >= 16000)
        return nearest(mpeg2, mpeg2.size());
    return nearest(mpeg2, 8); // up to 64
}

Mp3Encoder::LameHandle Mp3Encoder::startLame(const Mp3Settings &s, int rate, int channels,
                                             bool infoFrame)
{
    // LAME fills some shared tables on its first setup; instances may start on several threads.
    static std::mutex setup;
    const std::lock_guard lock(setup);
    LameHandle lame(lame_init());
    if (!lame)
        throw EngineError(QStringLiteral("The MP3 encoder cannot start"));
    lame_t g = lame.get();
    lame_set_in_samplerate(g, rate);
    lame_set_out_samplerate(g, rate);
    lame_set_num_channels(g, channels);
    lame_set_mode(g, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_quality(g, std::clamp(s.EncoderQuality, 0, 9));
    lame_set_bWriteVbrTag(g, infoFrame ? 1 : 0);
    lame_set_write_id3tag_automatic(g, 0);
    const int maxRate = nearestBitrate(s.MaxVbrBitrate, rate);
    switch (s.VbrMethod) {
    case 0:
    case 1:
    case 2:
    case 3: {
        static constexpr std::array<vbr_mode, 4> modes{vbr_default, vbr_rh, vbr_mt, vbr_mtrh};
        lame_set_VBR(g, modes[size_t(s.VbrMethod)]);
        lame_set_VBR_q(g, std::clamp(s.VbrQuality, 0, 9));
        lame_set_VBR_max_bitrate_kbps(g, maxRate);
        break;
    }
    case 4:
        lame_set_VBR(g, vbr_abr);
        lame_set_VBR_mean_bitrate_kbps(g, nearestBitrate(s.Bitrate, rate));
        lame_set_VBR_max_bitrate_kbps(g, std::max(maxRate, nearestBitrate(s.Bitrate, rate)));
        break;
    default:
        lame_set_VBR(g, vbr_off);
        lame_set_brate(g, nearestBitrate(s.Bitrate, rate));
        break;
    }
    static constexpr std::array<int, 5> presets{STANDARD_FAST, STANDARD, EXTREME_FAST, EXTREME,
                                                INSANE};
    if (s.AlternativePreset >= 1 && s.AlternativePreset <= 5)
        lame_set_preset(g, presets[size_t(s.AlternativePreset - 1)]);

    if (lame_init_params(g) < 0)
        throw EngineError(QStringLiteral("The MP3 encoder refuses these settings"));
    return lame;
}

Mp3Encoder::Mp3Encoder(QIODevice &out, const Mp3Settings &s, int rate, int channels)
    : m_out(out)
    , m_lame(startLame(s, rate, channels, true))
    , m_channels(channels)
{
    m_start = out.pos();
    m_buffer.resize(size_t(BlockFrames * 5 / 4 + 7200));
}

void Mp3Encoder::put(int bytes)
{
    if (bytes < 0)
        throw EngineError(QStringLiteral("MP3 encoding failed (%1)").arg(bytes));
    if (bytes > 0 && m_out.write(reinterpret_cast<const char *>(m_buffer.data()), bytes) != bytes)
        throw EngineError(QStringLiteral("Cannot write the output: %1").arg(m_out.errorString()));
}

void Mp3Encoder::write(const float *samples, int frames)
{
    while (frames > 0) {
        const int n = std::min(frames, BlockFrames);
        const int size = int(m_buffer.size());
        int bytes;
        if (m_channels == 2)
            bytes = lame_encode_buffer_interleaved_ieee_float(m_lame.get(), samples, n,
                                                              m_buffer.data(), size);
        else
            bytes = lame_encode_buffer_ieee_float(m_lame.get(), samples, samples, n,
                                                  m_buffer.data(), size);
        put(bytes);
        samples += size_t(n) * size_t(m_channels);
        frames -= n;
    }
}

void Mp3Encoder::finish()
{
    put(lame_encode_flush(m_lame.get(), m_buffer.data(), int(m_buffer.size())));
    // The header frame at the start was written empty; now it can tell the real length.
    const size_t tag = lame_get_lametag_frame(m_lame.get(), m_buffer.data(), m_buffer.size());
    if (tag > 0 && tag <= m_buffer.size()) {
        const qint64 end = m_out.pos();
        if (!m_out.seek(m_start))
            throw EngineError(QStringLiteral("Cannot complete the MP3 header"));
        put(int(tag));
        m_out.seek(end);
    }
}
