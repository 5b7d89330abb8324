#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// The main window's layout as the settings file keeps it between runs: where the window
// stood, its size, whether it was maximised, and the job list's column widths.
struct WindowLayout
{
    QRect geometry; // the frame's top-left corner and the inner size, in pixels
    bool maximized = false;
    QList<int> columns; // pixels, one per job list column

    // The stored layout; nothing when the file has no complete one.
    static std::optional<WindowLayout> read(const QString &file, int columnCount);
    // Rewrites the whole section at once; false (with the reason in `why`) when it failed.
    bool write(const QString &file, QString *why = nullptr) const;

    // `window` fitted onto the screen that holds the most of it, or onto the primary one
    // when it lies on none (a monitor that is gone): cut to the screen's size, then moved in.
    static QRect placed(const QRect &window, const QList<QRect> &screens, const QRect &primary);
};
