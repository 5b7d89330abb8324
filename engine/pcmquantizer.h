#pragma once

#include <algorithm>
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
        : m_scale(double(uint64_t(1) << (bits - 1)))
        , m_max(m_scale - 1.0)
        , m_canDither(bits < 32)
    {
    }

    // Decides for one block of samples how quantize() treats them: exactly when every one
    // is on the grid, else with dither (rounded only at 32 bits, where there is no room
    // for it).
    void begin(const float *samples, size_t count)
    {
        if (!m_canDither)
            m_mode = Mode::Round; // exact samples round to themselves
        else
            m_mode = onGrid(samples, count) ? Mode::Exact : Mode::Dither;
    }

    // Quantizes in[0], in[stride], ... (`count` samples of the block given to begin(), in
    // the order they are written, which the dither sequence follows) and hands each to
    // put(index, value).
    template <typename Put> void quantize(const float *in, size_t stride, size_t count, Put put)
    {
        const double scale = m_scale;
        if (m_mode == Mode::Exact) {
            // Whole numbers within range: the product needs no rounding.
            for (size_t i = 0; i < count; ++i)
                put(i, int32_t(double(in[i * stride]) * scale));
            return;
        }
        const Range range{-scale, m_scale - 1.0};
        if (m_mode == Mode::Round) {
            for (size_t i = 0; i < count; ++i)
                put(i, rounded(double(in[i * stride]) * scale, range));
            return;
        }
        uint64_t state = m_state;
        for (size_t i = 0; i < count; ++i) {
            double v = double(in[i * stride]) * scale;
            v += triangular(state);
            put(i, rounded(v, range));
        }
        m_state = state;
    }

private:
    enum class Mode { Exact, Round, Dither };
    struct Range
    {
        double low;
        double high;
    };

    // Below 32 bits the grid and its bounds are exact in a float, and so is a sample
    // times the scale (a power of two): the test runs in floats, several at a time.
    bool onGrid(const float *samples, size_t count) const
    {
        const auto scale = float(m_scale);
        const auto low = -scale;
        const auto high = scale - 1.0f;
        // Without a branch inside, so that the compiler checks several samples at once.
        const auto offGrid = [&](const float *block, size_t n) {
            int off = 0;
            for (size_t i = 0; i < n; ++i) {
                const float v = block[i] * scale;
                // Clamped first so that the conversion is defined (a NaN becomes `low`).
                const float c = std::min(high, std::max(low, v));
                off |= int(float(int32_t(c)) != v);
            }
            return off != 0;
        };
        // A lossy source fails in its first block.
        constexpr size_t Block = 64;
        size_t at = 0;
        for (; at + Block <= count; at += Block) {
            if (offGrid(samples + at, Block))
                return false;
        }
        return !offGrid(samples + at, count - at);
    }

    // Rounds half to even like nearbyint() and clamps to the range. Adding and taking away
    // 1.5 * 2^52 leaves no fraction bits; values are first brought within one step of the
    // range, where that holds and the result clamps the same.
    static int32_t rounded(double v, Range r)
    {
        constexpr double Shift = 6755399441055744.0;
        v = std::min(r.high + 1.0, std::max(r.low - 1.0, v));
        v = (v + Shift) - Shift;
        return int32_t(std::min(r.high, std::max(r.low, v)));
    }

    // The difference of two uniform values in (-1, 1) LSB, both from one xorshift64 draw:
    // fast, and good enough for dither noise.
    static double triangular(uint64_t &state)
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        // Exact in a double: both halves and their difference are below 2^33.
        const int64_t a = int64_t(uint32_t(state));
        const int64_t b = int64_t(state >> 32);
        return double(a - b) * (1.0 / 4294967296.0);
    }

    double m_scale;
    double m_max;
    bool m_canDither;
    Mode m_mode = Mode::Round;
    uint64_t m_state = 0x9E3779B97F4A7C15ull;
};
