// The skin resource library: carries the skin file and writes it out on request.
// Plain C and POSIX only: it links nothing of the program's and no Qt.
#include "resourcetable.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool sameName(const char *a, const char *b)
{
    for (; *a && *b; ++a, ++b) {
        if (lowerAscii(*a) != lowerAscii(*b))
            return false;
    }
    return *a == *b;
}

const Resource *findResource(const char *name, unsigned type, unsigned language)
{
    for (std::size_t i = 0; i < resourceCount; ++i) {
        const Resource &resource = resourceTable[i];
        if (resource.type == type && resource.language == language && sameName(resource.name, name))
            return &resource;
    }
    return nullptr;
}

bool writeAll(int fd, const unsigned char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

// Writes the bytes to a temporary file beside `path` and renames it into place, so the
// file under the real name is either the old one or the complete new one.
bool writeFileAtomically(const char *path, const unsigned char *data, std::size_t size)
{
    static const char suffix[] = ".XXXXXX";
    const std::size_t length = std::strlen(path);
    const std::unique_ptr<char, decltype(&std::free)> temporary(
        static_cast<char *>(std::malloc(length + sizeof suffix)), &std::free);
    if (!temporary)
        return false;
    std::memcpy(temporary.get(), path, length);
    std::memcpy(temporary.get() + length, suffix, sizeof suffix);
    const int fd = ::mkstemp(temporary.get());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, data, size) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.get(), path) == 0;
    if (!ok)
        ::unlink(temporary.get());
    return ok;
}

} // namespace

// Writes the resource `name` to the file `path`, replacing any file there.
// 1: the file now holds the resource's bytes. 0: no such resource, or the file could not
// be written (any earlier file at `path` is then left as it was).
extern "C" __attribute__((visibility("default"))) int LoadSkin(const char *path, const char *name)
{
    if (!path || !*path || !name)
        return 0;
    const Resource *resource = findResource(name, ResourceTypeRcData, LanguageChineseSimplified);
    if (!resource)
        return 0;
    return writeFileAtomically(path, resource->data, resource->size) ? 1 : 0;
}
