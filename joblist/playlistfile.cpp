#include "joblist/playlistfile.h"

#include "platform/plainreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// No path is longer than this; longer lines (binary data, say) are dropped unread.
constexpr qsizetype MaxLineBytes = 32 * 1024;

QString decodeLine(const QByteArray &bytes)
{
    // The file's byte order mark was taken off already; one at the start of a line is part
    // of the name.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Older playlists in an 8-bit code page: keep every byte rather than drop the line.
    return QString::fromLatin1(bytes);
}

// Splits bytes into lines as they arrive: a line ends at CR, LF or CR LF. Lines are cut at the byte
// level (CR and LF never occur inside a UTF-8 sequence), so memory stays bounded by one line
// whatever the file holds.
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
            if (c == '\r' || c == '\n') {
                endLine();
                m_afterCr = c == '\r';
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

// The lines of the playlist file at `path`; "" in `why` when it was read.
QStringList rawLines(const QString &path, QString *why)
{
    const QString name = QFileInfo(path).fileName();
    // The open file is checked, not the name, which may be swapped in between; without
    // blocking, as opening a pipe waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = QStringLiteral("%1 cannot be read: %2").arg(name, PlainReason::of(errno));
        return {};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *why =
            QStringLiteral("%1 cannot be read: %2").arg(name, PlainReason::of(file.errorString()));
        return {};
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *why = QStringLiteral("%1 is not a playlist file (not a regular file)").arg(name);
        return {};
    }
    QStringList raw;
    LineSplitter splitter(raw);
    QByteArray block(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0) {
            *why = QStringLiteral("%1 cannot be read: %2")
                       .arg(name, PlainReason::of(file.errorString()));
            return {};
        }
        if (got == 0)
            break;
        total += got;
        if (total > PlaylistFile::MaxFileBytes) {
            *why = QStringLiteral("%1 is too large to be a playlist (more than %2 MiB)")
                       .arg(name)
                       .arg(PlaylistFile::MaxFileBytes / (1024 * 1024));
            return {};
        }
        splitter.feed(QByteArrayView(block.constData(), got));
    }
    splitter.finish();
    return raw;
}

} // namespace

QStringList PlaylistFile::lines(const QByteArray &content)
{
    QStringList result;
    LineSplitter splitter(result);
    splitter.feed(content);
    splitter.finish();
    return result;
}

QStringList PlaylistFile::entries(const QString &path, bool *ok, QString *why)
{
    QString reason;
    const QStringList raw = rawLines(path, &reason);
    if (ok)
        *ok = reason.isEmpty();
    if (why)
        *why = reason;
    if (!reason.isEmpty())
        return {};

    // A PLS file names its entries with numbered "FileN=" keys; everything else in it is
    // metadata. Elsewhere every line that is not a comment is a path.
    const bool pls = QFileInfo(path).suffix().compare(u"pls", Qt::CaseInsensitive) == 0 ||
                     (!raw.isEmpty() &&
                      raw.constFirst().trimmed().compare(u"[playlist]", Qt::CaseInsensitive) == 0);
    static const QRegularExpression plsEntry(QStringLiteral("^\\s*File\\d+\\s*=(.*)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QDir base = QFileInfo(path).absoluteDir();
    QStringList out;
    for (QString line : std::as_const(raw)) {
        if (pls) {
            const QRegularExpressionMatch m = plsEntry.match(line);
            if (!m.hasMatch())
                continue;
            line = m.captured(1).trimmed();
        } else if (line.startsWith(u'#')) {
            continue;
        }
        if (line.isEmpty())
            continue;
        if (line.startsWith(u"file://"))
            line = QUrl(line).toLocalFile();
        out << QDir::cleanPath(base.absoluteFilePath(line));
    }
    return out;
}

QStringList PlaylistFile::read(const QString &path, QString *why)
{
    QStringList files;
    for (const QString &entry : entries(path, nullptr, why))
        if (QFileInfo(entry).isFile())
            files << entry;
    return files;
}

bool PlaylistFile::write(const QString &path, const QStringList &paths, QString *why)
{
    QSaveFile file(path);
    const auto fail = [&] {
        if (why)
            *why = PlainReason::of(file.errorString());
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // A first name that starts with U+FEFF would lose it to the reader, which takes a byte
    // order mark at the start of the file off: a mark of its own keeps it.
    if (!paths.isEmpty() && paths.constFirst().startsWith(QChar(0xFEFF)) &&
        file.write("\xEF\xBB\xBF") != 3)
        return fail();
    for (const QString &entry : paths) {
        const QByteArray line = entry.toUtf8() + "\r\n";
        if (file.write(line) != line.size())
            return fail();
    }
    // A failed flush (a full disk) must not let commit rename a cut list into place.
    if (!file.flush() || !file.commit())
        return fail();
    return true;
}
