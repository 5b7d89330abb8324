#include "options/edgeframe.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>

QWidget *withEdgeControl(QGroupBox *frame, QWidget *control)
{
    auto *holder = new QWidget;
    auto *grid = new QGridLayout(holder);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(frame, 0, 0);

    auto *edge = new QWidget;
    auto *row = new QHBoxLayout(edge);
    const int captionWidth = frame->fontMetrics().horizontalAdvance(frame->title());
    row->setContentsMargins(captionWidth + 16, 0, 0, 0);
    row->addWidget(control);
    row->addStretch(1);
    grid->addWidget(edge, 0, 0, Qt::AlignTop);
    edge->raise();

    // Keep the frame's contents clear of the control on its edge.
    if (frame->layout()) {
        QMargins m = frame->layout()->contentsMargins();
        m.setTop(m.top() + control->sizeHint().height() / 2);
        frame->layout()->setContentsMargins(m);
    }
    return holder;
}
