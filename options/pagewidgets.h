#pragma once

#include <QString>

#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QSlider;
class QWidget;

// Small factories for the options pages: each widget gets its object name.
namespace PageWidgets {
QGroupBox *frame(const char *name, const QString &title, QWidget *parent);
QComboBox *combo(const char *name, QWidget *parent);
QSlider *slider(const char *name, int minimum, int maximum, int pageStep, QWidget *parent);
QLabel *label(const char *name, const QString &text, QWidget *parent);
// A frame holding just `inner` (a widget or a layout).
QGroupBox *frameAround(const QString &title, QWidget *inner, QWidget *parent);
// A frame holding `slider` between a label for its low end and one for its high end.
QGroupBox *sliderFrame(const QString &title, const QString &low, QSlider *slider,
                       const QString &high, QWidget *parent);
// Sets a slider from a stored number without running its handlers; false when the number is
// missing or outside the slider's range.
bool setPosition(QSlider *slider, std::optional<int> position);
} // namespace PageWidgets
