#pragma once

#include <QWidget>

#include <memory>

class QTimer;
class SkinEngine;

// The start-up window: writes the skin file out of the skin library, wears the skin's
// "FreeForm" definition, and after 1500 ms asks for the main window and destroys itself.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

    // Writes the skin file, skins and shows the window, and arms Timer2.
    void Form_Load();

    SkinEngine *Skin1 = nullptr;
    QTimer *Timer2 = nullptr; // 1500 ms, fires once

    static constexpr int HandOverMs = 1500;

signals:
    // Timer2 has fired: the main window is to be opened now. The window closes and destroys
    // itself right after.
    void handOver();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Timer2_Timer();

    std::unique_ptr<SkinEngine> m_skin;
};
