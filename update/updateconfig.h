#pragma once

#include <QString>
#include <QtGlobal>

class QUrl;

// Where live update fetches from and saves to, and the limits of its transfers.
struct UpdateConfig
{
    QString descriptionUrl; // the update description (an INI file); empty: no live update
    QString installerUrl;
    // The base64 line of the minisign public key that both files must be signed with; empty:
    // no live update. Only the build sets it: nothing at run time replaces it.
    QByteArray publicKey;
    QString runningVersion; // an offered version must be newer than this one
    QString folder;         // where downloads are saved
    int stallTimeoutMs = 30000;
    qint64 descriptionLimit = 64 * 1024;
    qint64 installerLimit = qint64(1) << 30;

    // The addresses this build was made with, each replaced by its environment variable
    // (TONEWRIGHT_UPDATE_URL, TONEWRIGHT_INSTALLER_URL) when that is set, the build's public
    // key and version; downloads go to the user's cache folder.
    static UpdateConfig fromEnvironment();
    // An address to check and a usable key.
    bool canCheck() const;
    // $XDG_CACHE_HOME/tonewright/update (~/.cache/tonewright/update).
    static QString cacheFolder();
    // Only https, or plain http to this machine (a local test server).
    static bool isFetchable(const QUrl &url);
};
