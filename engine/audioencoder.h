#pragma once

// One output format's encoder. It receives float interleaved PCM at its own rate and
// channel count and writes the encoded file to the device it was given.
class AudioEncoder
{
public:
    virtual ~AudioEncoder() = default;
    // Encodes `frames` frames; EngineError on failure.
    virtual void write(const float *samples, int frames) = 0;
    // Drains the encoder and completes the file's headers.
    virtual void finish() = 0;
};
