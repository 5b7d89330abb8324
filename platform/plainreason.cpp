#include "platform/plainreason.h"

#include <cerrno>
#include <cstring>

namespace {

struct Known
{
    int code;
    const char *words;
};

constexpr Known Reasons[] = {
    {ENOSPC, "the disk is full"},
    {EDQUOT, "the disk is full"},
    {EFBIG, "the file is too large for this disk"},
    {EROFS, "the disk is read-only"},
    {EACCES, "permission denied"},
    {EPERM, "permission denied"},
    {ENOENT, "the file or its folder does not exist"},
    {EISDIR, "it is a folder"},
    {ENAMETOOLONG, "the name is too long"},
    {EIO, "the disk reported an error"},
    {ENOMEM, "there is not enough memory"},
    {EMFILE, "too many files are open"},
    {ENFILE, "too many files are open"},
};

QString systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

QString PlainReason::of(int errnoCode)
{
    for (const Known &k : Reasons)
        if (k.code == errnoCode)
            return QString::fromLatin1(k.words);
    return systemText(errnoCode);
}

QString PlainReason::of(const QString &text)
{
    for (const Known &k : Reasons)
        if (text.contains(systemText(k.code), Qt::CaseInsensitive))
            return QString::fromLatin1(k.words);
    return text;
}

bool PlainReason::isDiskFull(const QString &text)
{
    return of(text) == of(ENOSPC);
}
