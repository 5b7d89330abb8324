#pragma once

#include "options/encoderpage.h"

class QGroupBox;
class QSlider;

// The FLAC page: compression level, sample size, rate and channels ("As source" keeps the
// source's).
class FlacPage : public EncoderPage
{
    Q_OBJECT
public:
    FlacPage(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    QSlider *sldLevel;
    QComboBox *cmbBits;
    QComboBox *cmbFrequency;
    QComboBox *cmbChannels;

protected:
    void show(const EncoderSettings &settings) override;
    EncoderSettings value() const override;

private:
    QGroupBox *m_levelFrame = nullptr; // titled with the level chosen
};
