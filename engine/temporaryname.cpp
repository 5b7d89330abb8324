#include "engine/temporaryname.h"

#include <QFile>

QString TemporaryName::beside(const QString &folder, const QString &stem, const QString &tail)
{
    const qsizetype room = MaxNameBytes - QFile::encodeName(tail).size();
    QString cut = stem;
    while (!cut.isEmpty() && QFile::encodeName(cut).size() > room) {
        cut.chop(1);
        if (!cut.isEmpty() && cut.back().isHighSurrogate())
            cut.chop(1);
    }
    return folder + QLatin1Char('/') + cut + tail;
}
