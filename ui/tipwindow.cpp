#include "ui/tipwindow.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace {
constexpr int Padding = 8;
constexpr int IconSize = 16;
constexpr int MaxTextWidth = 360;

QStyle::StandardPixmap iconPixmap(int icon)
{
    switch (icon) {
    case 2:
        return QStyle::SP_MessageBoxWarning;
    case 3:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}
} // namespace

TipWindow::TipWindow(bool balloon)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
    , m_balloon(balloon)
    , m_textColour(QApplication::palette().color(QPalette::ToolTipText))
    , m_backColour(QApplication::palette().color(QPalette::ToolTipBase))
{
    setAttribute(Qt::WA_TranslucentBackground, balloon);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_initial.setSingleShot(true);
    m_initial.setInterval(500);
    m_autoPop.setSingleShot(true);
    m_autoPop.setInterval(5000);
    connect(&m_initial, &QTimer::timeout, this, [this] { showTip(QCursor::pos()); });
    connect(&m_autoPop, &QTimer::timeout, this, &QWidget::hide);
}

void TipWindow::setTool(QWidget *tool, bool centered)
{
    if (m_tool)
        m_tool->removeEventFilter(this);
    m_tool = tool;
    m_centered = centered;
    if (m_tool) {
        m_tool->setMouseTracking(true);
        m_tool->installEventFilter(this);
    }
}

void TipWindow::setTitle(int icon, const QString &title)
{
    m_icon = icon;
    m_title = title;
    relayout();
}

void TipWindow::setText(const QString &text)
{
    m_text = text;
    if (m_text.isEmpty())
        hide();
    relayout();
}

void TipWindow::setTextColor(const QColor &colour)
{
    m_textColour = colour;
    update();
}

void TipWindow::setBackgroundColor(const QColor &colour)
{
    m_backColour = colour;
    update();
}

void TipWindow::setAutoPopTime(int ms)
{
    m_autoPop.setInterval(qMax(0, ms));
}

void TipWindow::setInitialTime(int ms)
{
    m_initial.setInterval(qMax(0, ms));
}

void TipWindow::showTip(const QPoint &globalPos)
{
    // A tip without text is never shown.
    if (m_text.isEmpty())
        return;
    relayout();
    QPoint at = globalPos + QPoint(0, 20);
    if (m_centered && m_tool) {
        const QRect toolRect(m_tool->mapToGlobal(QPoint(0, 0)), m_tool->size());
        at = QPoint(toolRect.center().x() - width() / 2, toolRect.bottom() + 2);
    }
    if (const QScreen *screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - width())));
        at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    m_autoPop.start();
}

QSize TipWindow::sizeHint() const
{
    const QFontMetrics fm(font());
    QRect textRect = fm.boundingRect(QRect(0, 0, MaxTextWidth, 10000), Qt::TextWordWrap, m_text);
    int width = textRect.width();
    int height = textRect.height();
    if (!m_title.isEmpty() || m_icon != 0) {
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics bfm(bold);
        const int titleWidth = bfm.horizontalAdvance(m_title) + (m_icon ? IconSize + 6 : 0);
        width = qMax(width, titleWidth);
        height += qMax(bfm.height(), m_icon ? IconSize : 0) + 4;
    }
    return QSize(width + 2 * Padding + 2, height + 2 * Padding + 2);
}

bool TipWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tool) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            if (!isVisible() && !m_initial.isActive())
                m_initial.start();
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::Hide:
            m_initial.stop();
            m_autoPop.stop();
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TipWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(box, m_balloon ? 10 : 2, m_balloon ? 10 : 2);
    painter.fillPath(path, m_backColour);
    painter.setPen(QPen(m_textColour.lighter(m_textColour.lightness() < 128 ? 250 : 60), 1));
    painter.drawPath(path);

    int y = Padding + 1;
    const int x = Padding + 1;
    painter.setPen(m_textColour);
    if (!m_title.isEmpty() || m_icon != 0) {
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics bfm(bold);
        const int lineHeight = qMax(bfm.height(), m_icon ? IconSize : 0);
        int titleX = x;
        if (m_icon != 0) {
            const QIcon icon = style()->standardIcon(iconPixmap(m_icon));
            icon.paint(&painter, QRect(x, y + (lineHeight - IconSize) / 2, IconSize, IconSize));
            titleX += IconSize + 6;
        }
        painter.setFont(bold);
        painter.drawText(QRect(titleX, y, width() - titleX - Padding, lineHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, m_title);
        painter.setFont(font());
        y += lineHeight + 4;
    }
    painter.drawText(QRect(x, y, width() - 2 * Padding - 2, height() - y - Padding),
                     Qt::TextWordWrap, m_text);
}

void TipWindow::relayout()
{
    resize(sizeHint());
    update();
}
