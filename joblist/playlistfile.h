#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The playlist format: one full path per line. Written with CR LF line ends in UTF-8; read
// with lines ending at CR, so a line feed alone does not end a line.
namespace PlaylistFile {

// The raw lines of a playlist's content: split at CR, a LF right after a CR belongs to that
// line end; nothing is trimmed. Each line is UTF-8 (a leading byte order mark is dropped),
// else Latin-1; a line too long to be a path is dropped.
QStringList lines(const QByteArray &content);

// The paths of the existing files the playlist at `path` names, in file order; relative lines
// resolve against the playlist's own folder. Empty when the file cannot be read.
QStringList read(const QString &path);

// Writes one line per path, each ending in CR LF, atomically: the old file stays intact when
// writing fails. False on any failure.
bool write(const QString &path, const QStringList &paths);

} // namespace PlaylistFile
