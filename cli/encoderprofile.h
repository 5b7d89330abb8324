#pragma once

#include <QString>
#include <QStringList>

#include <mutex>

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

    // One line for each key whose value in the settings file was not usable and was
    // replaced by the factory default, in the order they were met; each key once.
    // Thread-safe, as are the reads above.
    QStringList ignored() const;

private:
    void ignore(const char *section, const char *key, const QString &text) const;
    template <typename Table>
    int lookup(const Table &table, const char *section, const char *key, int fallback) const;

    QString m_file;
    mutable std::mutex m_mutex;
    mutable QStringList m_ignored;
};
