#include "cli/sourcelist.h"

#include "cli/playlistexpansion.h"
#include "joblist/folderwalk.h"
#include "platform/plainreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void addOne(SourceList::Gathered &out, FolderWalk &walk, const QString &path, const QString &root,
            bool recursive)
{
    if (QFileInfo(path).isDir()) {
        if (!recursive) {
            if (out.usageError.isEmpty())
                out.usageError = QStringLiteral("%1 is a folder; use --recursive").arg(path);
            return;
        }
        const QString walkRoot = root.isEmpty() ? QFileInfo(path).absoluteFilePath() : root;
        walk.walk(path, [&](const QString &file) { out.sources.append({file, walkRoot, {}}); });
        return;
    }
    for (const PlaylistExpansion::Item &item : PlaylistExpansion::expand({path})) {
        const QString own = QFileInfo(item.path).absolutePath();
        // Only the list's own relative entries keep their folders; a playlist's files do not.
        const bool listed = item.path == path && !root.isEmpty();
        out.sources.append({item.path, listed ? root : own, item.refusal});
    }
}

} // namespace

SourceList::Gathered SourceList::gather(const QStringList &arguments, const QStringList &listed,
                                        bool recursive)
{
    Gathered out;
    FolderWalk walk;
    for (const QString &argument : arguments)
        addOne(out, walk, argument, {}, recursive);
    const QString here = QDir::currentPath();
    for (const QString &entry : listed)
        addOne(out, walk, entry, QDir::isRelativePath(entry) ? here : QString(), recursive);
    out.unreadable = walk.unreadable();
    return out;
}

std::optional<QStringList> SourceList::readList(const QString &file, bool nulSeparated,
                                                QString *why)
{
    QFile list;
    const bool stdIn = file == QLatin1String("-");
    const bool opened = stdIn ? list.open(stdin, QIODevice::ReadOnly)
                              : (list.setFileName(file), list.open(QIODevice::ReadOnly));
    if (!opened) {
        *why = PlainReason::of(list.errorString());
        return std::nullopt;
    }
    const QByteArray all = list.readAll();
    if (list.error() != QFileDevice::NoError) {
        *why = PlainReason::of(list.errorString());
        return std::nullopt;
    }
    QStringList paths;
    for (QByteArray entry : all.split(nulSeparated ? '\0' : '\n')) {
        if (!nulSeparated && entry.endsWith('\r'))
            entry.chop(1);
        if (!entry.isEmpty())
            paths << QFile::decodeName(entry);
    }
    return paths;
}
