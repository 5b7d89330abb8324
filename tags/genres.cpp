#include "tags/tagfields.h"

#include <QRegularExpression>

#include <taglib/id3v1genres.h>

namespace {
constexpr int StandardGenres = Genres::Count;

QString toQString(const TagLib::String &s)
{
    return QString::fromStdWString(s.toWString());
}

// "17", "(17)" or "(17)Rock"-style references to a standard genre.
int numberReference(const QString &value)
{
    QString v = value.trimmed();
    if (v.startsWith(u'(') && v.endsWith(u')'))
        v = v.mid(1, v.size() - 2);
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n >= 0 && n < StandardGenres ? n : -1;
}
} // namespace

QString Genres::name(int genre)
{
    if (genre < 0 || genre >= StandardGenres)
        return {};
    return toQString(TagLib::ID3v1::genre(genre));
}

int Genres::number(const QString &name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return -1;
    for (int i = 0; i < StandardGenres; ++i) {
        if (Genres::name(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    // Older spellings of the same names, as many taggers still write them.
    static const struct
    {
        const char *name;
        int number;
    } older[] = {{"Jazz+Funk", 29}, {"AlternRock", 40}, {"Psychadelic", 67}, {"Folk-Rock", 81},
                 {"Bebob", 85},     {"Avantgarde", 90}, {"A capella", 123},  {"Dance Hall", 125},
                 {"Hardcore", 129}, {"Negerpunk", 133}, {"JPop", 146},       {"SynthPop", 147}};
    for (const auto &o : older) {
        if (wanted.compare(QLatin1String(o.name), Qt::CaseInsensitive) == 0)
            return o.number;
    }
    return -1;
}

QStringList Genres::compose(int genre, const QString &genreS)
{
    // The free text first: players that show one value show the more telling one.
    QStringList values;
    const QString standard = name(genre);
    const QString text = genreS.trimmed();
    if (!text.isEmpty() && text.compare(standard, Qt::CaseInsensitive) != 0)
        values << text;
    if (!standard.isEmpty())
        values << standard;
    return values;
}

void Genres::parse(const QStringList &stored, int &genre, QString &genreS)
{
    // "(17)Rock" is a reference followed by a refinement: two values.
    const QRegularExpression reference(QStringLiteral("^\\s*\\((\\d+)\\)(.*)$"));
    QStringList split;
    for (const QString &value : stored) {
        const auto m = reference.match(value);
        if (m.hasMatch())
            split << m.captured(1) << m.captured(2);
        else
            split << value;
    }
    // Numbers past the standard list (TagLib writes "Krautrock" as 169) stand for their names.
    QStringList values;
    for (const QString &value : split) {
        bool ok = false;
        const int n = value.trimmed().toInt(&ok);
        const QString extended =
            ok && n >= StandardGenres && n < 256 ? toQString(TagLib::ID3v1::genre(n)) : QString();
        values << (extended.isEmpty() ? value : extended);
    }
    genre = -1;
    genreS.clear();
    for (const QString &value : values) {
        const int n = numberReference(value);
        genre = n >= 0 ? n : number(value);
        if (genre >= 0)
            break;
    }
    const QString standard = name(genre);
    for (const QString &value : values) {
        const QString text = value.trimmed();
        if (text.isEmpty() || numberReference(text) >= 0)
            continue;
        if (text.compare(standard, Qt::CaseInsensitive) != 0) {
            genreS = text;
            return;
        }
    }
    genreS = standard;
}

QStringList Genres::mergeBasic(int genre, const QStringList &stored)
{
    QStringList values;
    for (const QString &value : stored) {
        const QString text = value.trimmed();
        if (!text.isEmpty() && numberReference(text) < 0 && number(text) < 0)
            values << text;
    }
    const QString standard = name(genre);
    if (!standard.isEmpty())
        values << standard;
    return values;
}
