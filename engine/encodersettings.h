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

namespace EncoderFormats {

// True when libvorbis can encode this bitrate-managed setting.
bool vorbisAccepts(int rate, int channels, int bitrate, int minBitrate, int maxBitrate);

QString describe(const Mp3Settings &settings);
QString describe(const OggFormat &format);
QString describe(const WavFormat &format);
QString describe(const WmaFormat &format);

QString channelText(int channels);

} // namespace EncoderFormats
