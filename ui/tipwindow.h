#pragma once

#include <QColor>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// The tip window the Qt tooltip layer draws: optional icon and bold title over the text,
// as a rectangle or a rounded balloon. It watches its tool window for the pointer.
class TipWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TipWindow(bool balloon);

    bool isBalloon() const { return m_balloon; }
    void setTool(QWidget *tool, bool centered);
    QWidget *tool() const { return m_tool; }
    void setTitle(int icon, const QString &title);
    QString title() const { return m_title; }
    int icon() const { return m_icon; }
    void setText(const QString &text);
    QString text() const { return m_text; }
    void setTextColor(const QColor &colour);
    void setBackgroundColor(const QColor &colour);
    QColor textColor() const { return m_textColour; }
    QColor backgroundColor() const { return m_backColour; }
    void setAutoPopTime(int ms);
    void setInitialTime(int ms);
    int autoPopTime() const { return m_autoPop.interval(); }
    int initialTime() const { return m_initial.interval(); }

    // Shows the tip for the pointer at `globalPos` (below the tool's centre when centred).
    void showTip(const QPoint &globalPos);

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void relayout();

    bool m_balloon = false;
    bool m_centered = false;
    QPointer<QWidget> m_tool;
    int m_icon = 0;
    QString m_title;
    QString m_text;
    QColor m_textColour;
    QColor m_backColour;
    QTimer m_initial;
    QTimer m_autoPop;
};
