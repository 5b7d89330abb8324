#include "options/pagewidgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace PageWidgets {

QGroupBox *frame(const char *name, const QString &title, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    if (name)
        box->setObjectName(QString::fromLatin1(name));
    return box;
}

QComboBox *combo(const char *name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QSlider *slider(const char *name, int minimum, int maximum, int pageStep, QWidget *parent)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(minimum, maximum);
    s->setSingleStep(1);
    s->setPageStep(pageStep);
    s->setTickPosition(QSlider::TicksBelow);
    return s;
}

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    return l;
}

QGroupBox *frameAround(const QString &title, QWidget *inner, QWidget *parent)
{
    auto *box = frame(nullptr, title, parent);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(inner);
    return box;
}

QGroupBox *sliderFrame(const QString &title, const QString &low, QSlider *slider,
                       const QString &high, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(low, row));
    layout->addWidget(slider, 1);
    layout->addWidget(new QLabel(high, row));
    return frameAround(title, row, parent);
}

bool setPosition(QSlider *slider, std::optional<int> position)
{
    if (!position || *position < slider->minimum() || *position > slider->maximum())
        return false;
    const QSignalBlocker blocker(slider);
    slider->setValue(*position);
    return true;
}

} // namespace PageWidgets
