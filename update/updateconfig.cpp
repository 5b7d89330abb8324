#include "update/updateconfig.h"

#include "update/signingkey.h"
#include "vendor.h"
#include "version.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace {

QString configured(const char *variable, const char *built)
{
    if (qEnvironmentVariableIsSet(variable))
        return qEnvironmentVariable(variable).trimmed();
    return QString::fromUtf8(built).trimmed();
}

} // namespace

UpdateConfig UpdateConfig::fromEnvironment()
{
    UpdateConfig config;
    config.descriptionUrl = configured("TONEWRIGHT_UPDATE_URL", TWR_UPDATE_URL);
    config.installerUrl = configured("TONEWRIGHT_INSTALLER_URL", TWR_INSTALLER_URL);
    config.publicKey = QByteArray(TWR_UPDATE_PUBLIC_KEY).trimmed();
    config.runningVersion = QStringLiteral(TWR_VERSION);
    config.folder = cacheFolder();
    return config;
}

bool UpdateConfig::canCheck() const
{
    return !descriptionUrl.isEmpty() && SigningKey::fromBase64(publicKey).has_value();
}

QString UpdateConfig::cacheFolder()
{
    // The program's own folder is read-only once installed.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return QDir::cleanPath(base + QStringLiteral("/tonewright/update"));
}

bool UpdateConfig::isFetchable(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    const QString host = url.host().toLower();
    return scheme == QLatin1String("http") &&
           (host == QLatin1String("127.0.0.1") || host == QLatin1String("localhost"));
}
