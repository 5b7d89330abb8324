#include "convert/encodersettings.h"

#include "engine/converter.h"
#include "engine/engineerror.h"

#include <utility>

namespace {

template <std::size_t... I> auto builtIn(std::index_sequence<I...>)
{
    return std::array<EncoderSettings, sizeof...(I)>{EncoderSettings(std::in_place_index<I>)...};
}

template <typename... F> struct Overloaded : F...
{
    using F::operator()...;
};
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

EncoderSettingsSet::EncoderSettingsSet()
    : m_values(builtIn(std::make_index_sequence<OutputFormatCount>()))
{
}

void EncoderSetup::apply(Converter &writer, const EncoderSettings &settings)
{
    writer.setConvertFormat(true);
    std::visit(Overloaded{
                   [&writer](const Mp3Settings &s) { writer.SetMp3Settings(s); },
                   [&writer](const WmaFormat &s) { writer.SetWmaProfile(s.profile); },
                   [&writer](const OggFormat &s) {
                       if (s.quality < 0 && !writer.CheckOggFormat(s.rate, s.channels, s.bitrate,
                                                                   s.minBitrate, s.maxBitrate))
                           throw EngineError(
                               QStringLiteral("Vorbis cannot encode %1 Hz, %2 channel(s) at %3 "
                                              "kbit/s (min %4, max %5)")
                                   .arg(s.rate)
                                   .arg(s.channels)
                                   .arg(s.bitrate)
                                   .arg(s.minBitrate)
                                   .arg(s.maxBitrate));
                       writer.SetOggFormat(s.rate, s.channels, s.bitrate, s.minBitrate,
                                           s.maxBitrate, qint16(s.quality));
                   },
                   [&writer](const WavFormat &s) {
                       writer.SetWavFormat(s.rate, s.channels, s.bitsPerSample);
                   },
                   [&writer](const FlacFormat &s) { writer.SetFlacFormat(s); },
                   [&writer](const OpusFormat &s) { writer.SetOpusFormat(s); },
                   [&writer](const M4aFormat &s) { writer.SetM4aFormat(s); },
               },
               settings);
}

QString EncoderSetup::describe(const EncoderSettings &settings)
{
    return std::visit([](const auto &s) { return EncoderFormats::describe(s); }, settings);
}
