#pragma once

#include <QString>

#include <utility>
#include <vector>

// Profile (INI) file access. Every call reads or rewrites the file on disk; nothing is cached.
//
// Section and key names compare without regard to case; the first matching key of a section
// is the one read and replaced. A missing file, section or key, or an empty value, reads as "".
// Values are trimmed and lose one pair of matching surrounding quotes on read. Text is UTF-8.
//
// A write replaces the key in place, or appends it at the end of its section, or appends the
// section at the end of the file, or creates the file. Everything else in the file (comments,
// blank lines, lines outside sections, unknown keys, line endings) is kept byte for byte. The
// new content goes to a temporary file in the same folder that is renamed over the old one,
// so a failed write leaves the old file as it was; it returns false, with the reason in plain
// words in `why` ("the disk is full").
//
// Only a regular file of at most 1 MiB (or a link to one) is a settings file: anything else
// (a FIFO, a device, a folder, a larger file) reads as missing, is never written over, and
// is named once per process in a warning on standard error.
QString ReadIni(const QString &file, const QString &section, const QString &key);
bool WriteIni(const QString &file, const QString &section, const QString &key, const QString &value,
              QString *why = nullptr);
// Several keys of one section in one rewrite: all of them change, or (on failure) none.
using IniValues = std::vector<std::pair<QString, QString>>;
bool WriteIniKeys(const QString &file, const QString &section, const IniValues &values,
                  QString *why = nullptr);
