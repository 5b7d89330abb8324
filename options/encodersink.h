#pragma once

#include "convert/encodersettings.h"

#include <QString>
#include <QtGlobal>

class Mp3Settings;

// Where the options dialog pushes the encoder settings. In the program they become the
// window's live settings, which each run copies; tests record what reached it.
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
    // The settings of any format as one value (the pages of the later formats push so).
    virtual void SetFormat(const EncoderSettings &settings) = 0;
    // A description of the format set last.
    virtual QString FormatString() = 0;
};
