#include "ui/statusbar.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    const std::array<int, 4> stretch{3, 2, 2, 2};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setMinimumWidth(60);
        label->setTextFormat(Qt::PlainText);
        addPermanentWidget(label, stretch[size_t(i)]);
        m_panels[size_t(i)] = label;
    }
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 4)
        m_panels[size_t(panel - 1)]->setText(text);
}

QString StatusBar::panelText(int panel) const
{
    return panel >= 1 && panel <= 4 ? m_panels[size_t(panel - 1)]->text() : QString();
}
