#pragma once

class QGroupBox;
class QWidget;

// Puts `control` on the top edge of `frame`, right of the frame's caption, without making it
// a child of the frame: disabling the frame must not disable the control that re-enables it.
// Returns the widget holding both, to be laid out in place of the frame.
QWidget *withEdgeControl(QGroupBox *frame, QWidget *control);
