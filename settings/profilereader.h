#pragma once

#include "settings/keys.h"

#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>
#include <mutex>

// Reads the settings file for encoding: a key missing from the file, or one whose value is
// not usable, falls back to the factory default shipped with the program. The window and
// twr-convert read encoder settings through this one reader, so both agree.
class ProfileReader
{
public:
    explicit ProfileReader(const QString &settingsFile);

    const QString &file() const { return m_file; }

    // A key's text: the file's value, else the factory default.
    QString value(Ini::Key key) const;
    // A key as a whole number (the text cut to its whole part) within [min, max]; the
    // factory default when the file's value is not one.
    int number(Ini::Key key, int min, int max) const;
    // A key as one of the `allowed` whole numbers; the factory default when it is not one.
    int oneOf(Ini::Key key, std::initializer_list<int> allowed) const;
    // The value of the entry of `table` whose text the key holds (the factory default's
    // when the file's text is none of them; `fallback` when neither is).
    template <typename Choice, std::size_t N>
    int choice(const std::array<Choice, N> &table, Ini::Key key, int fallback) const
    {
        int found = 0;
        const auto find = [&table, &found](const QString &text) {
            for (const Choice &c : table) {
                if (text == QLatin1String(c.text)) {
                    found = c.value;
                    return true;
                }
            }
            return false;
        };
        const QString text = stored(key);
        if (find(text))
            return found;
        if (!text.isEmpty())
            ignore(key, text);
        return find(shipped(key)) ? found : fallback;
    }

    // One line for each key whose value in the settings file was not usable and was
    // replaced by the factory default, in the order they were met; each key once.
    // Thread-safe, as are the reads above.
    QStringList ignored() const;

private:
    QString stored(Ini::Key key) const;
    static QString shipped(Ini::Key key);
    void ignore(Ini::Key key, const QString &text) const;

    QString m_file;
    mutable std::mutex m_mutex;
    mutable QStringList m_ignored;
};
