#include "fuzz/fuzzsupport.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The codecs' remarks on every damaged input would slow the fuzzer down and bury its output.
const bool quiet = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
}();

} // namespace

QString FuzzSupport::folder()
{
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        auto d =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/twr-fuzz-XXXXXX"));
        check(d->isValid(), "a temporary folder can be created");
        return d;
    }();
    return dir->path();
}

QString FuzzSupport::writeFile(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = folder() + QLatin1Char('/') + name;
    QFile::remove(path);
    QFile f(path);
    check(f.open(QIODevice::WriteOnly), "the input file can be created");
    check(f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size),
          "the input file can be written");
    return path;
}

QByteArray FuzzSupport::readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void FuzzSupport::check(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

QString FuzzSupport::writeUnderPickedName(const QString &stem, const uint8_t *data, size_t size)
{
    static const std::array<const char *, 6> names{"mp3", "ogg", "wav", "wma", "flac", "m4a"};
    return writeFile(stem + QLatin1Char('.') + QLatin1String(names[data[0] % names.size()]),
                     data + 1, size - 1);
}
