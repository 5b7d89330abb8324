#pragma once

#include <QColor>
#include <QList>
#include <QMap>
#include <QString>

// One named window definition of a skin file.
struct SkinDefinition
{
    enum class Frame { Normal, Frameless };

    QString name;
    Frame frame = Frame::Normal;
    int cornerRadius = 0; // > 0: the window is shaped with rounded corners
    bool translucent = false;
    QString styleTemplate; // Qt style sheet with @colour placeholders
};

// The parsed skin file: a palette of named colours and window definitions.
//
// Text format, UTF-8, one entry a line; '#' starts a comment line:
//   [Palette]            name = #rrggbb | #aarrggbb
//   [Window <Name>]      frame = normal | frameless
//                        corners = <radius in px>
//                        translucent = yes | no
//                        inherit = <Name>   (prepends that definition's style)
//                        style = <<<        (lines up to a line ">>>")
// Section and definition names are matched without regard to case.
class SkinFile
{
public:
    // Parses skin text; returns false with a message on the first fault.
    bool parse(const QByteArray &text, QString *error = nullptr);

    const QMap<QString, QColor> &palette() const { return m_palette; }
    QStringList definitionNames() const;
    // nullptr when there is no definition of that name.
    const SkinDefinition *definition(const QString &name) const;

    // The style sheet of a definition with every palette colour rotated by `hue` degrees.
    QString styleSheet(const SkinDefinition &definition, int hue) const;

    // A colour rotated by `hue` degrees at the same luminance; greys stay grey.
    static QColor rotated(const QColor &colour, int hue);
    // Relative luminance (0 black .. 1 white) of an sRGB colour.
    static double luminance(const QColor &colour);

private:
    QMap<QString, QColor> m_palette;
    QList<SkinDefinition> m_definitions;
};
