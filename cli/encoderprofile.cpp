#include "cli/encoderprofile.h"

#include "engine/converter.h"
#include "engine/engineerror.h"
#include "settings/bitratesteps.h"
#include "settings/encoderchoices.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"
#include "settings/wmaprofiles.h"

#include <array>
#include <cmath>

namespace {

using EncoderChoices::Choice;

bool wholeNumber(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    const double whole = std::trunc(v);
    if (whole < min || whole > max)
        return false;
    *out = int(whole);
    return true;
}

template <size_t N> bool find(const std::array<Choice, N> &table, const QString &text, int *value)
{
    for (const Choice &n : table) {
        if (text == QLatin1String(n.text)) {
            *value = n.value;
            return true;
        }
    }
    return false;
}

} // namespace

void EncoderProfile::ignore(const char *section, const char *key, const QString &text) const
{
    const QString line = QStringLiteral("%1: the value \"%2\" of %3 in section [%4] is not usable; "
                                        "the default is used")
                             .arg(m_file, text, QLatin1String(key), QLatin1String(section));
    std::lock_guard lock(m_mutex);
    if (!m_ignored.contains(line))
        m_ignored << line;
}

QStringList EncoderProfile::ignored() const
{
    std::lock_guard lock(m_mutex);
    return m_ignored;
}

template <typename Table>
int EncoderProfile::lookup(const Table &table, const char *section, const char *key,
                           int fallback) const
{
    int v = 0;
    const QString text = ReadIni(m_file, QString::fromLatin1(section), QString::fromLatin1(key));
    if (find(table, text, &v))
        return v;
    if (!text.isEmpty())
        ignore(section, key, text);
    const QString shipped = ReadIni(SettingsFiles::shippedDefaults(), QString::fromLatin1(section),
                                    QString::fromLatin1(key));
    return find(table, shipped, &v) ? v : fallback;
}

EncoderProfile::EncoderProfile(const QString &settingsFile)
    : m_file(settingsFile)
{
}

QString EncoderProfile::value(const char *section, const char *key) const
{
    const QString s = QString::fromLatin1(section);
    const QString k = QString::fromLatin1(key);
    const QString text = ReadIni(m_file, s, k);
    return text.isEmpty() ? ReadIni(SettingsFiles::shippedDefaults(), s, k) : text;
}

int EncoderProfile::number(const char *section, const char *key, int min, int max) const
{
    int v = 0;
    const QString text = ReadIni(m_file, QString::fromLatin1(section), QString::fromLatin1(key));
    if (wholeNumber(text, min, max, &v))
        return v;
    if (!text.isEmpty())
        ignore(section, key, text);
    if (wholeNumber(ReadIni(SettingsFiles::shippedDefaults(), QString::fromLatin1(section),
                            QString::fromLatin1(key)),
                    min, max, &v))
        return v;
    return min;
}

bool EncoderProfile::apply(Converter &writer, const QString &extension, QString *error) const
{
    writer.setConvertFormat(true);
    const QString ext = extension.toLower();
    try {
        if (ext == QLatin1String(".mp3")) {
            Mp3Settings s;
            s.SampleRate =
                EncoderChoices::SampleRates[size_t(number("mp3", "frequency", 0, 8))].value;
            s.VbrMethod = number("mp3", "vbrcoding", 0, 5) - 1;
            s.Channels = number("mp3", "channel", 0, 4) == 0 ? 1 : 2;
            s.EncoderQuality = number("mp3", "quality", 0, 9);
            s.Bitrate = BitrateSteps[size_t(number("mp3", "bitrate", 0, 14))];
            s.MaxVbrBitrate = BitrateSteps[size_t(number("mp3", "vbrbitrate", 0, 14))];
            s.VbrQuality = number("mp3", "vbrquality", 0, 9);
            s.AlternativePreset =
                number("mp3", "altpresetenabled", 0, 1) ? number("mp3", "altpreset", 1, 5) : 0;
            writer.SetMp3Settings(s);
        } else if (ext == QLatin1String(".ogg")) {
            const int rate =
                EncoderChoices::SampleRates[size_t(number("ogg", "frequency", 0, 8))].value;
            const int channels = number("ogg", "channel", 0, 1) + 1;
            const int bitrate = BitrateSteps[size_t(number("ogg", "bitrate", 0, 14))];
            if (number("ogg", "qualityenabled", 0, 1)) {
                writer.SetOggFormat(rate, channels, 128, 0, 0,
                                    qint16(number("ogg", "quality", 0, 1000)));
            } else {
                const bool vbr = number("ogg", "vbrenabled", 0, 1);
                const int min = vbr ? BitrateSteps[size_t(number("ogg", "minbitrate", 0, 14))] : 0;
                const int max = vbr ? BitrateSteps[size_t(number("ogg", "maxbitrate", 0, 14))] : 0;
                if (!writer.CheckOggFormat(rate, channels, bitrate, min, max)) {
                    *error = QStringLiteral("Vorbis cannot encode %1 Hz, %2 channel(s) at %3 "
                                            "kbit/s (min %4, max %5)")
                                 .arg(rate)
                                 .arg(channels)
                                 .arg(bitrate)
                                 .arg(min)
                                 .arg(max);
                    return false;
                }
                writer.SetOggFormat(rate, channels, bitrate, min, max, -1);
            }
        } else if (ext == QLatin1String(".wav")) {
            const int rate = lookup(EncoderChoices::WavRates, "wav", "frequency", 44100);
            const int channels = lookup(EncoderChoices::WavChannels, "wav", "channel", 2);
            const int bits = lookup(EncoderChoices::WavBits, "wav", "bitrate", 160) / 10;
            writer.SetWavFormat(rate, channels, bits);
        } else if (ext == QLatin1String(".wma")) {
            writer.SetWmaProfile(*WmaProfiles::WmaProfileNumbers(number("wma", "profile", 1, 7)));
        } else {
            *error = QStringLiteral("Unknown output format %1").arg(extension);
            return false;
        }
    } catch (const EngineError &e) {
        *error = e.message();
        return false;
    }
    return true;
}
