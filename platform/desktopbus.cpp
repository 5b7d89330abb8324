#include "platform/desktopbus.h"

#include <QVariantMap>

#include <algorithm>

QString DesktopBus::appId()
{
    return QStringLiteral(TWR_APP_ID);
}

QDBusMessage DesktopBus::launcherEntryUpdate(double fraction)
{
    QString path = appId();
    path.replace(u'.', u'_');
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/") + path,
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    const bool visible = fraction >= 0;
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), visible ? std::clamp(fraction, 0.0, 1.0) : 0.0);
    properties.insert(QStringLiteral("progress-visible"), visible);
    signal << QStringLiteral("application://%1.desktop").arg(appId()) << properties;
    return signal;
}

QString DesktopBus::runFinishedSummary(int failed)
{
    return failed > 0 ? QStringLiteral("Conversion finished with failures")
                      : QStringLiteral("Conversion finished");
}

QString DesktopBus::runFinishedBody(int converted, int failed)
{
    const QString done = converted == 1 ? QStringLiteral("1 file converted")
                                        : QStringLiteral("%1 files converted").arg(converted);
    if (failed == 0)
        return done + u'.';
    return done + QStringLiteral(", %1 failed.").arg(failed);
}

QDBusMessage DesktopBus::runFinishedNotification(int converted, int failed)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    // Files the notification under the program's own entry and icon; normal urgency.
    hints.insert(QStringLiteral("desktop-entry"), appId());
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    call << QStringLiteral("Tonewright") << uint(0) << appId() << runFinishedSummary(failed)
         << runFinishedBody(converted, failed) << QStringList() << hints << int(-1);
    return call;
}
