#include "joblist/playlistfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

QString decode(QByteArray content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(content);
    if (!utf8.hasError())
        return text;
    // Older playlists in an 8-bit code page: keep every byte rather than dropping lines.
    return QString::fromLatin1(content);
}

} // namespace

QStringList PlaylistFile::lines(const QByteArray &content)
{
    QStringList result;
    if (content.isEmpty())
        return result;
    const QString text = decode(content);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\r', start);
        if (end < 0) {
            if (start < text.size())
                result.append(text.mid(start));
            break;
        }
        result.append(text.mid(start, end - start));
        start = end + 1;
        if (start < text.size() && text.at(start) == u'\n')
            ++start;
    }
    return result;
}

QStringList PlaylistFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    file.close();

    const QDir base = QFileInfo(path).absoluteDir();
    QStringList files;
    for (const QString &line : lines(content)) {
        if (line.isEmpty())
            continue;
        const QFileInfo entry(QFileInfo(line).isRelative() ? base.filePath(line) : line);
        if (entry.isFile())
            files.append(QDir::cleanPath(entry.absoluteFilePath()));
    }
    return files;
}

bool PlaylistFile::write(const QString &path, const QStringList &paths)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &entry : paths) {
        const QByteArray line = entry.toUtf8() + "\r\n";
        if (file.write(line) != line.size()) {
            file.cancelWriting();
            return false;
        }
    }
    return file.commit();
}
