#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
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

QString Paths::withTrailingSeparator(const QString &dir)
{
    if (dir.endsWith(u'/') || dir.endsWith(QDir::separator()))
        return dir;
    return dir + QDir::separator();
}
