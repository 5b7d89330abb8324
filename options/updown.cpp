#include "options/updown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UpDown::UpDown(QLineEdit *buddy, int minimum, int maximum, int step, QWidget *parent)
    : QWidget(parent)
    , m_buddy(buddy)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
    , m_min(minimum)
    , m_max(maximum)
    , m_step(step)
    , m_value(minimum)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFixedSize(18, 13);
        layout->addWidget(button);
    }
    // Skins pad tool buttons for toolbars; these arrows stay small beside their text box.
    setStyleSheet(QStringLiteral(
        "QToolButton { min-width: 0px; min-height: 0px; padding: 0px; margin: 0px; }"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

int UpDown::value() const
{
    bool ok = false;
    const int typed = m_buddy->text().trimmed().toInt(&ok);
    return ok && typed >= m_min && typed <= m_max ? typed : m_value;
}

bool UpDown::setValue(int value)
{
    if (value < m_min || value > m_max)
        return false;
    m_value = value;
    m_buddy->setText(QString::number(value));
    return true;
}

void UpDown::stepBy(int steps)
{
    setValue(std::clamp(value() + steps * m_step, m_min, m_max));
}
