#pragma once

#include "options/encodersink.h"

class Converter;

// The encoder settings go straight to the engine's output converter.
class ConverterEncoder : public EncoderSink
{
public:
    explicit ConverterEncoder(Converter &writer)
        : m_writer(&writer)
    {
    }
    void setConverter(Converter &writer) { m_writer = &writer; }

    bool CheckOggFormat(int rate, int channels, int bitrate, int minBitrate,
                        int maxBitrate) override;
    void SetOggFormat(int rate, int channels, int bitrate, int minBitrate, int maxBitrate,
                      qint16 quality) override;
    void SetWavFormat(int rate, int channels, int bits) override;
    void SetWmaProfile(int profile) override;
    void SetMp3Settings(const Mp3Settings &settings) override;
    QString FormatString() override;
    void setSwitch(bool on) override;

private:
    Converter *m_writer;
};
