#include "convert/outputformat.h"

#include "settings/bitratesteps.h"
#include "settings/encoderchoices.h"
#include "settings/profilereader.h"
#include "settings/settingsfiles.h"
#include "settings/wmaprofiles.h"

#include <algorithm>

namespace {

using EncoderChoices::Choice;

// The position of `value` in a table of values; `fallback` when it is not there.
template <typename Table> int indexOf(const Table &table, int value, int fallback)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (int(table[i]) == value)
            return int(i);
    }
    return fallback;
}

template <std::size_t N>
int choiceIndex(const std::array<Choice, N> &table, int value, int fallback)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i].value == value)
            return int(i);
    }
    return fallback;
}

template <std::size_t N> QString choiceText(const std::array<Choice, N> &table, int value)
{
    return QLatin1String(table[std::size_t(choiceIndex(table, value, 0))].text);
}

int sampleRateAt(const ProfileReader &p, Ini::Key key)
{
    return EncoderChoices::SampleRates[std::size_t(p.number(key, 0, 8))].value;
}

int bitrateAtKey(const ProfileReader &p, Ini::Key key)
{
    return BitrateSteps[std::size_t(p.number(key, 0, int(BitrateSteps.size()) - 1))];
}

// Writes every pair, stopping at the first failure.
bool writeKeys(const QString &file, std::initializer_list<std::pair<Ini::Key, QString>> keys,
               QString *why)
{
    return std::all_of(keys.begin(), keys.end(), [&](const auto &kv) {
        return SettingsFiles::write(file, kv.first, kv.second, why);
    });
}

// --- MP3 ---------------------------------------------------------------------------------

EncoderSettings readMp3(const ProfileReader &p)
{
    Mp3Settings s;
    s.SampleRate = sampleRateAt(p, Ini::Mp3::Frequency);
    s.VbrMethod = p.number(Ini::Mp3::VbrCoding, 0, 5) - 1;
    s.Channels = p.number(Ini::Mp3::Channel, 0, 4) == 0 ? 1 : 2;
    s.EncoderQuality = p.number(Ini::Mp3::Quality, 0, 9);
    s.Bitrate = bitrateAtKey(p, Ini::Mp3::Bitrate);
    s.MaxVbrBitrate = bitrateAtKey(p, Ini::Mp3::VbrBitrate);
    s.VbrQuality = p.number(Ini::Mp3::VbrQuality, 0, 9);
    s.AlternativePreset =
        p.number(Ini::Mp3::AltPresetEnabled, 0, 1) ? p.number(Ini::Mp3::AltPreset, 1, 5) : 0;
    return s;
}

bool writeMp3(const EncoderSettings &settings, const QString &file, QString *why)
{
    const auto &s = std::get<Mp3Settings>(settings);
    const bool preset = s.AlternativePreset >= 1 && s.AlternativePreset <= 5;
    return writeKeys(
        file,
        {{Ini::Mp3::Frequency,
          QString::number(choiceIndex(EncoderChoices::SampleRates, s.SampleRate, 7))},
         {Ini::Mp3::VbrCoding, QString::number(std::clamp(s.VbrMethod, -1, 4) + 1)},
         {Ini::Mp3::Bitrate, QString::number(indexOf(BitrateSteps, s.Bitrate, 9))},
         {Ini::Mp3::Quality, QString::number(s.EncoderQuality)},
         {Ini::Mp3::VbrBitrate, QString::number(indexOf(BitrateSteps, s.MaxVbrBitrate, 11))},
         {Ini::Mp3::VbrQuality, QString::number(s.VbrQuality)},
         {Ini::Mp3::Channel, QString::number(s.Channels == 1 ? 0 : 2)},
         {Ini::Mp3::AltPreset, QString::number(preset ? s.AlternativePreset : 1)},
         {Ini::Mp3::AltPresetEnabled, QString::number(preset ? 1 : 0)},
         {Ini::Mp3::Fs, EncoderFormats::describe(s)}},
        why);
}

// --- WMA ---------------------------------------------------------------------------------

EncoderSettings readWma(const ProfileReader &p)
{
    WmaFormat f;
    WmaFormat::fromProfile(*WmaProfiles::WmaProfileNumbers(
                               p.number(Ini::Wma::Profile, WmaProfiles::First, WmaProfiles::Last)),
                           &f);
    return f;
}

bool writeWma(const EncoderSettings &settings, const QString &file, QString *why)
{
    const auto &f = std::get<WmaFormat>(settings);
    int position = WmaProfiles::First;
    for (int p = WmaProfiles::First; p <= WmaProfiles::Last; ++p) {
        if (WmaProfiles::WmaProfileNumbers(p) == f.profile)
            position = p;
    }
    return writeKeys(file,
                     {{Ini::Wma::Profile, QString::number(position)},
                      {Ini::Wma::Fs, EncoderFormats::describe(f)}},
                     why);
}

// --- OGG ---------------------------------------------------------------------------------

EncoderSettings readOgg(const ProfileReader &p)
{
    OggFormat f;
    f.rate = sampleRateAt(p, Ini::Ogg::Frequency);
    f.channels = p.number(Ini::Ogg::Channel, 0, 1) + 1;
    f.bitrate = bitrateAtKey(p, Ini::Ogg::Bitrate);
    if (p.number(Ini::Ogg::QualityEnabled, 0, 1)) {
        f.bitrate = 128;
        f.quality = p.number(Ini::Ogg::Quality, 0, 1000);
        return f;
    }
    f.quality = -1;
    if (p.number(Ini::Ogg::VbrEnabled, 0, 1)) {
        f.minBitrate = bitrateAtKey(p, Ini::Ogg::MinBitrate);
        f.maxBitrate = bitrateAtKey(p, Ini::Ogg::MaxBitrate);
    }
    return f;
}

bool writeOgg(const EncoderSettings &settings, const QString &file, QString *why)
{
    const auto &f = std::get<OggFormat>(settings);
    const bool quality = f.quality >= 0;
    const bool vbr = !quality && (f.minBitrate > 0 || f.maxBitrate > 0);
    return writeKeys(
        file,
        {{Ini::Ogg::Fs, EncoderFormats::describe(f)},
         {Ini::Ogg::Bitrate, QString::number(indexOf(BitrateSteps, f.bitrate, 9))},
         {Ini::Ogg::MinBitrate, QString::number(indexOf(BitrateSteps, f.minBitrate, 1))},
         {Ini::Ogg::MaxBitrate, QString::number(indexOf(BitrateSteps, f.maxBitrate, 11))},
         {Ini::Ogg::VbrEnabled, QString::number(vbr ? 1 : 0)},
         {Ini::Ogg::QualityEnabled, QString::number(quality ? 1 : 0)},
         {Ini::Ogg::Quality, QString::number(quality ? f.quality : 400)},
         {Ini::Ogg::Channel, QString::number(f.channels == 1 ? 0 : 1)},
         {Ini::Ogg::Frequency,
          QString::number(choiceIndex(EncoderChoices::SampleRates, f.rate, 7))}},
        why);
}

// --- WAV ---------------------------------------------------------------------------------

EncoderSettings readWav(const ProfileReader &p)
{
    WavFormat f;
    f.rate = p.choice(EncoderChoices::WavRates, Ini::Wav::Frequency, 44100);
    f.channels = p.choice(EncoderChoices::WavChannels, Ini::Wav::Channel, 2);
    f.bitsPerSample = p.choice(EncoderChoices::WavBits, Ini::Wav::Bitrate, 160) / 10;
    return f;
}

bool writeWav(const EncoderSettings &settings, const QString &file, QString *why)
{
    const auto &f = std::get<WavFormat>(settings);
    return writeKeys(
        file,
        {{Ini::Wav::Frequency, choiceText(EncoderChoices::WavRates, f.rate)},
         {Ini::Wav::Channel, choiceText(EncoderChoices::WavChannels, f.channels)},
         {Ini::Wav::Bitrate, choiceText(EncoderChoices::WavBits, f.bitsPerSample * 10)}},
        why);
}

// --- FLAC, Opus, M4A ------------------------------------------------------------------------

// The rates a "frequency" key may hold besides 0, the source's.
constexpr std::initializer_list<int> Rates{0,     8000,  11025, 12000, 16000, 22050,
                                           24000, 32000, 44100, 48000, 88200, 96000};

EncoderSettings readFlac(const ProfileReader &p)
{
    return FlacFormat{p.number(Ini::Flac::Level, 0, 8), p.oneOf(Ini::Flac::Bits, {0, 16, 24}),
                      p.oneOf(Ini::Flac::Frequency, Rates), p.number(Ini::Flac::Channel, 0, 2)};
}

bool writeFlac(const EncoderSettings &settings, const QString &file, QString *why)
{
    const auto &f = std::get<FlacFormat>(settings);
    return writeKeys(file,
                     {{Ini::Flac::Level, QString::number(f.level)},
                      {Ini::Flac::Bits, QString::number(f.bits)},
                      {Ini::Flac::Frequency, QString::number(f.rate)},
                      {Ini::Flac::Channel, QString::number(f.channels)}},
                     why);
}

EncoderSettings readOpus(const ProfileReader &p)
{
    return OpusFormat{p.number(Ini::Opus::Bitrate, 6, 256),
                      OpusFormat::Mode(p.number(Ini::Opus::Mode, 0, 2)),
                      p.number(Ini::Opus::Channel, 0, 2)};
}

bool writeOpus(const EncoderSettings &settings, const QString &file, QString *why)
{
    const auto &f = std::get<OpusFormat>(settings);
    return writeKeys(file,
                     {{Ini::Opus::Bitrate, QString::number(f.bitrate)},
                      {Ini::Opus::Mode, QString::number(int(f.mode))},
                      {Ini::Opus::Channel, QString::number(f.channels)}},
                     why);
}

EncoderSettings readM4a(const ProfileReader &p)
{
    return M4aFormat{p.number(Ini::M4a::Bitrate, 32, 320), p.oneOf(Ini::M4a::Frequency, Rates),
                     p.number(Ini::M4a::Channel, 0, 2)};
}

bool writeM4a(const EncoderSettings &settings, const QString &file, QString *why)
{
    const auto &f = std::get<M4aFormat>(settings);
    return writeKeys(file,
                     {{Ini::M4a::Bitrate, QString::number(f.bitrate)},
                      {Ini::M4a::Frequency, QString::number(f.rate)},
                      {Ini::M4a::Channel, QString::number(f.channels)}},
                     why);
}

// The first four formats stand in the order of the format buttons; the Action menu lists them
// as MP3, WAV, WMA, OGG and the popup as MP3, WMA, WAV, OGG (with its own spelling for OGG).
// Later formats come after them everywhere.
const std::vector<OutputFormat> Table{
    {OutputFormatId::Mp3,
     "MP3",
     ".mp3",
     "mp3",
     {"tomp3", "Convert to MP3", 0},
     {"ctm", "Convert to MP3", 0},
     readMp3,
     writeMp3},
    {OutputFormatId::Wma,
     "WMA",
     ".wma",
     "wma",
     {"towma", "Convert to WMA", 2},
     {"ctw", "Convert to WMA", 1},
     readWma,
     writeWma},
    {OutputFormatId::Ogg,
     "OGG",
     ".ogg",
     "ogg",
     {"toogg", "Convert to OGG", 3},
     {"cto", "Convet  to OGG", 3},
     readOgg,
     writeOgg},
    {OutputFormatId::Wav,
     "WAV",
     ".wav",
     "wav",
     {"towav", "Convert to WAV", 1},
     {"ctwav", "Convert to WAV", 2},
     readWav,
     writeWav},
    {OutputFormatId::Flac,
     "FLAC",
     ".flac",
     "flac",
     {"toflac", "Convert to FLAC", 4},
     {"ctflac", "Convert to FLAC", 4},
     readFlac,
     writeFlac},
    {OutputFormatId::Opus,
     "Opus",
     ".opus",
     "opus",
     {"toopus", "Convert to Opus", 5},
     {"ctopus", "Convert to Opus", 5},
     readOpus,
     writeOpus},
    {OutputFormatId::M4a,
     "M4A",
     ".m4a",
     "m4a",
     {"tom4a", "Convert to M4A", 6},
     {"ctm4a", "Convert to M4A", 6},
     readM4a,
     writeM4a},
};

} // namespace

const std::vector<OutputFormat> &OutputFormats::all()
{
    return Table;
}

const OutputFormat &OutputFormats::of(OutputFormatId id)
{
    return Table.at(std::size_t(id));
}

const OutputFormat *OutputFormats::byLabel(const QString &label)
{
    for (const OutputFormat &f : Table) {
        if (label == QLatin1String(f.label))
            return &f;
    }
    return nullptr;
}

const OutputFormat *OutputFormats::byName(const QString &name)
{
    QString key = name.toLower();
    if (key.startsWith(QLatin1Char('.')))
        key.remove(0, 1);
    for (const OutputFormat &f : Table) {
        if (key == QLatin1String(f.section))
            return &f;
    }
    return nullptr;
}

std::vector<const OutputFormat *>
OutputFormats::inOrderOf(OutputFormat::Entry OutputFormat::*entries)
{
    std::vector<const OutputFormat *> formats;
    for (const OutputFormat &f : Table)
        formats.push_back(&f);
    std::stable_sort(formats.begin(), formats.end(),
                     [entries](const OutputFormat *a, const OutputFormat *b) {
                         return (a->*entries).order < (b->*entries).order;
                     });
    return formats;
}

QStringList OutputFormats::names()
{
    QStringList names;
    for (const OutputFormat &f : Table)
        names << QLatin1String(f.section);
    return names;
}

EncoderSettingsSet OutputFormats::readAll(const ProfileReader &profile)
{
    EncoderSettingsSet set;
    for (const OutputFormat &f : Table)
        set.set(f.read(profile));
    return set;
}
