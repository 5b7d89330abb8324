#include "engine/outputfile.h"

#include "engine/temporaryfiles.h"
#include "engine/temporaryname.h"
#include "platform/plainreason.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Attempts = 100;

} // namespace

OutputFile::OutputFile(const QString &path)
    : m_path(path)
{
}

OutputFile::~OutputFile()
{
    discard();
}

bool OutputFile::fail(int errnoCode)
{
    setErrorString(PlainReason::of(errnoCode));
    return false;
}

QByteArray OutputFile::candidateName() const
{
    const QFileInfo info(m_path);
    QByteArray name = QFile::encodeName(
        TemporaryName::beside(info.absolutePath(), info.fileName(), QStringLiteral(".XXXXXX")));
    static constexpr char Letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (qsizetype i = name.size() - 6; i < name.size(); ++i)
        name[i] = Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
    return name;
}

bool OutputFile::openTemporary()
{
    discard();
    const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // This file system has no unnamed files: a named one, removed again unless committed.
        int error = EEXIST;
        for (int i = 0; i < Attempts && fd < 0 && error == EEXIST; ++i) {
            m_temporary = TemporaryFiles::make([&] {
                const QByteArray name = candidateName();
                fd = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
                error = errno;
                return fd >= 0 ? name : QByteArray();
            });
        }
        errno = error;
    }
    if (fd < 0)
        return fail(errno);
    m_fd = fd;
    // A replaced file keeps its permissions; a link's target is none of the output's business.
    struct stat st = {};
    if (::lstat(QFile::encodeName(m_path).constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(fd, st.st_mode & 07777);
    if (!open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        const QString why = errorString();
        discard();
        setErrorString(why);
        return false;
    }
    return true;
}

bool OutputFile::commit()
{
    if (m_fd < 0)
        return fail(EBADF);
    if (!flush())
        return false;
    if (::fsync(m_fd) != 0)
        return fail(errno);
    close();
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    int error = EEXIST;
    for (int i = 0; i < Attempts && m_temporary.isEmpty(); ++i) {
        m_temporary = TemporaryFiles::make([&] {
            const QByteArray name = candidateName();
            const int rc =
                ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW);
            error = errno;
            return rc == 0 ? name : QByteArray();
        });
        if (m_temporary.isEmpty() && error != EEXIST)
            return fail(error);
    }
    if (m_temporary.isEmpty())
        return fail(EEXIST);
    // rename() replaces a symbolic link under the name, never its target.
    if (const int renameError = TemporaryFiles::renameInto(m_temporary, QFile::encodeName(m_path)))
        return fail(renameError);
    m_temporary.clear();
    ::close(m_fd);
    m_fd = -1;
    return true;
}

void OutputFile::discard()
{
    if (isOpen())
        close();
    if (!m_temporary.isEmpty())
        TemporaryFiles::remove(m_temporary);
    m_temporary.clear();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
