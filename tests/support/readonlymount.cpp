#include "tests/support/readonlymount.h"

#include <QFile>
#include <QProcess>

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

namespace {

// Runs a tool; "" when it succeeded, else what went wrong.
QString runTool(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return program + QStringLiteral(" failed: ") +
               (p.error() == QProcess::FailedToStart
                    ? QStringLiteral("not installed")
                    : QString::fromLocal8Bit(p.readAllStandardError().trimmed()));
    if (output)
        *output = p.readAllStandardOutput().trimmed();
    return {};
}

} // namespace

ExfatMount::ExfatMount(const QString &dir, qint64 bytes)
{
    m_dir = dir;
    m_image = dir + QStringLiteral(".exfat.img");
    QFile image(m_image);
    if (!image.open(QIODevice::WriteOnly) || !image.resize(bytes)) {
        m_whyNot = QStringLiteral("cannot make the image file ") + m_image;
        return;
    }
    image.close();
    QByteArray loop;
    m_whyNot = runTool(QStringLiteral("mkfs.exfat"), {m_image});
    if (m_whyNot.isEmpty())
        m_whyNot = runTool(QStringLiteral("losetup"), {"-f", "--show", m_image}, &loop);
    if (!m_whyNot.isEmpty())
        return;
    m_loop = QString::fromLocal8Bit(loop);
    m_whyNot = runTool(QStringLiteral("mount.exfat-fuse"), {m_loop, m_dir});
    m_mounted = m_whyNot.isEmpty();
}

ExfatMount::~ExfatMount()
{
    // Unmounted before its loop device goes; the base class then has nothing left to do.
    if (m_mounted) {
        const QByteArray dir = QFile::encodeName(m_dir);
        if (::umount2(dir.constData(), 0) != 0)
            ::umount2(dir.constData(), MNT_DETACH);
        m_mounted = false;
    }
    if (!m_loop.isEmpty())
        runTool(QStringLiteral("losetup"), {"-d", m_loop});
    QFile::remove(m_image);
}
