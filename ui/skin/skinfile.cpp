#include "ui/skin/skinfile.h"

#include <QRegularExpression>

#include <cmath>

namespace {

const QRegularExpression &placeholderPattern()
{
    static const QRegularExpression pattern(QStringLiteral("@([A-Za-z_][A-Za-z0-9_]*)"));
    return pattern;
}

bool fail(QString *error, int line, const QString &message)
{
    if (error)
        *error = QStringLiteral("line %1: %2").arg(line).arg(message);
    return false;
}

bool parseYesNo(const QString &value, bool *result)
{
    const QString v = value.toLower();
    if (v == u"yes" || v == u"true" || v == u"1")
        *result = true;
    else if (v == u"no" || v == u"false" || v == u"0")
        *result = false;
    else
        return false;
    return true;
}

} // namespace

bool SkinFile::parse(const QByteArray &text, QString *error)
{
    QMap<QString, QColor> palette;
    QList<SkinDefinition> definitions;
    enum class Section { None, Palette, Window } section = Section::None;

    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;

        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return fail(error, lineNumber, QStringLiteral("unclosed section header"));
            const QString header = line.mid(1, line.size() - 2).simplified();
            if (header.compare(u"Palette", Qt::CaseInsensitive) == 0) {
                section = Section::Palette;
            } else if (header.startsWith(u"Window ", Qt::CaseInsensitive)) {
                SkinDefinition definition;
                definition.name = header.mid(7).trimmed();
                if (definition.name.isEmpty())
                    return fail(error, lineNumber, QStringLiteral("window without a name"));
                for (const SkinDefinition &known : std::as_const(definitions)) {
                    if (known.name.compare(definition.name, Qt::CaseInsensitive) == 0)
                        return fail(error, lineNumber,
                                    QStringLiteral("window %1 defined twice").arg(known.name));
                }
                definitions.append(definition);
                section = Section::Window;
            } else {
                return fail(error, lineNumber, QStringLiteral("unknown section %1").arg(header));
            }
            continue;
        }

        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            return fail(error, lineNumber, QStringLiteral("expected key = value"));
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();

        if (section == Section::Palette) {
            static const QRegularExpression namePattern(QStringLiteral("^[a-z_][a-z0-9_]*$"));
            if (!namePattern.match(key).hasMatch())
                return fail(error, lineNumber, QStringLiteral("bad colour name %1").arg(key));
            const QColor colour = QColor::fromString(value);
            if (!value.startsWith(u'#') || !colour.isValid())
                return fail(error, lineNumber, QStringLiteral("bad colour %1").arg(value));
            palette.insert(key, colour);
            continue;
        }
        if (section != Section::Window)
            return fail(error, lineNumber, QStringLiteral("entry outside a section"));

        SkinDefinition &definition = definitions.last();
        if (key == u"style") {
            if (value != u"<<<")
                return fail(error, lineNumber, QStringLiteral("style must start with <<<"));
            QStringList block;
            int j = i + 1;
            for (; j < lines.size() && lines[j].trimmed() != u">>>"; ++j)
                block.append(lines[j]);
            if (j == lines.size())
                return fail(error, lineNumber, QStringLiteral("style without closing >>>"));
            definition.styleTemplate += block.join(u'\n') + u'\n';
            i = j;
        } else if (key == u"frame") {
            if (value.compare(u"normal", Qt::CaseInsensitive) == 0)
                definition.frame = SkinDefinition::Frame::Normal;
            else if (value.compare(u"frameless", Qt::CaseInsensitive) == 0)
                definition.frame = SkinDefinition::Frame::Frameless;
            else
                return fail(error, lineNumber, QStringLiteral("bad frame %1").arg(value));
        } else if (key == u"corners") {
            bool ok = false;
            const int radius = value.toInt(&ok);
            if (!ok || radius < 0 || radius > 200)
                return fail(error, lineNumber, QStringLiteral("bad corner radius %1").arg(value));
            definition.cornerRadius = radius;
        } else if (key == u"translucent") {
            if (!parseYesNo(value, &definition.translucent))
                return fail(error, lineNumber, QStringLiteral("bad yes/no %1").arg(value));
        } else if (key == u"inherit") {
            const SkinDefinition *base = nullptr;
            for (const SkinDefinition &known : std::as_const(definitions)) {
                if (&known != &definition && known.name.compare(value, Qt::CaseInsensitive) == 0)
                    base = &known;
            }
            if (!base)
                return fail(error, lineNumber, QStringLiteral("unknown window %1").arg(value));
            definition.styleTemplate.prepend(base->styleTemplate);
        } else {
            return fail(error, lineNumber, QStringLiteral("unknown key %1").arg(key));
        }
    }

    if (definitions.isEmpty())
        return fail(error, int(lines.size()), QStringLiteral("no window definitions"));
    for (const SkinDefinition &definition : std::as_const(definitions)) {
        auto it = placeholderPattern().globalMatch(definition.styleTemplate);
        while (it.hasNext()) {
            const QString name = it.next().captured(1).toLower();
            if (!palette.contains(name)) {
                if (error)
                    *error = QStringLiteral("window %1 uses unknown colour @%2")
                                 .arg(definition.name, name);
                return false;
            }
        }
    }

    m_palette = palette;
    m_definitions = definitions;
    return true;
}

QStringList SkinFile::definitionNames() const
{
    QStringList names;
    for (const SkinDefinition &definition : m_definitions)
        names.append(definition.name);
    return names;
}

const SkinDefinition *SkinFile::definition(const QString &name) const
{
    for (const SkinDefinition &definition : m_definitions) {
        if (definition.name.compare(name, Qt::CaseInsensitive) == 0)
            return &definition;
    }
    return nullptr;
}

QString SkinFile::styleSheet(const SkinDefinition &definition, int hue) const
{
    QString result;
    const QString &source = definition.styleTemplate;
    qsizetype copied = 0;
    auto it = placeholderPattern().globalMatch(source);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(source).mid(copied, match.capturedStart() - copied);
        const QColor colour = rotated(m_palette.value(match.captured(1).toLower()), hue);
        result += colour.alpha() == 255 ? colour.name(QColor::HexRgb)
                                        : QStringLiteral("rgba(%1, %2, %3, %4)")
                                              .arg(colour.red())
                                              .arg(colour.green())
                                              .arg(colour.blue())
                                              .arg(colour.alpha());
        copied = match.capturedEnd();
    }
    result += QStringView(source).mid(copied);
    return result;
}

QColor SkinFile::rotated(const QColor &colour, int hue)
{
    const int turn = (hue % 360 + 360) % 360;
    const QColor hsl = colour.toHsl();
    if (turn == 0 || hsl.hslHueF() < 0)
        return colour;
    float shifted = hsl.hslHueF() + float(turn) / 360.0f;
    if (shifted >= 1.0f)
        shifted -= 1.0f;
    // Hues differ in brightness (yellow outshines blue at the same lightness), so the
    // lightness is chosen to keep the colour's luminance: contrasts hold at every hue.
    const double target = luminance(colour);
    float low = 0.0f;
    float high = 1.0f;
    for (int i = 0; i < 24; ++i) {
        const float middle = (low + high) / 2;
        if (luminance(QColor::fromHslF(shifted, hsl.hslSaturationF(), middle)) < target)
            low = middle;
        else
            high = middle;
    }
    return QColor::fromHslF(shifted, hsl.hslSaturationF(), (low + high) / 2, hsl.alphaF()).toRgb();
}

double SkinFile::luminance(const QColor &colour)
{
    const auto linear = [](float v) {
        return v <= 0.04045f ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}
