#include "cli/encoderprofile.h"

#include "engine/converter.h"
#include "engine/engineerror.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<int, 15> BitrateSteps{8,   16,  24,  32,  48,  56,  64, 96,
                                           112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 9> Rates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
constexpr std::array<int, 8> WmaProfileNumbers{0, 36, 23, 16, 13, 11, 10, 8};

struct Named
{
    const char *text;
    int value;
};
constexpr std::array<Named, 12> WavRates{{{"FQ_6_KHZ", 6000},
                                          {"FQ_8_KHZ", 8000},
                                          {"FQ_11_KHZ", 11025},
                                          {"FQ_12_KHZ", 12000},
                                          {"FQ_16_KHZ", 16000},
                                          {"FQ_22_KHZ", 22050},
                                          {"FQ_24_KHZ", 24000},
                                          {"FQ_32_KHZ", 32000},
                                          {"FQ_44_KHZ", 44100},
                                          {"FQ_48_KHZ", 48000},
                                          {"FQ_88_KHZ", 88200},
                                          {"FQ_96_KHZ", 96000}}};
constexpr std::array<Named, 2> WavChannels{{{"MONO", 1}, {"STEREO", 2}}};
constexpr std::array<Named, 8> WavBits{{{"BPS_2_BIT", 2},
                                        {"BPS_3_BIT", 3},
                                        {"BPS_4_BIT", 4},
                                        {"BPS_5_BIT", 5},
                                        {"BPS_8_BIT", 8},
                                        {"BPS_16_BIT", 16},
                                        {"BPS_24_BIT", 24},
                                        {"BPS_32_BIT", 32}}};

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

template <size_t N> int lookup(const std::array<Named, N> &table, const QString &text, int fallback)
{
    for (const Named &n : table) {
        if (text == QLatin1String(n.text))
            return n.value;
    }
    return fallback;
}

} // namespace

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
    if (wholeNumber(ReadIni(m_file, QString::fromLatin1(section), QString::fromLatin1(key)), min,
                    max, &v))
        return v;
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
            s.SampleRate = Rates[size_t(number("mp3", "frequency", 0, 8))];
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
            const int rate = Rates[size_t(number("ogg", "frequency", 0, 8))];
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
            const int rate = lookup(WavRates, value("wav", "frequency"), 44100);
            const int channels = lookup(WavChannels, value("wav", "channel"), 2);
            const int bits = lookup(WavBits, value("wav", "bitrate"), 16);
            writer.SetWavFormat(rate, channels, bits);
        } else if (ext == QLatin1String(".wma")) {
            writer.SetWmaProfile(WmaProfileNumbers[size_t(number("wma", "profile", 1, 7))]);
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
