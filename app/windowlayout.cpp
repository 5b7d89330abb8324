#include "app/windowlayout.h"

#include "settings/settingsfiles.h"

#include <QStringList>

#include <algorithm>

namespace {

std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

QString name(Ini::Key k)
{
    return QString::fromLatin1(k.key);
}

} // namespace

std::optional<WindowLayout> WindowLayout::read(const QString &file, int columnCount)
{
    namespace W = Ini::Window;
    const auto left = number(SettingsFiles::read(file, W::Left));
    const auto top = number(SettingsFiles::read(file, W::Top));
    const auto width = number(SettingsFiles::read(file, W::Width));
    const auto height = number(SettingsFiles::read(file, W::Height));
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    WindowLayout layout;
    layout.geometry = QRect(*left, *top, *width, *height);
    layout.maximized = SettingsFiles::read(file, W::Maximized) == QLatin1String("1");
    const QStringList widths = SettingsFiles::read(file, W::Columns).split(u',');
    if (widths.size() == columnCount) {
        for (const QString &w : widths) {
            const auto n = number(w);
            if (!n || *n < 0) {
                layout.columns.clear();
                break;
            }
            layout.columns << *n;
        }
    }
    return layout;
}

bool WindowLayout::write(const QString &file, QString *why) const
{
    namespace W = Ini::Window;
    QStringList widths;
    for (int w : columns)
        widths << QString::number(w);
    return WriteIniKeys(
        file, QString::fromLatin1(Ini::Section::Window),
        {{name(W::Left), QString::number(geometry.x())},
         {name(W::Top), QString::number(geometry.y())},
         {name(W::Width), QString::number(geometry.width())},
         {name(W::Height), QString::number(geometry.height())},
         {name(W::Maximized), maximized ? QStringLiteral("1") : QStringLiteral("0")},
         {name(W::Columns), widths.join(u',')}},
        why);
}

QRect WindowLayout::placed(const QRect &window, const QList<QRect> &screens, const QRect &primary)
{
    QRect screen = primary;
    qint64 most = 0;
    for (const QRect &s : screens) {
        const QRect common = s.intersected(window);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > most) {
            most = area;
            screen = s;
        }
    }
    if (screen.isEmpty())
        return window;
    QRect r(window.topLeft(), window.size().boundedTo(screen.size()));
    r.moveLeft(std::clamp(r.left(), screen.left(), screen.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), screen.top(), screen.bottom() + 1 - r.height()));
    return r;
}
