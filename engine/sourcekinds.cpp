#include "engine/sourcekinds.h"

const QStringList &SourceKinds::extensions()
{
    // The dialog's own five first: its filter lists them in this order.
    static const QStringList list{
        QStringLiteral("wav"),  QStringLiteral("mp3"),  QStringLiteral("mp2"),
        QStringLiteral("mp1"),  QStringLiteral("mpeg"), QStringLiteral("ogg"),
        QStringLiteral("wma"),  QStringLiteral("flac"), QStringLiteral("aif"),
        QStringLiteral("aiff"), QStringLiteral("aifc"), QStringLiteral("opus"),
        QStringLiteral("oga"),  QStringLiteral("m4a"),  QStringLiteral("m4b"),
        QStringLiteral("aac"),  QStringLiteral("wv"),   QStringLiteral("ape"),
        QStringLiteral("mka"),  QStringLiteral("ac3"),  QStringLiteral("au"),
        QStringLiteral("caf"),  QStringLiteral("tta"),  QStringLiteral("webm"),
        QStringLiteral("mpc")};
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
