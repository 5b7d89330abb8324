#include "options/slidertip.h"

#include <QCursor>
#include <QSlider>
#include <QToolTip>

void setSliderTip(QSlider *slider, const QString &text)
{
    slider->setToolTip(text);
    if (slider->isSliderDown() && slider->isVisible())
        QToolTip::showText(QCursor::pos(), text, slider);
}
