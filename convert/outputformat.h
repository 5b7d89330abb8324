#pragma once

#include "convert/encodersettings.h"

#include <QString>
#include <QStringList>

#include <vector>

class ProfileReader;

// What the program knows of one output format. Everything that lists formats (the window's
// buttons, the "Convert to" entries, the options pages, twr-convert's --format) is built
// from the table of these, so a format is added in one place.
struct OutputFormat
{
    OutputFormatId id;
    const char *label;     // "MP3": the button, panel 3 and the stored "format" key
    const char *extension; // ".mp3"
    const char *section;   // "mp3": the settings-file section and twr-convert's --format value
    // A "Convert to" entry: its object name, its text and its place among the others.
    struct Entry
    {
        const char *name;
        const char *text;
        int order;
    };
    Entry menu;  // the Action menu's
    Entry popup; // the list popup's "Convert" submenu's
    // Reads this format's settings from the settings file (the factory default for a key
    // that is missing or unusable).
    EncoderSettings (*read)(const ProfileReader &profile);
    // Writes them back, each key as the options dialog stores it. False with the reason.
    bool (*write)(const EncoderSettings &settings, const QString &file, QString *why);
};

namespace OutputFormats {

// Every format, in the order of the window's format buttons.
const std::vector<OutputFormat> &all();
const OutputFormat &of(OutputFormatId id);
// The format stored under this label ("MP3"), compared exactly; null for none.
const OutputFormat *byLabel(const QString &label);
// The format of this section name or extension ("flac", ".mp3"), in any letter case.
const OutputFormat *byName(const QString &name);
// The formats in the order of one kind of "Convert to" entries (&OutputFormat::menu or
// &OutputFormat::popup).
std::vector<const OutputFormat *> inOrderOf(OutputFormat::Entry OutputFormat::*entries);
// The section names, in button order: "mp3", "wma", ...
QStringList names();

// Every format's settings read from one settings file.
EncoderSettingsSet readAll(const ProfileReader &profile);

} // namespace OutputFormats
