#pragma once

#include <QList>
#include <QStatusBar>

class QLabel;

// A status bar of text panels numbered from 1, one per stretch factor (the main window's
// four by default).
class StatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr, const QList<int> &stretches = {3, 2, 2, 2});

    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

signals:
    // A panel's text was set (also to the text it had).
    void panelTextSet(int panel, const QString &text);

private:
    QList<QLabel *> m_panels;
};
