#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One program instance per settings folder, held through a lock file in a runtime folder only
// this user can enter. A lock left by a crashed process is taken over. Without such a folder
// there is no lock: every start has a window of its own.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &configDir);
    ~InstanceLock();

    // True when another live process holds the lock; otherwise takes it (once) and returns false.
    bool heldByAnother();
    // The local socket on which the lock holder takes files from later starts; empty without
    // a private folder.
    QString socketPath() const { return m_socketPath; }

private:
    QString m_path;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QString m_problem; // why no private folder was found
    bool m_told = false;
};
