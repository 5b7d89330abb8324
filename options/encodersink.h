#pragma once

#include <QString>
#include <QtGlobal>

class Mp3Settings;

// The encoder settings of the output converter, as the options dialog pushes them. Production
// code forwards to the engine's Converter; tests record what reached it.
class EncoderSink
{
public:
    virtual ~EncoderSink() = default;

    virtual bool CheckOggFormat(int rate, int channels, int bitrate, int minBitrate,
                                int maxBitrate) = 0;
    // quality -1: bitrate-managed; otherwise 0..1000.
    virtual void SetOggFormat(int rate, int channels, int bitrate, int minBitrate, int maxBitrate,
                              qint16 quality) = 0;
    virtual void SetWavFormat(int rate, int channels, int bits) = 0;
    virtual void SetWmaProfile(int profile) = 0;
    virtual void SetMp3Settings(const Mp3Settings &settings) = 0;
    // A description of the format set last.
    virtual QString FormatString() = 0;
    // The converter's boolean switch, set when the options load.
    virtual void setSwitch(bool on) = 0;
};
