#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

// The main window's four-panel status bar; panels are numbered 1 to 4.
class StatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

private:
    std::array<QLabel *, 4> m_panels{};
};
