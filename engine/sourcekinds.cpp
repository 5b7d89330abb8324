#include "engine/sourcekinds.h"

const QStringList &SourceKinds::extensions()
{
    static const QStringList list{
        QStringLiteral("mp3"),  QStringLiteral("wav"),  QStringLiteral("wma"),
        QStringLiteral("ogg"),  QStringLiteral("mp2"),  QStringLiteral("mp1"),
        QStringLiteral("flac"), QStringLiteral("opus"), QStringLiteral("oga"),
        QStringLiteral("m4a"),  QStringLiteral("m4b"),  QStringLiteral("aac"),
        QStringLiteral("aif"),  QStringLiteral("aiff"), QStringLiteral("ac3"),
        QStringLiteral("mka"),  QStringLiteral("webm"), QStringLiteral("ape"),
        QStringLiteral("wv"),   QStringLiteral("mpc"),  QStringLiteral("tta")};
    return list;
}

bool SourceKinds::isConvertible(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1) // no extension, or a hidden name's leading dot
        return false;
    const QStringView extension = QStringView(path).mid(dot + 1);
    for (const QString &known : extensions()) {
        if (extension.compare(known, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
