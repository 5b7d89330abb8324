#pragma once

// MP3 encoder settings: plain values written by the options dialog and read by
// Converter::SetMp3Settings, which copies them (later changes need another call).
class Mp3Settings
{
public:
    // Output sample rate in Hz (one of MPEG's rates; others go to the nearest one).
    int SampleRate = 44100;
    // -1 none (CBR at Bitrate), 0 default VBR, 1 old VBR, 2 new VBR, 3 MTRH, 4 ABR.
    int VbrMethod = -1;
    // 1 mono, 2 joint stereo.
    int Channels = 2;
    // LAME's algorithm quality, 0 (best, slowest) .. 9 (fastest).
    int EncoderQuality = 2;
    // kbit/s: the constant bitrate (CBR), the mean bitrate (ABR).
    int Bitrate = 128;
    // kbit/s: the largest bitrate VBR and ABR may use (ABR: at least Bitrate).
    int MaxVbrBitrate = 192;
    // VBR quality, 0 (best) .. 9 (smallest).
    int VbrQuality = 4;
    // 0 none; 1 Fast Standard, 2 Standard, 3 Fast Extreme, 4 Extreme, 5 Insane. A preset
    // overrides the bitrate, VBR and quality values above.
    int AlternativePreset = 0;
};
