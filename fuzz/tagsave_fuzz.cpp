// A tag save round trip on a copy of arbitrary bytes: either the new tag reads back, or
// the save is refused and the file is byte for byte what it was.
#include "engine/engineerror.h"
#include "fuzz/fuzzsupport.h"
#include "tags/fileinfo.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QString path = FuzzSupport::writeUnderPickedName(QStringLiteral("copy"), data, size);
    const QByteArray original = FuzzSupport::readFile(path);

    FileInfo info;
    info.TagVersion = (data[0] & 0x40) ? 1 : 2;
    info.Load(path);
    info.Title = QStringLiteral("Fuzz Title");
    info.Artist = QStringLiteral("Fuzz Artist");
    info.Year = 2001;
    bool saved = true;
    try {
        if (data[0] & 0x80)
            info.SaveAllTags(path);
        else
            info.SaveTag(path);
    } catch (const EngineError &e) {
        saved = false;
        check(!e.message().isEmpty(), "a refused save says why");
    }
    if (!saved) {
        check(FuzzSupport::readFile(path) == original, "a refused save leaves the file as it was");
        return 0;
    }
    FileInfo again;
    again.TagVersion = info.TagVersion;
    again.Load(path);
    check(again.Title == info.Title && again.Artist == info.Artist, "a saved tag reads back");
    return 0;
}
