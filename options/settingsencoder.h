#pragma once

#include "convert/encodersettings.h"
#include "options/encodersink.h"

#include <optional>

// The options pages push their settings into the window's live encoder settings: plain
// values that each conversion run copies when it starts.
class SettingsEncoder : public EncoderSink
{
public:
    explicit SettingsEncoder(EncoderSettingsSet &settings)
        : m_settings(settings)
    {
    }

    bool CheckOggFormat(int rate, int channels, int bitrate, int minBitrate,
                        int maxBitrate) override;
    void SetOggFormat(int rate, int channels, int bitrate, int minBitrate, int maxBitrate,
                      qint16 quality) override;
    void SetWavFormat(int rate, int channels, int bits) override;
    void SetWmaProfile(int profile) override;
    void SetMp3Settings(const Mp3Settings &settings) override;
    void SetFormat(const EncoderSettings &settings) override;
    QString FormatString() override;

private:

    EncoderSettingsSet &m_settings;
    std::optional<OutputFormatId> m_last;
};
