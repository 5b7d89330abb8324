#include "settings/settingsfiles.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

QString SettingsFiles::workingFile()
{
    return QDir(Paths::configDir()).filePath(QStringLiteral("twr.ini"));
}

QString SettingsFiles::shippedDefaults()
{
    return QStringLiteral(":/defaults/twr2.ini");
}

QString SettingsFiles::defaultsFile()
{
    const QString path = QDir(Paths::configDir()).filePath(QStringLiteral("twr2.ini"));
    if (!QFile::exists(path)) {
        QFile shipped(shippedDefaults());
        if (shipped.open(QIODevice::ReadOnly)) {
            QSaveFile out(path);
            if (out.open(QIODevice::WriteOnly)) {
                const QByteArray bytes = shipped.readAll();
                // A cut copy must not take the place of the defaults (see WriteIni).
                if (out.write(bytes) == bytes.size() && out.flush())
                    out.commit();
            }
        }
    }
    return path;
}

QString SettingsFiles::notSavedMessage(const QString &file, const QString &why)
{
    return QStringLiteral("The settings could not be saved in %1: %2").arg(file, why);
}
