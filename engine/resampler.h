#pragma once

#include "engine/ffmpeghandles.h"

#include <vector>

// Converts float interleaved PCM to another rate and channel count. Mono is spread to
// both sides at full level; stereo folds to mono as the mean of the two sides.
class Resampler
{
public:
    Resampler(int inRate, int inChannels, int outRate, int outChannels);

    // The converted frames of `frames` input frames; valid until the next call.
    const float *convert(const float *in, int frames, int *outFrames);
    // The frames still held back by the filter, at the end of the input.
    const float *flush(int *outFrames);

private:
    const float *run(const float *in, int frames, int *outFrames);

    Ff::Swr m_swr;
    int m_inRate;
    int m_outRate;
    int m_outChannels;
    std::vector<float> m_buffer;
};
