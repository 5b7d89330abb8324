#pragma once

#include <QString>

// Test guards that change what a folder allows for their lifetime, for everyone, root
// included (permission bits do not bind root, and CI runs as root). Both mount over the
// folder and unmount in the destructor, so a failing test leaves nothing mounted. They need
// the right to mount; where it is missing, isActive() is false and whyNot() says why.
class MountGuard
{
public:
    MountGuard(const MountGuard &) = delete;
    MountGuard &operator=(const MountGuard &) = delete;
    ~MountGuard();

    bool isActive() const { return m_mounted; }
    QString whyNot() const { return m_whyNot; }

protected:
    MountGuard() = default;
    bool mount(const char *source, const char *type, unsigned long flags, const char *options);

    QString m_dir;
    bool m_mounted = false;
    QString m_whyNot;
};

// The folder, as it is, turned read-only: a read-only bind mount of it onto itself.
class ReadOnlyMount : public MountGuard
{
public:
    explicit ReadOnlyMount(const QString &dir);
};

// An empty file system of `bytes` bytes over the folder (it hides what was there): writes
// beyond that fail as on a full disk.
class TmpfsMount : public MountGuard
{
public:
    TmpfsMount(const QString &dir, qint64 bytes);
};

// An empty exFAT file system over the folder, as on a USB stick: names that differ only in
// letter case are one file. Made with mkfs.exfat on a loop device and mounted through FUSE
// (mount.exfat-fuse), which works where the kernel has no exFAT driver.
class ExfatMount : public MountGuard
{
public:
    explicit ExfatMount(const QString &dir, qint64 bytes = 16 * 1024 * 1024);
    ~ExfatMount();

private:
    QString m_image;
    QString m_loop; // the loop device, e.g. /dev/loop3
};

// Skips the running test when the guard could not mount.
#define TWR_SKIP_UNLESS_MOUNTED(guard)                                                             \
    do {                                                                                           \
        if (!(guard).isActive())                                                                   \
            QSKIP(qPrintable(QStringLiteral("cannot mount here: ") + (guard).whyNot()));           \
    } while (false)
