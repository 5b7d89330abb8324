#include "joblist/audioextensions.h"

namespace AudioExtensions {

const QStringList &decodable()
{
    static const QStringList endings{
        QStringLiteral("wav"),  QStringLiteral("mp3"),  QStringLiteral("mp2"),
        QStringLiteral("mp1"),  QStringLiteral("mpeg"), QStringLiteral("ogg"),
        QStringLiteral("wma"),  QStringLiteral("flac"), QStringLiteral("aif"),
        QStringLiteral("aiff"), QStringLiteral("aifc"), QStringLiteral("opus"),
        QStringLiteral("oga"),  QStringLiteral("m4a"),  QStringLiteral("m4b"),
        QStringLiteral("aac"),  QStringLiteral("wv"),   QStringLiteral("ape"),
        QStringLiteral("mka"),  QStringLiteral("ac3"),  QStringLiteral("au"),
        QStringLiteral("caf"),  QStringLiteral("tta")};
    return endings;
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
