// The playlist reader on arbitrary bytes, then a write of what it read and a re-read.
#include "fuzz/fuzzsupport.h"
#include "joblist/playlistfile.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = PlaylistFile::lines(bytes);
    for (const QString &name : {QStringLiteral("list.m3u"), QStringLiteral("list.pls")}) {
        const QString path = FuzzSupport::writeFile(name, data, size);
        bool ok = false;
        PlaylistFile::entries(path, &ok);
        check(ok, "a readable playlist file reads");
        PlaylistFile::read(path);
    }

    QStringList kept;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            kept << line;
    }
    const QString copy = FuzzSupport::folder() + QStringLiteral("/copy.m3u");
    check(PlaylistFile::write(copy, kept), "a playlist can be written");
    QStringList again;
    for (const QString &line : PlaylistFile::lines(FuzzSupport::readFile(copy))) {
        if (!line.isEmpty())
            again << line;
    }
    check(again == kept, "written lines read back unchanged");
    return 0;
}
