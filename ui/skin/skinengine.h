#pragma once

#include "ui/skin/skinfile.h"

#include <QHash>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QWidget;
class SkinEngine;
class SkinWindowState;

// A window as the skin engine sees it; shows popup menus drawn in the window's skin.
class SkinnedWindow
{
public:
    SkinnedWindow() = default;
    SkinnedWindow(SkinEngine *engine, QWidget *window);

    QWidget *window() const { return m_window; }
    bool isSkinned() const;

    // Shows `menu` at the screen point (x, y) in pixels, styled like the window, and
    // returns at once; choosing an entry triggers its action as a menu click would.
    void popupMenu(QMenu *menu, int x, int y) const;

private:
    QPointer<SkinEngine> m_engine;
    QPointer<QWidget> m_window;
};

// Draws windows with a skin: a skin file holds named window definitions ("Default",
// "Form", "FreeForm", ...) whose style sheets are generated from a colour palette that
// can be rotated in hue. The skin is kept in memory once loaded, so the file may be
// deleted afterwards. Without a loaded skin every operation leaves windows plain.
class SkinEngine : public QObject
{
    Q_OBJECT
public:
    static inline const QString DefaultDefinition = QStringLiteral("Default");

    explicit SkinEngine(QObject *parent = nullptr);
    ~SkinEngine() override;

    // Reads and parses a skin file. On failure (missing or malformed file) the engine
    // holds no skin and returns false; windows skinned earlier keep their look.
    bool loadSkinFile(const QString &path);
    // The same from bytes already in memory.
    bool loadSkinData(const QByteArray &data, QString *error = nullptr);
    bool isLoaded() const { return m_skin != nullptr; }
    // The skin in use (nullptr when none).
    const SkinFile *skin() const { return m_skin.get(); }

    // Draws `window` with the named definition from now on (falls back to the default
    // definition when the name is unknown; does nothing without a skin).
    void applySkin(QWidget *window, const QString &definition);
    void applyDefaultSkin(QWidget *window);

    // Rotates every palette colour by `degrees`; with `redraw` every window skinned by
    // this engine takes the new colours at once, otherwise at its next apply.
    void setHue(int degrees, bool redraw = true);
    int hue() const { return m_hue; }

    // Draws `window` plainly again: its own style sheet, frame and shape come back.
    void removeSkin(QWidget *window);
    bool isSkinned(const QWidget *window) const;
    // The definition applied to `window` ("" when not skinned).
    QString definitionOf(const QWidget *window) const;

    SkinnedWindow skinnedWindow(QWidget *window);

    // The style sheet generated for a definition at the current hue ("" without a skin).
    QString styleSheetFor(const QString &definition) const;

private:
    friend class SkinnedWindow;
    void restyle(QWidget *window);
    void forget(QObject *window);
    void styleMenu(QWidget *window, QMenu *menu);

    std::unique_ptr<SkinFile> m_skin;
    int m_hue = 0;
    QHash<QWidget *, std::shared_ptr<SkinWindowState>> m_windows;
    struct StyledMenu
    {
        QPointer<QMenu> menu;
        QPointer<QWidget> window;
    };
    QList<StyledMenu> m_menus;
};
