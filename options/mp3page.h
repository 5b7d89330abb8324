#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class UpDown;
struct OptionsContext;

// The MP3 page: LAME's rate, channel mode, bitrate, quality, VBR method and presets.
class Mp3Page : public QWidget
{
    Q_OBJECT
public:
    Mp3Page(OptionsContext &context, QLabel *picture, QWidget *parent = nullptr);

    void resetToBuiltIn();
    // Reads section "mp3" into the controls; each failing step is skipped.
    void load();
    // Fills the engine's MP3 settings object, hands it to the converter, writes section "mp3".
    void pushAndSave();

    // Scroll handlers (user moves; the load calls them directly).
    void sldrBitrateScroll();
    void sldrQualityScroll();
    void sldrVbrBitrateScroll();
    // Enabling rules.
    void cmbVBRCodingMethodClick();
    void chkPresetClick();

    QComboBox *cmbFrequency;
    QComboBox *cmbChMode;
    QGroupBox *frmBitrate;
    QSlider *sldrBitrate;
    QSlider *sldrQuality;
    QComboBox *cmbVBRCodingMethod;
    QGroupBox *frmVbrBitrate;
    QSlider *sldrVbrBitrate;
    QLabel *lblVbrBitrate;
    QLabel *lblVbrQuality;
    QLineEdit *txtVbrQuality;
    UpDown *udVbrQuality;
    QCheckBox *chkPreset;
    QGroupBox *frmPreset;
    // Indexes 1 to 5 ("Fast Standard" .. "Insane"); element 0 is unused.
    std::array<QRadioButton *, 6> opAltPreset{};

private:
    void opAltPresetClick(int index);
    int checkedPreset() const;
    // "<kbit/s> kbit" of a bitrate slider as the encoder writes it at the chosen sample rate.
    QString writtenKbitText(const QSlider *slider) const;

    OptionsContext &m_context;
};
