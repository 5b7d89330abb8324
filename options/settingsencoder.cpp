#include "options/settingsencoder.h"

#include "engine/engineerror.h"

#include <algorithm>

void SettingsEncoder::set(const EncoderSettings &settings)
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
    set(OggFormat{rate, channels, bitrate, minBitrate, maxBitrate,
                  quality < 0 ? -1 : std::min<int>(quality, 1000)});
}

void SettingsEncoder::SetWavFormat(int rate, int channels, int bits)
{
    set(WavFormat{rate, channels, bits});
}

void SettingsEncoder::SetWmaProfile(int profile)
{
    WmaFormat format;
    if (!WmaFormat::fromProfile(profile, &format))
        throw EngineError(QStringLiteral("Unknown WMA profile %1").arg(profile));
    set(format);
}

void SettingsEncoder::SetMp3Settings(const Mp3Settings &settings)
{
    set(settings);
}

QString SettingsEncoder::FormatString()
{
    return m_last ? EncoderSetup::describe(m_settings[*m_last]) : QString();
}
