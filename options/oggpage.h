#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSlider;
struct OptionsContext;

// The OGG Vorbis page: by quality, or by nominal bitrate with an optional VBR range.
class OggPage : public QWidget
{
    Q_OBJECT
public:
    OggPage(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    void resetToBuiltIn();
    // Reads section "ogg" into the controls; each failing step is skipped.
    void load();
    // Hands the page's setting to the engine. False when the engine refuses the bitrate
    // setting; nothing has been pushed then.
    bool push();
    // Writes section "ogg" in its fixed order.
    void save();

    // Scroll handlers: refresh the variables and labels from the slider positions.
    void sldrBitrate1Scroll();
    void sldrMinBitrateScroll();
    void sldrMaxBitrateScroll();
    void sldrQuality1Scroll();
    // Enabling rules of the two check boxes.
    void chQualityClick();
    void chVbrClick();

    QComboBox *Combo2; // sampling frequency
    QComboBox *Combo1; // channels
    QCheckBox *chVbr;
    QSlider *sldrBitrate1;
    QLabel *lblBitrate;
    QGroupBox *frmVbr;
    QSlider *sldrMinBitrate;
    QLabel *lblMinBitrate;
    QSlider *sldrMaxBitrate;
    QLabel *lblMaxBitrate;
    QCheckBox *chQuality;
    QGroupBox *frmQuality1;
    QSlider *sldrQuality1;

private:
    void writeBitrateLabels();

    OptionsContext &m_context;
};
