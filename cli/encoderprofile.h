#pragma once

#include <QString>

class Converter;

// The encoder settings of the settings file, handed to a writer the way the options
// dialog hands them: keys missing from the file (or unusable) fall back to the factory
// defaults shipped with the program.
class EncoderProfile
{
public:
    explicit EncoderProfile(const QString &settingsFile);

    // A key's text: the file's value, else the factory default.
    QString value(const char *section, const char *key) const;
    // A key as a whole number (the text cut to its whole part) within [min, max]; the
    // factory default when the file's value is not one.
    int number(const char *section, const char *key, int min, int max) const;

    // Sets the writer up for outputs with this extension (".mp3", ".ogg", ".wma", ".wav").
    // False, with the reason in *error, when the settings cannot be encoded.
    bool apply(Converter &writer, const QString &extension, QString *error) const;

private:
    QString m_file;
};
