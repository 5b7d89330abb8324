#pragma once

#include <array>
#include <cstddef>

// Every section and key of the settings files, in one place.
namespace Ini {

struct Key
{
    const char *section;
    const char *key;
};

namespace Section {
inline constexpr const char *Output = "output";
inline constexpr const char *Wav = "wav";
inline constexpr const char *Ogg = "ogg";
inline constexpr const char *Wma = "wma";
inline constexpr const char *Mp3 = "mp3";
inline constexpr const char *Flac = "flac";
inline constexpr const char *Opus = "opus";
inline constexpr const char *M4a = "m4a";
inline constexpr const char *Window = "window";
} // namespace Section

namespace Output {
inline constexpr Key Format{Section::Output, "format"};
inline constexpr Key Folder{Section::Output, "folder"};
inline constexpr Key Playlist{Section::Output, "playlist"};
inline constexpr Key PlaylistName{Section::Output, "playlistname"};
inline constexpr Key Open{Section::Output, "open"};
inline constexpr Key Normalize{Section::Output, "normalize"};
inline constexpr Key NormalizeValue{Section::Output, "normalizevalue"};
// Despite its name: "1" asks for a shutdown after a conversion run.
inline constexpr Key DeleteSource{Section::Output, "deletesource"};
inline constexpr Key Overwrite{Section::Output, "overwrite"};
inline constexpr Key OldFolder{Section::Output, "oldfolder"};
inline constexpr Key ColorThemes{Section::Output, "colorthemes"};
// Files a run converts at once; 0 is one per processor core.
inline constexpr Key Jobs{Section::Output, "jobs"};
// 1: a file added with a folder goes below the output folder in its folder relative to the
// added one.
inline constexpr Key KeepFolders{Section::Output, "keepfolders"};
inline constexpr Key Split{Section::Output, "split"};
} // namespace Output

namespace Wav {
inline constexpr Key Frequency{Section::Wav, "frequency"};
inline constexpr Key Channel{Section::Wav, "channel"};
inline constexpr Key Bitrate{Section::Wav, "bitrate"};
} // namespace Wav

namespace Ogg {
inline constexpr Key Fs{Section::Ogg, "fs"};
inline constexpr Key Bitrate{Section::Ogg, "bitrate"};
inline constexpr Key MinBitrate{Section::Ogg, "minbitrate"};
inline constexpr Key MaxBitrate{Section::Ogg, "maxbitrate"};
inline constexpr Key VbrEnabled{Section::Ogg, "vbrenabled"};
inline constexpr Key QualityEnabled{Section::Ogg, "qualityenabled"};
inline constexpr Key Quality{Section::Ogg, "quality"};
inline constexpr Key Channel{Section::Ogg, "channel"};
inline constexpr Key Frequency{Section::Ogg, "frequency"};
} // namespace Ogg

namespace Wma {
inline constexpr Key Profile{Section::Wma, "profile"};
inline constexpr Key Fs{Section::Wma, "fs"};
} // namespace Wma

namespace Mp3 {
inline constexpr Key Frequency{Section::Mp3, "frequency"};
inline constexpr Key VbrCoding{Section::Mp3, "vbrcoding"};
inline constexpr Key Bitrate{Section::Mp3, "bitrate"};
inline constexpr Key Quality{Section::Mp3, "quality"};
inline constexpr Key VbrBitrate{Section::Mp3, "vbrbitrate"};
inline constexpr Key VbrQuality{Section::Mp3, "vbrquality"};
inline constexpr Key Channel{Section::Mp3, "channel"};
inline constexpr Key AltPreset{Section::Mp3, "altpreset"};
inline constexpr Key AltPresetEnabled{Section::Mp3, "altpresetenabled"};
inline constexpr Key Fs{Section::Mp3, "fs"};
} // namespace Mp3

// 0 for a rate, channel count or depth keeps the source's.
namespace Flac {
inline constexpr Key Level{Section::Flac, "level"};
inline constexpr Key Bits{Section::Flac, "bits"};
inline constexpr Key Frequency{Section::Flac, "frequency"};
inline constexpr Key Channel{Section::Flac, "channel"};
} // namespace Flac

namespace Opus {
inline constexpr Key Bitrate{Section::Opus, "bitrate"};
inline constexpr Key Mode{Section::Opus, "mode"}; // 0 VBR, 1 constrained VBR, 2 CBR
inline constexpr Key Channel{Section::Opus, "channel"};
} // namespace Opus

namespace M4a {
inline constexpr Key Bitrate{Section::M4a, "bitrate"};
inline constexpr Key Frequency{Section::M4a, "frequency"};
inline constexpr Key Channel{Section::M4a, "channel"};
} // namespace M4a

// The main window's layout, written when it closes: the frame's place and the inner size in
// pixels, "1" when maximised, and the job list's column widths in pixels, comma-separated.
namespace Window {
inline constexpr Key Left{Section::Window, "left"};
inline constexpr Key Top{Section::Window, "top"};
inline constexpr Key Width{Section::Window, "width"};
inline constexpr Key Height{Section::Window, "height"};
inline constexpr Key Maximized{Section::Window, "maximized"};
inline constexpr Key Columns{Section::Window, "columns"};
inline constexpr std::array<Key, 6> All{{Left, Top, Width, Height, Maximized, Columns}};
} // namespace Window

// The order in which the options dialog's apply step writes every option ("format" is not
// among them: only the output format buttons write it).
inline constexpr std::array<Key, 47> ApplyWriteOrder{{
    Output::Folder,
    Output::Playlist,
    Output::PlaylistName,
    Output::Open,
    Output::Normalize,
    Output::NormalizeValue,
    Output::DeleteSource,
    Output::Overwrite,
    Output::OldFolder,
    Output::ColorThemes,
    Output::Jobs,
    Output::KeepFolders,
    Output::Split,
    Ogg::Fs,
    Ogg::Bitrate,
    Ogg::MinBitrate,
    Ogg::MaxBitrate,
    Ogg::VbrEnabled,
    Ogg::QualityEnabled,
    Ogg::Quality,
    Ogg::Channel,
    Ogg::Frequency,
    Wav::Frequency,
    Wav::Channel,
    Wav::Bitrate,
    Wma::Profile,
    Wma::Fs,
    Mp3::Frequency,
    Mp3::VbrCoding,
    Mp3::Bitrate,
    Mp3::Quality,
    Mp3::VbrBitrate,
    Mp3::VbrQuality,
    Mp3::Channel,
    Mp3::AltPreset,
    Mp3::AltPresetEnabled,
    Mp3::Fs,
    Flac::Level,
    Flac::Bits,
    Flac::Frequency,
    Flac::Channel,
    Opus::Bitrate,
    Opus::Mode,
    Opus::Channel,
    M4a::Bitrate,
    M4a::Frequency,
    M4a::Channel,
}};

static_assert(ApplyWriteOrder.back().key != nullptr, "every entry of the write order is filled");

// Every key the program reads or writes.
inline constexpr std::array<Key, ApplyWriteOrder.size() + 1 + Window::All.size()> AllKeys = [] {
    std::array<Key, ApplyWriteOrder.size() + 1 + Window::All.size()> all{};
    all[0] = Output::Format;
    for (std::size_t i = 0; i < ApplyWriteOrder.size(); ++i)
        all[i + 1] = ApplyWriteOrder[i];
    for (std::size_t i = 0; i < Window::All.size(); ++i)
        all[ApplyWriteOrder.size() + 1 + i] = Window::All[i];
    return all;
}();

} // namespace Ini
