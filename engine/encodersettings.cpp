#include "engine/encodersettings.h"

#include "engine/mp3encoder.h"

#include <vorbis/vorbisenc.h>

#include <QStringList>

#include <algorithm>
#include <array>

bool WmaFormat::fromProfile(int profile, WmaFormat *format)
{
    // The WMA v2 encoder takes 24 kbit/s at least and the file adds a header to each block,
    // so the voice profile has the lowest rate a file reaches: 28 kbit/s, mono at 22,050 Hz.
    // The low-rate stereo profile keeps its character at 32 kbit/s.
    struct Entry
    {
        int profile, rate, channels, bitrate;
    };
    static constexpr std::array<Entry, 7> table{{
        {36, 22050, 1, 28},
        {23, 22050, 2, 32},
        {16, 32000, 2, 48},
        {13, 44100, 2, 64},
        {11, 44100, 2, 96},
        {10, 44100, 2, 128},
        {8, 44100, 2, 192},
    }};
    for (const Entry &e : table) {
        if (e.profile == profile) {
            *format = WmaFormat{e.profile, e.rate, e.channels, e.bitrate};
            return true;
        }
    }
    return false;
}

bool EncoderFormats::vorbisAccepts(int rate, int channels, int bitrate, int minBitrate,
                                   int maxBitrate)
{
    if (rate <= 0 || channels <= 0 || channels > 8 || bitrate <= 0 || minBitrate < 0 ||
        maxBitrate < 0 || bitrate > 2000 || minBitrate > 2000 || maxBitrate > 2000)
        return false;
    vorbis_info info;
    vorbis_info_init(&info);
    const long nominal = long(bitrate) * 1000;
    const long minimum = minBitrate > 0 ? long(minBitrate) * 1000 : -1;
    const long maximum = maxBitrate > 0 ? long(maxBitrate) * 1000 : -1;
    bool ok = vorbis_encode_setup_managed(&info, channels, rate, maximum, nominal, minimum) == 0;
    if (ok && minimum < 0 && maximum < 0)
        ok = vorbis_encode_ctl(&info, OV_ECTL_RATEMANAGE2_SET, nullptr) == 0;
    if (ok)
        ok = vorbis_encode_setup_init(&info) == 0;
    vorbis_info_clear(&info);
    return ok;
}

QString EncoderFormats::channelText(int channels)
{
    switch (channels) {
    case 1:
        return QStringLiteral("Mono");
    case 2:
        return QStringLiteral("Stereo");
    default:
        return QStringLiteral("%1 channels").arg(channels);
    }
}

namespace {

// The chosen depth, rate and channels, with those left to the source named at the end:
// "24 bit 48000 Hz, channels as source"; "as source" alone when all are.
QString shapeText(int bits, int rate, int channels, bool hasBits)
{
    QStringList given;
    QStringList kept;
    if (hasBits)
        (bits > 0 ? given : kept) << (bits > 0 ? QStringLiteral("%1 bit").arg(bits)
                                               : QStringLiteral("depth"));
    (rate > 0 ? given : kept) << (rate > 0 ? QStringLiteral("%1 Hz").arg(rate)
                                           : QStringLiteral("rate"));
    (channels > 0 ? given : kept) << (channels > 0 ? EncoderFormats::channelText(channels)
                                                   : QStringLiteral("channels"));
    if (given.isEmpty())
        return QStringLiteral("as source");
    QString text = given.join(u' ');
    if (!kept.isEmpty())
        text += QStringLiteral(", %1 as source").arg(kept.join(QStringLiteral(" and ")));
    return text;
}

} // namespace

QString EncoderFormats::describe(const Mp3Settings &s)
{
    QString text =
        QStringLiteral("MP3 %1 Hz %2 ")
            .arg(Mp3Encoder::nearestRate(s.SampleRate))
            .arg(s.Channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Joint Stereo"));
    static const std::array<const char *, 5> presets{"Fast Standard", "Standard", "Fast Extreme",
                                                     "Extreme", "Insane"};
    if (s.AlternativePreset >= 1 && s.AlternativePreset <= 5)
        return text + QStringLiteral("preset ") +
               QLatin1String(presets[size_t(s.AlternativePreset - 1)]);
    static const std::array<const char *, 4> methods{"default", "old", "new", "MTRH"};
    switch (s.VbrMethod) {
    case 0:
    case 1:
    case 2:
    case 3:
        return text + QStringLiteral("VBR %1 quality %2 max %3 kbit/s")
                          .arg(QLatin1String(methods[size_t(s.VbrMethod)]))
                          .arg(std::clamp(s.VbrQuality, 0, 9))
                          .arg(Mp3Encoder::nearestBitrate(s.MaxVbrBitrate, s.SampleRate));
    case 4:
        return text + QStringLiteral("ABR %1 kbit/s")
                          .arg(Mp3Encoder::nearestBitrate(s.Bitrate, s.SampleRate));
    default:
        return text + QStringLiteral("%1 kbit/s CBR")
                          .arg(Mp3Encoder::nearestBitrate(s.Bitrate, s.SampleRate));
    }
}

QString EncoderFormats::describe(const OggFormat &f)
{
    QString text = QStringLiteral("OGG %1 Hz %2 ").arg(f.rate).arg(channelText(f.channels));
    if (f.quality >= 0)
        return text + QStringLiteral("quality %1").arg(f.quality / 100.0, 0, 'f', 1);
    text += QStringLiteral("%1 kbit/s").arg(f.bitrate);
    if (f.minBitrate > 0 || f.maxBitrate > 0) {
        text += QStringLiteral(" VBR");
        if (f.minBitrate > 0)
            text += QStringLiteral(" min %1").arg(f.minBitrate);
        if (f.maxBitrate > 0)
            text += QStringLiteral(" max %1").arg(f.maxBitrate);
    }
    return text;
}

QString EncoderFormats::describe(const WavFormat &f)
{
    const QString text = QStringLiteral("WAV %1 Hz %2 ").arg(f.rate).arg(channelText(f.channels));
    if (f.adpcm())
        return text + QStringLiteral("IMA ADPCM 4 bit");
    return text + QStringLiteral("%1 bit PCM").arg(f.bitsPerSample);
}

QString EncoderFormats::describe(const WmaFormat &f)
{
    return QStringLiteral("WMA %1 Hz %2 %3 kbit/s")
        .arg(f.rate)
        .arg(channelText(f.channels))
        .arg(f.bitrate);
}

QString EncoderFormats::describe(const FlacFormat &f)
{
    return QStringLiteral("FLAC level %1 %2")
        .arg(f.level)
        .arg(shapeText(f.bits, f.rate, f.channels, true));
}

QString EncoderFormats::describe(const OpusFormat &f)
{
    QString text = QStringLiteral("Opus %1 kbit/s ").arg(f.bitrate);
    switch (f.mode) {
    case OpusFormat::Mode::Vbr:
        text += QStringLiteral("VBR");
        break;
    case OpusFormat::Mode::ConstrainedVbr:
        text += QStringLiteral("constrained VBR");
        break;
    case OpusFormat::Mode::Cbr:
        text += QStringLiteral("CBR");
        break;
    }
    if (f.channels > 0)
        text += u' ' + channelText(f.channels);
    return text;
}

QString EncoderFormats::describe(const M4aFormat &f)
{
    return QStringLiteral("M4A AAC %1 kbit/s %2")
        .arg(f.bitrate)
        .arg(shapeText(0, f.rate, f.channels, false));
}
