#include "settings/settingsfiles.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <limits>

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

std::optional<qint64> SettingsFiles::wholePart(const QString &stored)
{
    bool ok = false;
    const double value = stored.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // Beyond what a whole number holds it is just "very large" (or very small).
    constexpr double Limit = 9.2e18;
    if (std::fabs(value) >= Limit)
        return value > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return qint64(std::trunc(value));
}
