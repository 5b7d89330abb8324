#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons that steps a whole number shown in a buddy text box.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    UpDown(QLineEdit *buddy, int minimum, int maximum, int step, QWidget *parent = nullptr);

    // The buddy's number when it holds one in range, else the last value set.
    int value() const;
    // False (and nothing changes) for a value outside the range.
    bool setValue(int value);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

private:
    void stepBy(int steps);

    QLineEdit *m_buddy;
    QToolButton *m_up;
    QToolButton *m_down;
    int m_min;
    int m_max;
    int m_step;
    int m_value;
};
