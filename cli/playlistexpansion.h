#pragma once

#include <QStringList>

// Command-line arguments with playlists (.m3u, .m3u8, .pls) replaced by the files they
// list, relative entries resolved against the playlist's folder. A playlist that cannot
// be read stays in the list, so that its conversion fails visibly.
namespace PlaylistExpansion {

bool isPlaylist(const QString &path);
QStringList entries(const QString &playlist, bool *ok);
QStringList expand(const QStringList &arguments);

} // namespace PlaylistExpansion
