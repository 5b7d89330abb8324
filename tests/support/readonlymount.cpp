#include "tests/support/readonlymount.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

bool MountGuard::mount(const char *source, const char *type, unsigned long flags,
                       const char *options)
{
    const QByteArray dir = QFile::encodeName(m_dir);
    if (::mount(source ? source : dir.constData(), dir.constData(), type, flags, options) == 0)
        return true;
    m_whyNot = QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(std::strerror(errno)),
                                             geteuid() == 0 ? QStringLiteral("running as root")
                                                            : QStringLiteral("not root"));
    return false;
}

MountGuard::~MountGuard()
{
    if (!m_mounted)
        return;
    const QByteArray dir = QFile::encodeName(m_dir);
    // A file still open below it keeps the mount busy; detaching then still undoes it.
    if (::umount2(dir.constData(), 0) != 0)
        ::umount2(dir.constData(), MNT_DETACH);
}

ReadOnlyMount::ReadOnlyMount(const QString &dir)
{
    m_dir = dir;
    if (!mount(nullptr, nullptr, MS_BIND, nullptr))
        return;
    m_mounted = true;
    // A bind mount takes its read-only flag only on a remount.
    if (!mount(nullptr, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr)) {
        ::umount2(QFile::encodeName(m_dir).constData(), MNT_DETACH);
        m_mounted = false;
    }
}

TmpfsMount::TmpfsMount(const QString &dir, qint64 bytes)
{
    m_dir = dir;
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
    m_mounted = mount("tmpfs", "tmpfs", MS_NOSUID | MS_NODEV, options.constData());
}
