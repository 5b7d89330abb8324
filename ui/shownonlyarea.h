#pragma once

#include <QWidget>

// A plain container whose hidden children are left out of the accessibility tree: a section
// that is not on screen is not read out by a screen reader either.
class ShownOnlyArea : public QWidget
{
    Q_OBJECT
public:
    explicit ShownOnlyArea(QWidget *parent = nullptr);
};
