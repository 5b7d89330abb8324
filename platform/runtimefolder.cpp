#include "platform/runtimefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

bool RuntimeFolder::isPrivate(const QString &path, bool create, QString *why)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0 && errno == ENOENT && create) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ::mkdir(native.constData(), 0700);
    }
    QString problem;
    if (::lstat(native.constData(), &info) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISDIR(info.st_mode))
        problem = QStringLiteral("it is not a folder");
    else if (info.st_uid != ::geteuid())
        problem = QStringLiteral("it belongs to another user");
    else if ((info.st_mode & 0777) != 0700)
        problem = QStringLiteral("others may enter it (mode %1)")
                      .arg(info.st_mode & 0777, 3, 8, QLatin1Char('0'));
    if (why && !problem.isEmpty())
        *why = path + QStringLiteral(": ") + problem;
    return problem.isEmpty();
}

QString RuntimeFolder::find(QString *why)
{
    QList<std::pair<QString, bool>> candidates; // folder, made when missing
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty())
        candidates.append({xdg, false});
    candidates.append(
        {QDir(QDir::tempPath()).filePath(QStringLiteral("runtime-%1").arg(::geteuid())), true});
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    candidates.append({QDir(cache).filePath(QStringLiteral("tonewright/runtime")), true});

    QStringList problems;
    for (const auto &[folder, create] : candidates) {
        QString problem;
        if (isPrivate(folder, create, &problem))
            return folder;
        problems << problem;
    }
    if (why)
        *why = problems.join(QStringLiteral("; "));
    return {};
}
