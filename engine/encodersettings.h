#pragma once

#include "engine/mp3settings.h"

#include <QString>

// The encoder settings a Converter holds for each output format, and their descriptions.

struct OggFormat
{
    int rate = 44100;
    int channels = 2;
    int bitrate = 128;  // kbit/s, nominal
    int minBitrate = 0; // kbit/s, 0 = none
    int maxBitrate = 0;
    int quality = 400; // 0..1000 = Vorbis quality 0.0..10.0; -1 = bitrate-managed
};

struct WavFormat
{
    int rate = 44100;
    int channels = 2;
    int bitsPerSample = 16;
    // 2..5 bits: compressed as IMA ADPCM, whose 4-bit code is what WAV players decode.
    bool adpcm() const { return bitsPerSample >= 2 && bitsPerSample <= 5; }
};

// A WMA profile number resolved to the nearest setting the WMA v2 encoder accepts.
struct WmaFormat
{
    int profile = 13;
    int rate = 44100;
    int channels = 2;
    int bitrate = 64; // kbit/s

    // False for a number that is not one of the profiles.
    static bool fromProfile(int profile, WmaFormat *format);
};

// For the formats below, 0 as rate, channels or bits means "as source": the writer keeps
// what the incoming PCM (or the source, for the depth) has.

// FLAC keeps every sample as it is; the depth is 16 or 24 bits, "as source" being the
// source's own depth (16 for sources without one, such as MP3; 24 at most).
struct FlacFormat
{
    int level = 5; // compression level 0..8
    int bits = 0;  // 16, 24, or 0 = as source
    int rate = 0;
    int channels = 0;
};

// Opus is always encoded at 48 kHz.
struct OpusFormat
{
    enum class Mode { Vbr, ConstrainedVbr, Cbr };
    int bitrate = 128; // kbit/s, 6..256
    Mode mode = Mode::Vbr;
    int channels = 0;
};

// AAC in an MP4 (.m4a) file.
struct M4aFormat
{
    int bitrate = 192; // kbit/s, 32..320
    int rate = 0;
    int channels = 0;
};

namespace EncoderFormats {

// True when libvorbis can encode this bitrate-managed setting.
bool vorbisAccepts(int rate, int channels, int bitrate, int minBitrate, int maxBitrate);

QString describe(const Mp3Settings &settings);
QString describe(const OggFormat &format);
QString describe(const WavFormat &format);
QString describe(const WmaFormat &format);
QString describe(const FlacFormat &format);
QString describe(const OpusFormat &format);
QString describe(const M4aFormat &format);

QString channelText(int channels);

} // namespace EncoderFormats
