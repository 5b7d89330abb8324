#include "options/settingsencoder.h"

#include "engine/engineerror.h"

#include <algorithm>

void SettingsEncoder::SetFormat(const EncoderSettings &settings)
{
    m_settings.set(settings);
    m_last = formatOf(settings);
}

bool SettingsEncoder::CheckOggFormat(int rate, int channels, int bitrate, int minBitrate,
                                     int maxBitrate)
{
    return EncoderFormats::vorbisAccepts(rate, channels, bitrate, minBitrate, maxBitrate);
}

void SettingsEncoder::SetOggFormat(int rate, int channels, int bitrate, int minBitrate,
                                   int maxBitrate, qint16 quality)
{
    SetFormat(OggFormat{rate, channels, bitrate, minBitrate, maxBitrate,
                  quality < 0 ? -1 : std::min<int>(quality, 1000)});
}

void SettingsEncoder::SetWavFormat(int rate, int channels, int bits)
{
    SetFormat(WavFormat{rate, channels, bits});
}

void SettingsEncoder::SetWmaProfile(int profile)
{
    WmaFormat format;
    if (!WmaFormat::fromProfile(profile, &format))
        throw EngineError(QStringLiteral("Unknown WMA profile %1").arg(profile));
    SetFormat(format);
}

void SettingsEncoder::SetMp3Settings(const Mp3Settings &settings)
{
    SetFormat(settings);
}

QString SettingsEncoder::FormatString()
{
    return m_last ? EncoderSetup::describe(m_settings[*m_last]) : QString();
}
