#pragma once

class QSlider;
class QString;

// The slider's own tip text, shown beside the handle while it is dragged.
void setSliderTip(QSlider *slider, const QString &text);
