#include "options/converterencoder.h"

#include "engine/converter.h"

bool ConverterEncoder::CheckOggFormat(int rate, int channels, int bitrate, int minBitrate,
                                      int maxBitrate)
{
    return m_writer->CheckOggFormat(rate, channels, bitrate, minBitrate, maxBitrate);
}

void ConverterEncoder::SetOggFormat(int rate, int channels, int bitrate, int minBitrate,
                                    int maxBitrate, qint16 quality)
{
    m_writer->SetOggFormat(rate, channels, bitrate, minBitrate, maxBitrate, quality);
}

void ConverterEncoder::SetWavFormat(int rate, int channels, int bits)
{
    m_writer->SetWavFormat(rate, channels, bits);
}

void ConverterEncoder::SetWmaProfile(int profile)
{
    m_writer->SetWmaProfile(profile);
}

void ConverterEncoder::SetMp3Settings(const Mp3Settings &settings)
{
    m_writer->SetMp3Settings(settings);
}

QString ConverterEncoder::FormatString()
{
    return m_writer->FormatString();
}

void ConverterEncoder::setSwitch(bool on)
{
    m_writer->setConvertFormat(on);
}
