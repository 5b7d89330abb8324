#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Command-line arguments with playlists (.m3u, .m3u8, .pls) replaced by the files they
// list, relative entries resolved against the playlist's folder. A playlist that cannot
// be read stays in the list with the reason, so that it fails visibly.
namespace PlaylistExpansion {

struct Item
{
    QString path;
    QString refusal; // why a playlist given here cannot be read, in plain words; else ""
};

bool isPlaylist(const QString &path);
QList<Item> expand(const QStringList &arguments);

} // namespace PlaylistExpansion
