#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
struct OptionsContext;

// The WAV page: PCM sample rate, channels and sample size, stored by their symbols.
class WavPage : public QWidget
{
    Q_OBJECT
public:
    WavPage(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    void resetToBuiltIn();
    // Selects the items whose texts equal the stored ones (case-sensitive); others stay.
    void load();
    // Writes section "wav" and hands the PCM format to the engine.
    void saveAndPush();

    QComboBox *Combo3; // sample rate
    QComboBox *Combo4; // channels
    QComboBox *Combo5; // bits per sample

private:
    OptionsContext &m_context;
};
