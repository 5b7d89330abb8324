#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QSlider;
struct OptionsContext;

// The WMA page: one of seven engine profiles, pushed to the engine as soon as the slider moves.
class WmaPage : public QWidget
{
    Q_OBJECT
public:
    WmaPage(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    void resetToBuiltIn();
    // Reads section "wma" and selects its profile in the engine at once.
    void load();
    // Writes section "wma" and pushes the profile.
    void saveAndPush();
    // Change handler of sldWMA.
    void sldWMAChange();

    // txtWMAdes' text with its CR LF line ends, exactly as composed.

    QSlider *sldWMA;
    QLabel *lblWMAdes;
    QPlainTextEdit *txtWMAdes;

    static const QString BuiltInDescription;

private:
    void setDescription(const QString &text);

    OptionsContext &m_context;
};
