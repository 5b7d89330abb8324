#pragma once

#include "engine/encodersettings.h"
#include "engine/mp3settings.h"

#include <array>
#include <cstddef>
#include <variant>

class Converter;

// The output formats, in the order of the window's format buttons.
enum class OutputFormatId { Mp3, Wma, Ogg, Wav, Flac, Opus, M4a };

// One format's encoder settings as a plain value: what the options dialog edits, what the
// settings file holds and what a conversion takes a copy of when it starts. The alternatives
// stand in the order of OutputFormatId.
using EncoderSettings =
    std::variant<Mp3Settings, WmaFormat, OggFormat, WavFormat, FlacFormat, OpusFormat, M4aFormat>;

inline constexpr std::size_t OutputFormatCount = std::variant_size_v<EncoderSettings>;

inline OutputFormatId formatOf(const EncoderSettings &settings)
{
    return OutputFormatId(settings.index());
}

// The encoder settings of every format, one value each.
class EncoderSettingsSet
{
public:
    // Every format with its encoder's built-in values.
    EncoderSettingsSet();

    const EncoderSettings &operator[](OutputFormatId id) const { return m_values[std::size_t(id)]; }
    template <typename T> const T &get() const
    {
        return std::get<T>(m_values[EncoderSettings(T{}).index()]);
    }
    // Replaces the value of the format `settings` belongs to.
    void set(const EncoderSettings &settings) { m_values[settings.index()] = settings; }

private:
    std::array<EncoderSettings, OutputFormatCount> m_values;
};

namespace EncoderSetup {

// Sets `writer` up to encode with `settings` (its format's setter, the format switch on).
// EngineError with the reason when the encoder cannot take them (a Vorbis bitrate it cannot
// reach at that rate).
void apply(Converter &writer, const EncoderSettings &settings);
// The description of the settings, as the engine gives it ("MP3 44100 Hz Joint Stereo ...").
QString describe(const EncoderSettings &settings);

} // namespace EncoderSetup
