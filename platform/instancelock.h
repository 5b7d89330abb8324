#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One program instance per settings folder, held through a lock file in the runtime folder.
// A lock left by a crashed process is taken over.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &configDir);
    ~InstanceLock();

    // True when another live process holds the lock; otherwise takes it (once) and returns false.
    bool heldByAnother();
    // The local socket on which the lock holder takes files from later starts.
    QString socketPath() const { return m_socketPath; }

private:
    QString m_path;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
};
