#include "ui/skin/skinengine.h"

#include "ui/skin/skinwindowstate.h"

#include <QFile>
#include <QMenu>
#include <QWidget>

namespace {
// A skin is a small text file; anything far larger is not one.
constexpr qint64 MaxSkinFileSize = 4 * 1024 * 1024;
} // namespace

SkinnedWindow::SkinnedWindow(SkinEngine *engine, QWidget *window)
    : m_engine(engine)
    , m_window(window)
{
}

bool SkinnedWindow::isSkinned() const
{
    return m_engine && m_window && m_engine->isSkinned(m_window);
}

void SkinnedWindow::popupMenu(QMenu *menu, int x, int y) const
{
    if (!menu)
        return;
    if (isSkinned())
        m_engine->styleMenu(m_window, menu);
    menu->popup(QPoint(x, y));
}

SkinEngine::SkinEngine(QObject *parent)
    : QObject(parent)
{
}

// Windows keep the look they have: the engine may be a child of a window being destroyed.
SkinEngine::~SkinEngine() = default;

bool SkinEngine::loadSkinFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxSkinFileSize) {
        m_skin.reset();
        return false;
    }
    return loadSkinData(file.read(MaxSkinFileSize));
}

bool SkinEngine::loadSkinData(const QByteArray &data, QString *error)
{
    auto skin = std::make_unique<SkinFile>();
    if (!skin->parse(data, error)) {
        m_skin.reset();
        return false;
    }
    m_skin = std::move(skin);
    return true;
}

void SkinEngine::applySkin(QWidget *window, const QString &definition)
{
    if (!window || !m_skin)
        return;
    const SkinDefinition *found = m_skin->definition(definition);
    if (!found)
        found = m_skin->definition(DefaultDefinition);
    if (!found)
        found = m_skin->definition(m_skin->definitionNames().constFirst());

    std::shared_ptr<SkinWindowState> &state = m_windows[window];
    if (!state) {
        state = std::make_shared<SkinWindowState>(window);
        connect(window, &QObject::destroyed, this, &SkinEngine::forget);
    }
    state->definition = found->name;
    state->applyShape(*found);
    window->setStyleSheet(m_skin->styleSheet(*found, m_hue));
}

void SkinEngine::applyDefaultSkin(QWidget *window)
{
    applySkin(window, DefaultDefinition);
}

void SkinEngine::setHue(int degrees, bool redraw)
{
    m_hue = (degrees % 360 + 360) % 360;
    if (redraw) {
        const auto windows = m_windows.keys();
        for (QWidget *window : windows)
            restyle(window);
        for (const StyledMenu &styled : std::as_const(m_menus)) {
            if (styled.menu && styled.window)
                styleMenu(styled.window, styled.menu);
        }
    }
}

void SkinEngine::removeSkin(QWidget *window)
{
    const std::shared_ptr<SkinWindowState> state = m_windows.take(window);
    if (!state)
        return;
    disconnect(window, &QObject::destroyed, this, &SkinEngine::forget);
    state->restore();
    for (qsizetype i = m_menus.size() - 1; i >= 0; --i) {
        if (m_menus[i].window == window || !m_menus[i].window) {
            if (m_menus[i].menu)
                m_menus[i].menu->setStyleSheet(QString());
            m_menus.removeAt(i);
        }
    }
}

bool SkinEngine::isSkinned(const QWidget *window) const
{
    return m_windows.contains(const_cast<QWidget *>(window));
}

QString SkinEngine::definitionOf(const QWidget *window) const
{
    const auto state = m_windows.value(const_cast<QWidget *>(window));
    return state ? state->definition : QString();
}

SkinnedWindow SkinEngine::skinnedWindow(QWidget *window)
{
    return SkinnedWindow(this, window);
}

QString SkinEngine::styleSheetFor(const QString &definition) const
{
    if (!m_skin)
        return QString();
    const SkinDefinition *found = m_skin->definition(definition);
    return found ? m_skin->styleSheet(*found, m_hue) : QString();
}

void SkinEngine::restyle(QWidget *window)
{
    const auto state = m_windows.value(window);
    if (!state || !m_skin)
        return;
    window->setStyleSheet(styleSheetFor(state->definition));
}

void SkinEngine::forget(QObject *window)
{
    // The window is being destroyed: nothing of it may be touched any more.
    m_windows.remove(static_cast<QWidget *>(window));
}

void SkinEngine::styleMenu(QWidget *window, QMenu *menu)
{
    menu->setStyleSheet(styleSheetFor(definitionOf(window)));
    for (const StyledMenu &styled : std::as_const(m_menus)) {
        if (styled.menu == menu)
            return;
    }
    m_menus.append({menu, window});
}
