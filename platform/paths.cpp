#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString Paths::configDir()
{
    QString dir = qEnvironmentVariable("TONEWRIGHT_CONFIG_DIR");
    if (dir.isEmpty()) {
        QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (base.isEmpty())
            base = QDir::homePath() + QStringLiteral("/.config");
        dir = base + QStringLiteral("/tonewright");
    }
    QDir().mkpath(dir);
    return QDir::cleanPath(dir);
}

QString Paths::programDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString Paths::userGuide(const QString &programFolder)
{
    const QDir program(programFolder);
    const QString beside = program.filePath(QStringLiteral("help/index.html"));
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(program.filePath(QStringLiteral(TWR_GUIDE_DIR_FROM_BIN "/index.html")));
}

QString Paths::privateLibraryDir(const QString &programFolder)
{
    return QDir::cleanPath(
        QDir(programFolder).filePath(QStringLiteral(TWR_PRIVATE_LIBDIR_FROM_BIN)));
}

QString Paths::defaultOutputFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return withTrailingSeparator(QDir::cleanPath(folder));
}

QString Paths::withTrailingSeparator(const QString &dir)
{
    if (dir.endsWith(u'/') || dir.endsWith(QDir::separator()))
        return dir;
    return dir + QDir::separator();
}

QString Paths::relativeFolder(const QString &folder, const QString &root)
{
    if (root.isEmpty())
        return {};
    const QString relative = QDir(root).relativeFilePath(folder);
    if (relative.isEmpty() || relative == QLatin1String(".") || relative == QLatin1String("..") ||
        relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative))
        return {};
    return QDir::cleanPath(relative);
}

QString Paths::folderBelow(const QString &base, const QString &relative)
{
    if (relative.isEmpty())
        return base;
    return withTrailingSeparator(base) + QDir::toNativeSeparators(relative) + QDir::separator();
}
