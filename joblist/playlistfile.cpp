#include "joblist/playlistfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// No path is longer than this; longer lines (binary data, say) are dropped unread.
constexpr qsizetype MaxLineBytes = 32 * 1024;

QString decodeLine(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Older playlists in an 8-bit code page: keep every byte rather than drop the line.
    return QString::fromLatin1(bytes);
}

// Splits bytes into lines as they arrive: a line ends at CR, and a LF right after a CR belongs
// to that line end. Lines are cut at the byte level (CR and LF never occur inside a UTF-8
// sequence), so memory stays bounded by one line whatever the file holds.
class LineSplitter
{
public:
    explicit LineSplitter(QStringList &out)
        : m_out(out)
    {
    }

    void feed(QByteArrayView bytes)
    {
        for (const char c : bytes) {
            if (m_atStart) {
                m_atStart = false;
                if (m_bomMatched < 3 && c == "\xEF\xBB\xBF"[m_bomMatched]) {
                    ++m_bomMatched;
                    m_atStart = m_bomMatched < 3;
                    continue;
                }
                m_line.append("\xEF\xBB\xBF", m_bomMatched); // not a byte order mark after all
            }
            if (m_afterCr) {
                m_afterCr = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\r') {
                endLine();
                m_afterCr = true;
                continue;
            }
            if (m_line.size() < MaxLineBytes)
                m_line.append(c);
            else
                m_tooLong = true;
        }
    }

    void finish()
    {
        if (m_atStart)
            m_line.append("\xEF\xBB\xBF", m_bomMatched);
        if (!m_line.isEmpty() || m_tooLong)
            endLine();
    }

private:
    void endLine()
    {
        if (!m_tooLong)
            m_out.append(decodeLine(m_line));
        m_line.clear();
        m_tooLong = false;
    }

    QStringList &m_out;
    QByteArray m_line;
    bool m_atStart = true;
    int m_bomMatched = 0;
    bool m_afterCr = false;
    bool m_tooLong = false;
};

} // namespace

QStringList PlaylistFile::lines(const QByteArray &content)
{
    QStringList result;
    LineSplitter splitter(result);
    splitter.feed(content);
    splitter.finish();
    return result;
}

QStringList PlaylistFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList raw;
    LineSplitter splitter(raw);
    QByteArray block(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got <= 0)
            break;
        splitter.feed(QByteArrayView(block.constData(), got));
    }
    splitter.finish();
    file.close();

    const QDir base = QFileInfo(path).absoluteDir();
    QStringList files;
    for (const QString &line : raw) {
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
