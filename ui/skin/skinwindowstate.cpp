#include "ui/skin/skinwindowstate.h"

#include "ui/skin/skinfile.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QStyle>
#include <QStyleOption>
#include <QVariant>

SkinWindowState::SkinWindowState(QWidget *window)
    : m_window(window)
    , m_styleSheet(window->styleSheet())
    , m_flags(window->windowFlags())
    , m_translucent(window->testAttribute(Qt::WA_TranslucentBackground))
    , m_styledBackground(window->testAttribute(Qt::WA_StyledBackground))
    , m_noSystemBackground(window->testAttribute(Qt::WA_NoSystemBackground))
{
}

void SkinWindowState::applyShape(const SkinDefinition &definition)
{
    if (!m_window)
        return;
    // The skin's rules for the window itself select it by this property.
    m_window->setProperty("skinWindow", true);
    // Top-level windows only paint a style sheet background when asked to.
    m_window->setAttribute(Qt::WA_StyledBackground, true);
    const bool translucent = definition.translucent || m_translucent;
    m_window->setAttribute(Qt::WA_TranslucentBackground, translucent);
    if (!translucent)
        m_window->setAttribute(Qt::WA_NoSystemBackground, m_noSystemBackground);
    if (m_window->isWindow()) {
        const bool frameless = definition.frame == SkinDefinition::Frame::Frameless;
        setFlags(frameless ? (m_flags | Qt::FramelessWindowHint) : m_flags);
    }
    // A translucent window paints no background of its own: the skin paints it, so that
    // rounded corners stay see-through.
    m_paintBackground = definition.translucent && !m_translucent;
    m_cornerRadius = definition.cornerRadius;
    if (m_cornerRadius > 0 || m_paintBackground)
        m_window->installEventFilter(this);
    else
        m_window->removeEventFilter(this);
    if (m_cornerRadius > 0)
        updateMask();
    else
        m_window->clearMask();
}

void SkinWindowState::restore()
{
    if (!m_window)
        return;
    m_window->removeEventFilter(this);
    m_window->clearMask();
    m_window->setProperty("skinWindow", QVariant());
    m_window->setStyleSheet(m_styleSheet);
    m_window->setAttribute(Qt::WA_StyledBackground, m_styledBackground);
    // Translucency switches the system background off; switching it back takes both.
    m_window->setAttribute(Qt::WA_TranslucentBackground, m_translucent);
    m_window->setAttribute(Qt::WA_NoSystemBackground, m_noSystemBackground);
    if (m_window->isWindow())
        setFlags(m_flags);
}

bool SkinWindowState::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
        updateMask();
    } else if (event->type() == QEvent::Paint && m_paintBackground) {
        QStyleOption option;
        option.initFrom(m_window);
        QPainter painter(m_window);
        m_window->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, m_window);
    }
    return QObject::eventFilter(watched, event);
}

void SkinWindowState::setFlags(Qt::WindowFlags flags)
{
    if (m_window->windowFlags() == flags)
        return;
    // Changing the flags of a shown window hides it; show it again where it was.
    const bool visible = m_window->isVisible();
    const QPoint position = m_window->pos();
    m_window->setWindowFlags(flags);
    if (visible) {
        m_window->move(position);
        m_window->show();
    }
}

void SkinWindowState::updateMask()
{
    if (!m_window || m_cornerRadius <= 0)
        return;
    QPainterPath path;
    path.addRoundedRect(QRectF(m_window->rect()), m_cornerRadius, m_cornerRadius);
    m_window->setMask(QRegion(path.toFillPolygon().toPolygon()));
}
