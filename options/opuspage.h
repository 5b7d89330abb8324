#pragma once

#include "options/encoderpage.h"

class QSlider;

// The Opus page: bit rate, its mode and the channels ("As source" keeps the source's; Opus
// always plays at 48 kHz).
class OpusPage : public EncoderPage
{
    Q_OBJECT
public:
    OpusPage(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    QSlider *sldBitrate;
    QComboBox *cmbMode;
    QComboBox *cmbChannels;

protected:
    void show(const EncoderSettings &settings) override;
    EncoderSettings value() const override;
};
