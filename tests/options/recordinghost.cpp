#include "recordinghost.h"

#include "engine/engineerror.h"

QStringList RecordingEncoder::callsOf(const QString &name) const
{
    QStringList out;
    for (const QString &call : calls)
        if (call.section(QLatin1Char(' '), 0, 0) == name)
            out << call;
    return out;
}

void RecordingEncoder::record(const char *name, std::initializer_list<int> values, const char *set)
{
    QString line = QLatin1String(name);
    for (int v : values)
        line += QLatin1Char(' ') + QString::number(v);
    calls << line;
    if (set)
        m_lastSet = QLatin1String(set);
}

bool RecordingEncoder::CheckOggFormat(int rate, int channels, int bitrate, int min, int max)
{
    record("CheckOggFormat", {rate, channels, bitrate, min, max});
    return acceptOgg;
}

void RecordingEncoder::SetOggFormat(int rate, int channels, int bitrate, int min, int max,
                                    qint16 quality)
{
    record("SetOggFormat", {rate, channels, bitrate, min, max, quality}, "ogg");
}

void RecordingEncoder::SetWavFormat(int rate, int channels, int bits)
{
    record("SetWavFormat", {rate, channels, bits}, "wav");
}

void RecordingEncoder::SetWmaProfile(int profile)
{
    record("SetWmaProfile", {profile});
    if (profile == failProfile)
        throw EngineError(QStringLiteral("profile refused"));
    m_lastSet = QStringLiteral("wma%1").arg(profile);
}

void RecordingEncoder::SetMp3Settings(const Mp3Settings &s)
{
    record("SetMp3Settings",
           {s.SampleRate, s.VbrMethod, s.Channels, s.EncoderQuality, s.Bitrate, s.MaxVbrBitrate,
            s.VbrQuality, s.AlternativePreset},
           "mp3");
}
