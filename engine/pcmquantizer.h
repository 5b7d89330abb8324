#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

// Float samples to whole numbers of a given bit depth. Data that already lies on the
// target grid (a 16-bit source written as 16 bits) is converted exactly; anything finer
// is reduced with triangular dither, so the lost precision becomes a low even noise
// instead of distortion.
class PcmQuantizer
{
public:
    explicit PcmQuantizer(int bits)
        : m_scale(std::ldexp(1.0, bits - 1))
        , m_max(m_scale - 1.0)
        , m_canDither(bits < 32)
    {
    }

    // Decides for one block of samples whether it needs dither.
    void begin(const float *samples, size_t count)
    {
        m_dither = false;
        if (!m_canDither)
            return;
        for (size_t i = 0; i < count; ++i) {
            const double v = double(samples[i]) * m_scale;
            if (v != std::nearbyint(v) || v > m_max || v < -m_scale) {
                m_dither = true;
                return;
            }
        }
    }

    int32_t operator()(float sample)
    {
        double v = double(sample) * m_scale;
        if (m_dither)
            v += triangular();
        v = std::nearbyint(v);
        if (v > m_max)
            v = m_max;
        else if (v < -m_scale)
            v = -m_scale;
        return int32_t(v);
    }

private:
    // The difference of two uniform values in (-1, 1) LSB, both from one xorshift64 draw:
    // fast, and good enough for dither noise.
    double triangular()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        const double a = double(uint32_t(m_state));
        const double b = double(uint32_t(m_state >> 32));
        return (a - b) * (1.0 / 4294967296.0);
    }

    double m_scale;
    double m_max;
    bool m_canDither;
    bool m_dither = false;
    uint64_t m_state = 0x9E3779B97F4A7C15ull;
};
