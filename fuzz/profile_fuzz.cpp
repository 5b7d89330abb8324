// The profile reader and writer on arbitrary file bytes: reads, one write, a re-read.
#include "fuzz/fuzzsupport.h"
#include "settings/profile.h"

#include <QStringList>

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file = FuzzSupport::writeFile(QStringLiteral("twr.ini"), data, size);
    const QString output = QStringLiteral("output");
    const QStringList keys{QStringLiteral("format"), QStringLiteral("folder"),
                           QStringLiteral("overwrite"), QStringLiteral("fuzz")};
    QStringList before;
    for (const QString &key : keys)
        before << ReadIni(file, output, key);
    const QString other = ReadIni(file, QStringLiteral("mp3"), QStringLiteral("bitrate"));

    WriteIni(file, output, QStringLiteral("fuzz"), QStringLiteral(" new value "));
    check(ReadIni(file, output, QStringLiteral("fuzz")) == QStringLiteral("new value"),
          "a written value reads back");
    for (int i = 0; i < keys.size() - 1; ++i)
        check(ReadIni(file, output, keys.at(i)) == before.at(i),
              "a write leaves the other keys of its section as they were");
    check(ReadIni(file, QStringLiteral("mp3"), QStringLiteral("bitrate")) == other,
          "a write leaves other sections as they were");
    return 0;
}
