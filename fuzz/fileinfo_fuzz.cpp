// File properties and both tag versions read from arbitrary bytes under each container name.
#include "fuzz/fuzzsupport.h"
#include "tags/fileinfo.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QString path = FuzzSupport::writeUnderPickedName(QStringLiteral("input"), data, size);
    for (const int version : {1, 2}) {
        FileInfo info;
        info.TagVersion = version;
        info.Load(path);
        check(info.GetDuration() >= 0 && info.GetFileSize() >= 0 && info.Channels() >= 0,
              "properties are never negative");
        check(info.GetFileSize() == int(size - 1), "the file size is the file's");
        if (!info.isAudio())
            check(info.GetDuration() == 0, "a file that is not audio has no duration");
    }
    return 0;
}
