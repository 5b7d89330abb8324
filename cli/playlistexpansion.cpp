#include "cli/playlistexpansion.h"

#include "joblist/playlistfile.h"

#include <QFileInfo>

bool PlaylistExpansion::isPlaylist(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("m3u") || suffix == QLatin1String("m3u8") ||
           suffix == QLatin1String("pls");
}

QList<PlaylistExpansion::Item> PlaylistExpansion::expand(const QStringList &arguments)
{
    QList<Item> out;
    for (const QString &argument : arguments) {
        if (!isPlaylist(argument)) {
            out.append({argument, {}});
            continue;
        }
        bool ok = false;
        QString why;
        const QStringList listed = PlaylistFile::entries(argument, &ok, &why);
        if (!ok) {
            out.append({argument, why});
            continue;
        }
        for (const QString &entry : listed)
            out.append({entry, {}});
    }
    return out;
}
