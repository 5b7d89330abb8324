#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

struct SkinDefinition;

// What the skin changed on one window, so that removing the skin restores it exactly;
// also keeps a shaped window's mask in step with its size.
class SkinWindowState : public QObject
{
    Q_OBJECT
public:
    explicit SkinWindowState(QWidget *window);

    // Frame, shape and translucency of `definition`; the style sheet is set by the engine.
    void applyShape(const SkinDefinition &definition);
    // Everything back as it was before the first apply.
    void restore();

    QString definition;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setFlags(Qt::WindowFlags flags);
    void updateMask();

    QPointer<QWidget> m_window;
    QString m_styleSheet;
    Qt::WindowFlags m_flags;
    bool m_translucent = false;
    bool m_styledBackground = false;
    bool m_noSystemBackground = false;
    int m_cornerRadius = 0;
    bool m_paintBackground = false;
};
