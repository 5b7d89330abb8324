#include "platform/instancelock.h"

#include "platform/runtimefolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>

#include <cstdio>

InstanceLock::InstanceLock(const QString &configDir)
{
    const QString runtime = RuntimeFolder::find(&m_problem);
    if (runtime.isEmpty())
        return;
    const QByteArray id =
        QCryptographicHash::hash(QDir(configDir).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    const QString base =
        QDir(runtime).filePath(QStringLiteral("tonewright-%1").arg(QString::fromLatin1(id)));
    m_path = base + QStringLiteral(".lock");
    m_socketPath = base + QStringLiteral(".socket");
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::heldByAnother()
{
    if (m_path.isEmpty()) {
        // A lock or socket in a folder others can enter could be planted or reached by them.
        if (!std::exchange(m_told, true))
            std::fprintf(stderr,
                         "Tonewright found no private folder for its instance lock (%s), so a "
                         "second start opens a window of its own.\n",
                         qPrintable(m_problem));
        return false;
    }
    if (m_lock && m_lock->isLocked())
        return false;
    auto lock = std::make_unique<QLockFile>(m_path);
    lock->setStaleLockTime(0); // only a dead owner makes a lock stale
    if (!lock->tryLock(0)) {
        // An unwritable runtime folder is no proof of another instance.
        return lock->error() == QLockFile::LockFailedError;
    }
    m_lock = std::move(lock);
    return false;
}
