#pragma once

#include "options/encoderpage.h"

// The M4A page: AAC bit rate, rate and channels ("As source" keeps the source's).
class M4aPage : public EncoderPage
{
    Q_OBJECT
public:
    M4aPage(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    QComboBox *cmbBitrate;
    QComboBox *cmbFrequency;
    QComboBox *cmbChannels;

protected:
    void show(const EncoderSettings &settings) override;
    EncoderSettings value() const override;
};
