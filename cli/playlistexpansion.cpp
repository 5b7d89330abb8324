#include "cli/playlistexpansion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

bool PlaylistExpansion::isPlaylist(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("m3u") || suffix == QLatin1String("m3u8") ||
           suffix == QLatin1String("pls");
}

QStringList PlaylistExpansion::entries(const QString &playlist, bool *ok)
{
    QFile file(playlist);
    *ok = file.open(QIODevice::ReadOnly);
    if (!*ok)
        return {};
    const QByteArray content = file.readAll();
    QString text = QString::fromUtf8(content);
    if (text.contains(QChar::ReplacementCharacter))
        text = QString::fromLatin1(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    const bool pls =
        QFileInfo(playlist).suffix().compare(QLatin1String("pls"), Qt::CaseInsensitive) == 0;
    static const QRegularExpression plsEntry(QStringLiteral("^File\\d+=(.*)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QDir base = QFileInfo(playlist).absoluteDir();
    QStringList out;
    for (QString line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        line = line.trimmed();
        if (pls) {
            const QRegularExpressionMatch m = plsEntry.match(line);
            if (!m.hasMatch())
                continue;
            line = m.captured(1).trimmed();
        } else if (line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("file://")))
            line = QUrl(line).toLocalFile();
        out << QDir::cleanPath(base.absoluteFilePath(QDir::fromNativeSeparators(line)));
    }
    return out;
}

QStringList PlaylistExpansion::expand(const QStringList &arguments)
{
    QStringList out;
    for (const QString &argument : arguments) {
        bool ok = false;
        if (isPlaylist(argument)) {
            const QStringList listed = entries(argument, &ok);
            if (ok) {
                out << listed;
                continue;
            }
        }
        out << argument;
    }
    return out;
}
