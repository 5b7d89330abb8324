#pragma once

#include "settings/keys.h"

#include <QString>

#include <optional>

// The two settings files and convenience access by catalogue key.
namespace SettingsFiles {

// "twr.ini" in the configuration folder: the working settings file.
QString workingFile();

// "twr2.ini" in the configuration folder: the factory defaults. When the folder has none,
// the copy shipped with the program is placed there first; an existing one is never replaced.
QString defaultsFile();

// The factory defaults as shipped with the program (a read-only resource path).
QString shippedDefaults();

inline QString read(const QString &file, Ini::Key k);
inline bool write(const QString &file, Ini::Key k, const QString &value, QString *why = nullptr);
// A stored value read as a number cut to its whole part (very large values held at the
// limits); nothing when it is not a number. The run's yes/no settings are read this way.
std::optional<qint64> wholePart(const QString &stored);
// What the user reads when a settings write failed.
QString notSavedMessage(const QString &file, const QString &why);

} // namespace SettingsFiles

#include "settings/profile.h"

inline QString SettingsFiles::read(const QString &file, Ini::Key k)
{
    return ReadIni(file, QString::fromLatin1(k.section), QString::fromLatin1(k.key));
}

inline bool SettingsFiles::write(const QString &file, Ini::Key k, const QString &value,
                                 QString *why)
{
    return WriteIni(file, QString::fromLatin1(k.section), QString::fromLatin1(k.key), value, why);
}
