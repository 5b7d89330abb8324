#include "platform/instancelock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

InstanceLock::InstanceLock(const QString &configDir)
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
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
