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

QString RecordingEncoder::last(const QString &name) const
{
    const QStringList all = callsOf(name);
    return all.isEmpty() ? QString() : all.last();
}

bool RecordingEncoder::CheckOggFormat(int rate, int channels, int bitrate, int minBitrate,
                                      int maxBitrate)
{
    calls << QStringLiteral("CheckOggFormat %1 %2 %3 %4 %5")
                 .arg(rate)
                 .arg(channels)
                 .arg(bitrate)
                 .arg(minBitrate)
                 .arg(maxBitrate);
    return acceptOgg;
}

void RecordingEncoder::SetOggFormat(int rate, int channels, int bitrate, int minBitrate,
                                    int maxBitrate, qint16 quality)
{
    calls << QStringLiteral("SetOggFormat %1 %2 %3 %4 %5 %6")
                 .arg(rate)
                 .arg(channels)
                 .arg(bitrate)
                 .arg(minBitrate)
                 .arg(maxBitrate)
                 .arg(quality);
    m_lastSet = QStringLiteral("ogg");
}

void RecordingEncoder::SetWavFormat(int rate, int channels, int bits)
{
    calls << QStringLiteral("SetWavFormat %1 %2 %3").arg(rate).arg(channels).arg(bits);
    m_lastSet = QStringLiteral("wav");
}

void RecordingEncoder::SetWmaProfile(int profile)
{
    calls << QStringLiteral("SetWmaProfile %1").arg(profile);
    if (profile == failProfile)
        throw EngineError(QStringLiteral("profile refused"));
    m_lastSet = QStringLiteral("wma%1").arg(profile);
}

void RecordingEncoder::SetMp3Settings(const Mp3Settings &s)
{
    calls << QStringLiteral("SetMp3Settings %1 %2 %3 %4 %5 %6 %7 %8")
                 .arg(s.SampleRate)
                 .arg(s.VbrMethod)
                 .arg(s.Channels)
                 .arg(s.EncoderQuality)
                 .arg(s.Bitrate)
                 .arg(s.MaxVbrBitrate)
                 .arg(s.VbrQuality)
                 .arg(s.AlternativePreset);
    lastMp3 = s;
    m_lastSet = QStringLiteral("mp3");
}

QString RecordingEncoder::FormatString()
{
    return format + QLatin1Char(' ') + m_lastSet;
}

void RecordingEncoder::setSwitch(bool on)
{
    calls << QStringLiteral("setSwitch %1").arg(on ? 1 : 0);
}

void RecordingHost::rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder)
{
    for (Row &row : rows)
        row.saveTo = intoSourceFolder ? row.from : outputFolder;
}

void RecordingHost::setJobListBackground(const QColor &colour)
{
    listBackground = colour;
    ++backgroundChanges;
}
