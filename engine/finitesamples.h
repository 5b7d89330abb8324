#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// Encoders assume finite samples within full scale: LAME's psychoacoustic model asserts on
// a NaN, the WMA encoder refuses infinities and far out-of-range values. A float source
// may hold anything, so every block is checked before an encoder sees it: NaN becomes
// silence, infinities and values past full scale become full scale.
class FiniteSamples
{
public:
    // `count` samples from `in`, or a cleaned copy of them when any needs mending. The
    // result stays valid until the next call.
    const float *clean(const float *in, size_t count)
    {
        // Blocks without a branch inside first, so that the test runs several samples at
        // a time; the first block with a bad sample is then searched one by one.
        constexpr size_t Block = 64;
        size_t i = 0;
        for (; i + Block <= count && blockOk(in + i, Block); i += Block) {
        }
        while (i < count && ok(in[i]))
            ++i;
        if (i == count)
            return in;
        m_buffer.assign(in, in + count);
        for (; i < count; ++i)
            m_buffer[i] = mended(m_buffer[i]);
        return m_buffer.data();
    }

    static bool blockOk(const float *block, size_t n)
    {
        int bad = 0;
        for (size_t i = 0; i < n; ++i)
            bad |= int(!(std::fabs(block[i]) <= 1.0f)); // NaN too
        return bad == 0;
    }

    static bool ok(float v) { return v >= -1.0f && v <= 1.0f; } // false for NaN too

    static float mended(float v)
    {
        if (std::isnan(v))
            return 0.0f;
        if (v > 1.0f)
            return 1.0f;
        if (v < -1.0f)
            return -1.0f;
        return v;
    }

private:
    std::vector<float> m_buffer;
};
