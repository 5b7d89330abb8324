#include "cli/playlistexpansion.h"

#include "joblist/playlistfile.h"

#include <QFileInfo>

bool PlaylistExpansion::isPlaylist(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("m3u") || suffix == QLatin1String("m3u8") ||
           suffix == QLatin1String("pls");
}

QStringList PlaylistExpansion::entries(const QString &playlist, bool *ok)
{
    return PlaylistFile::entries(playlist, ok);
}

QStringList PlaylistExpansion::expand(const QStringList &arguments)
{
    QStringList out;
    for (const QString &argument : arguments) {
        bool ok = false;
        if (isPlaylist(argument)) {
            const QStringList listed = entries(argument, &ok);
            if (ok) {
                out << listed;
                continue;
            }
        }
        out << argument;
    }
    return out;
}
