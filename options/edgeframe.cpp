#include "options/edgeframe.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace {

// Keeps the edge control just right of the caption as the style draws it (skins change the
// caption's font and padding).
class EdgePlacer : public QObject
{
public:
    EdgePlacer(QGroupBox *frame, QHBoxLayout *row)
        : QObject(frame)
        , m_frame(frame)
        , m_row(row)
    {
        frame->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::StyleChange:
        case QEvent::FontChange:
        case QEvent::Polish:
            place();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

    void place()
    {
        QStyleOptionGroupBox option;
        option.initFrom(m_frame);
        option.text = m_frame->title();
        option.lineWidth = 1;
        option.midLineWidth = 0;
        option.textAlignment = m_frame->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect label = m_frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                             QStyle::SC_GroupBoxLabel, m_frame);
        const int left = label.isValid() ? label.right() + 10 : 16;
        if (m_row->contentsMargins().left() != left)
            m_row->setContentsMargins(left, 0, 0, 0);
    }

private:
    QGroupBox *m_frame;
    QHBoxLayout *m_row;
};

} // namespace

QWidget *withEdgeControl(QGroupBox *frame, QWidget *control)
{
    auto *holder = new QWidget;
    auto *grid = new QGridLayout(holder);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(frame, 0, 0);

    auto *edge = new QWidget;
    auto *row = new QHBoxLayout(edge);
    row->addWidget(control);
    row->addStretch(1);
    grid->addWidget(edge, 0, 0, Qt::AlignTop);
    edge->raise();
    new EdgePlacer(frame, row);

    // Keep the frame's contents clear of the control on its edge.
    if (frame->layout()) {
        QMargins m = frame->layout()->contentsMargins();
        m.setTop(m.top() + control->sizeHint().height() / 2);
        frame->layout()->setContentsMargins(m);
    }
    return holder;
}
