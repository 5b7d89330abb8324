#include "ui/statusbar.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent, const QList<int> &stretches)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (int stretch : stretches) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(m_panels.size() + 1));
        label->setMinimumWidth(60);
        label->setTextFormat(Qt::PlainText);
        addPermanentWidget(label, stretch);
        m_panels << label;
    }
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > m_panels.size())
        return;
    m_panels[panel - 1]->setText(text);
    emit panelTextSet(panel, text);
}

QString StatusBar::panelText(int panel) const
{
    return panel >= 1 && panel <= m_panels.size() ? m_panels[panel - 1]->text() : QString();
}
