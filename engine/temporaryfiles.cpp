#include "engine/temporaryfiles.h"

#include <QList>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <unistd.h>

namespace {

struct Kept
{
    std::mutex mutex;
    QList<QByteArray> paths;
};

// Never destroyed: a stop may come while the program's statics are being torn down.
Kept &kept()
{
    static Kept *k = new Kept;
    return *k;
}

} // namespace

QByteArray TemporaryFiles::make(const std::function<QByteArray()> &create)
{
    std::lock_guard lock(kept().mutex);
    const QByteArray path = create();
    if (!path.isEmpty())
        kept().paths.append(path);
    return path;
}

void TemporaryFiles::forget(const QByteArray &path)
{
    std::lock_guard lock(kept().mutex);
    kept().paths.removeOne(path);
}

void TemporaryFiles::remove(const QByteArray &path)
{
    std::lock_guard lock(kept().mutex);
    ::unlink(path.constData());
    kept().paths.removeOne(path);
}

int TemporaryFiles::renameInto(const QByteArray &from, const QByteArray &to)
{
    std::lock_guard lock(kept().mutex);
    if (std::rename(from.constData(), to.constData()) != 0)
        return errno;
    kept().paths.removeOne(from);
    return 0;
}

void TemporaryFiles::removeAllAndExit(int status)
{
    // Held to the end: no output is renamed into place any more.
    kept().mutex.lock();
    for (const QByteArray &path : std::as_const(kept().paths))
        ::unlink(path.constData());
    std::fflush(stdout);
    ::_exit(status);
}
