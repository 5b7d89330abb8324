#include "joblist/audioextensions.h"

#include "engine/sourcekinds.h"

namespace AudioExtensions {

const QStringList &decodable()
{
    return SourceKinds::extensions();
}

bool isDecodable(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString ending = path.mid(dot + 1);
    const QString lower = ending.toLower();
    return (ending == lower || ending == ending.toUpper()) && decodable().contains(lower);
}

QString patterns()
{
    QStringList out;
    for (const QString &ending : decodable())
        out << QStringLiteral("*.") + ending;
    return out.join(QLatin1Char(';'));
}

} // namespace AudioExtensions
