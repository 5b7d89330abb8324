#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The playlist format: one full path per line. Written with CR LF line ends in UTF-8. Read
// with lines ending at CR, LF or CR LF, so playlists made on any system import; PLS files
// contribute their numbered "FileN=" entries, M3U comment lines are skipped.
namespace PlaylistFile {

// The raw lines of a playlist's content: split at CR, LF or CR LF; nothing is trimmed. Each line is
// UTF-8 (a leading byte order mark is dropped), else Latin-1; a line too long to be a path is
// dropped.
QStringList lines(const QByteArray &content);

// The largest playlist read; anything larger is no list of paths a person made.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

// Every entry the playlist at `path` names, resolved against the playlist's own folder, whether
// the file exists or not. `ok` tells whether the playlist itself could be read; when it could
// not, `why` says so in words that name it ("list.m3u is not a playlist file"). Only regular
// files up to MaxFileBytes are read: a pipe or a device would never end.
QStringList entries(const QString &path, bool *ok = nullptr, QString *why = nullptr);

// The paths of the existing files the playlist at `path` names, in file order; relative lines
// resolve against the playlist's own folder. Empty when the file cannot be read (`why` says
// why).
QStringList read(const QString &path, QString *why = nullptr);

// Writes one line per path, each ending in CR LF, atomically: the old file stays intact when
// writing fails. False on any failure, with the reason in plain words in `why`.
bool write(const QString &path, const QStringList &paths, QString *why = nullptr);

} // namespace PlaylistFile
