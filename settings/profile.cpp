#include "settings/profile.h"

#include "platform/plainreason.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cstdio>
#include <mutex>

#include <optional>
#include <vector>

namespace {

// A settings file is small; anything larger, or anything but a regular file (a FIFO would
// block the reader forever, a link to /dev/zero would never end), is not one.
constexpr qint64 MaxFileBytes = 1024 * 1024;

enum class FileState { Missing, Usable, Refused };

void warnOnce(const QString &file, const QString &why)
{
    static std::mutex mutex;
    static QSet<QString> warned;
    std::lock_guard lock(mutex);
    if (warned.contains(file))
        return;
    warned.insert(file);
    std::fprintf(stderr, "%s\n",
                 qPrintable(QStringLiteral("Settings file %1 %2; it is treated as missing and "
                                           "left as it is")
                                .arg(file, why)));
}

FileState checkFile(const QString &file, QString *why)
{
    const QFileInfo info(file); // follows links: what counts is what would be read
    if (!info.exists()) {
        if (!info.isSymLink())
            return FileState::Missing;
        *why = QStringLiteral("is a link to nothing");
    } else if (!info.isFile()) {
        *why = QStringLiteral("is not a regular file");
    } else if (info.size() > MaxFileBytes) {
        *why = QStringLiteral("is larger than 1 MiB");
    } else {
        return FileState::Usable;
    }
    warnOnce(file, *why);
    return FileState::Refused;
}

// The file's bytes, or nothing when it is missing, refused (`why` says so) or unreadable. The
// size is checked again on the open file, which may have grown since.
std::optional<QByteArray> readSettings(const QString &file, FileState *state,
                                       QString *why = nullptr)
{
    QString reason;
    *state = checkFile(file, &reason);
    if (*state == FileState::Usable) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            reason = QStringLiteral("cannot be read: ") + PlainReason::of(f.errorString());
        } else {
            QByteArray data = f.read(MaxFileBytes + 1);
            if (data.size() <= MaxFileBytes)
                return data;
            reason = QStringLiteral("is larger than 1 MiB");
            warnOnce(file, reason);
            *state = FileState::Refused;
        }
    }
    if (why)
        *why = reason;
    return std::nullopt;
}

struct Line
{
    QByteArray text; // without the line ending
    QByteArray eol;  // "\r\n", "\n", "\r" or "" for a last line without one
};

std::vector<Line> splitLines(const QByteArray &data)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && data[i] != '\n' && data[i] != '\r')
            ++i;
        Line line{data.mid(start, i - start), {}};
        if (i < n) {
            if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') {
                line.eol = "\r\n";
                i += 2;
            } else {
                line.eol = data.mid(i, 1);
                ++i;
            }
        }
        lines.push_back(std::move(line));
        start = i;
    }
    return lines;
}

QString decoded(const QByteArray &bytes)
{
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    return QString::fromUtf8(b);
}

// The section name of a "[name]" line, if the line is one.
std::optional<QString> sectionName(const QByteArray &text)
{
    const QString t = decoded(text).trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

// The key name of a "key=value" line; comments and lines without "=" have none.
std::optional<QString> keyName(const QByteArray &text)
{
    const QString t = decoded(text);
    const QString trimmed = t.trimmed();
    if (trimmed.startsWith(u';') || trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString valueOf(const QByteArray &text)
{
    const QString t = decoded(text);
    QString v = t.mid(t.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

struct Location
{
    std::optional<size_t> sectionLine; // the "[section]" line
    std::optional<size_t> keyLine;     // the first matching key line in it
    size_t sectionEnd = 0;             // one past the last non-blank line of the section
};

Location locate(const std::vector<Line> &lines, const QString &section, const QString &key)
{
    Location loc;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (inside)
                break; // only the first section of that name counts
            inside = sameName(*name, section);
            if (inside) {
                loc.sectionLine = i;
                loc.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!lines[i].text.trimmed().isEmpty())
            loc.sectionEnd = i + 1;
        if (!loc.keyLine) {
            if (const auto name = keyName(lines[i].text); name && sameName(*name, key))
                loc.keyLine = i;
        }
    }
    return loc;
}

QByteArray preferredEol(const std::vector<Line> &lines)
{
    for (const Line &l : lines)
        if (!l.eol.isEmpty())
            return l.eol;
    return "\n";
}

} // namespace

QString ReadIni(const QString &file, const QString &section, const QString &key)
{
    FileState state;
    const std::optional<QByteArray> data = readSettings(file, &state);
    if (!data)
        return {};
    const std::vector<Line> lines = splitLines(*data);
    const Location loc = locate(lines, section, key);
    if (!loc.keyLine)
        return {};
    return valueOf(lines[*loc.keyLine].text);
}

namespace {

// Puts `key`=`value` into `section` of `lines`: in place, at the section's end, or in a new
// section at the file's end.
void setKey(std::vector<Line> &lines, const QString &section, const QString &key,
            const QString &value, const QByteArray &eol)
{
    // A line break inside a value would split it into lines of its own.
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');

    const Location loc = locate(lines, section, key);
    if (loc.keyLine) {
        Line &line = lines[*loc.keyLine];
        const QByteArray name = line.text.left(line.text.indexOf('=')).trimmed();
        line.text = name + '=' + flat.toUtf8();
        return;
    }
    const QByteArray keyLine = key.toUtf8() + '=' + flat.toUtf8();
    if (loc.sectionLine) {
        size_t at = loc.sectionEnd;
        if (at > 0 && lines[at - 1].eol.isEmpty())
            lines[at - 1].eol = eol;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{keyLine, eol});
    } else {
        if (!lines.empty() && lines.back().eol.isEmpty())
            lines.back().eol = eol;
        lines.push_back(Line{'[' + section.toUtf8() + ']', eol});
        lines.push_back(Line{keyLine, eol});
    }
}

} // namespace

bool WriteIni(const QString &file, const QString &section, const QString &key, const QString &value,
              QString *why)
{
    return WriteIniKeys(file, section, {{key, value}}, why);
}

bool WriteIniKeys(const QString &file, const QString &section, const IniValues &values,
                  QString *why)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    QByteArray old;
    FileState state;
    QString unusable;
    if (const std::optional<QByteArray> data = readSettings(file, &state, &unusable))
        old = *data;
    else if (state != FileState::Missing || QFileInfo::exists(file))
        return fail(QStringLiteral("the file ") + unusable); // rewriting it would lose what it is
    std::vector<Line> lines = splitLines(old);
    const QByteArray eol = preferredEol(lines);
    for (const auto &[key, value] : values)
        setKey(lines, section, key, value, eol);

    QByteArray out;
    out.reserve(old.size() + 64);
    for (const Line &l : lines)
        out += l.text + l.eol;

    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly))
        return fail(PlainReason::of(save.errorString()));
    // Qt's commit renames the new file into place even when its last buffered bytes did not
    // reach the disk (a full disk): only a whole flush may replace the old file. Without
    // commit, the temporary file is discarded and the old one stays.
    if (save.write(out) != out.size() || !save.flush() || !save.commit())
        return fail(PlainReason::of(save.errorString()));
    return true;
}
