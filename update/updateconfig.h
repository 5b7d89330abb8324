#pragma once

#include <QString>
#include <QtGlobal>

class QUrl;

// Where live update fetches from and saves to, and the limits of its transfers.
struct UpdateConfig
{
    QString descriptionUrl; // the update description (an INI file); empty: no live update
    QString installerUrl;
    QString folder; // where downloads are saved
    int stallTimeoutMs = 30000;
    qint64 descriptionLimit = 64 * 1024;
    qint64 installerLimit = qint64(1) << 30;

    // The addresses this build was made with, each replaced by its environment variable
    // (TONEWRIGHT_UPDATE_URL, TONEWRIGHT_INSTALLER_URL) when that is set; downloads go to the
    // user's cache folder.
    static UpdateConfig fromEnvironment();
    // $XDG_CACHE_HOME/tonewright/update (~/.cache/tonewright/update).
    static QString cacheFolder();
    // Only https, or plain http to this machine (a local test server).
    static bool isFetchable(const QUrl &url);
};
