// The skin file parser on arbitrary text, and the style sheets of what it accepted.
#include "fuzz/fuzzsupport.h"
#include "ui/skin/skinfile.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    SkinFile skin;
    QString error;
    if (!skin.parse(bytes, &error)) {
        check(!error.isEmpty(), "a refused skin says why");
        return 0;
    }
    for (const QString &name : skin.definitionNames()) {
        const SkinDefinition *definition = skin.definition(name);
        check(definition != nullptr, "every listed definition can be found");
        for (const int hue : {0, 30, 330})
            skin.styleSheet(*definition, hue);
    }
    return 0;
}
