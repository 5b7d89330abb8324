#pragma once

#include <QStyledItemDelegate>

// Draws a row's progress as a bar in its Status cell while a run converts it beside others;
// every other cell as usual.
class StatusProgressDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
