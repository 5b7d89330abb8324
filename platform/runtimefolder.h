#pragma once

#include <QString>

// The folder for the instance lock and the hand-over socket: one that only this user can
// enter, so another user can neither plant a lock or socket there nor reach ours.
class RuntimeFolder
{
public:
    // The first usable of $XDG_RUNTIME_DIR, <temp>/runtime-<uid> (made when missing) and
    // <cache>/tonewright/runtime (made when missing). Empty when none is usable; `why` then
    // names each folder and what is wrong with it.
    static QString find(QString *why = nullptr);

    // Makes `path` (mode 0700) when `create` and it is missing. True when it is a folder, not a
    // link, owned by this user and closed to everyone else (mode 0700); `why` says otherwise.
    static bool isPrivate(const QString &path, bool create, QString *why);
};
