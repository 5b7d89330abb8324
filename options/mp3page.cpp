#include "options/mp3page.h"

#include "engine/mp3encoder.h"
#include "engine/mp3settings.h"
#include "options/edgeframe.h"
#include "options/encodersink.h"
#include "options/optionscontext.h"
#include "options/pagewidgets.h"
#include "options/samplerates.h"
#include "options/settingvalue.h"
#include "options/slidertip.h"
#include "options/updown.h"
#include "settings/bitratesteps.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

using namespace PageWidgets;

namespace {

QString kbitText(int position)
{
    const auto value = bitrateAt(position);
    return (value ? QString::number(*value) : QString()) + QStringLiteral(" kbit");
}

QWidget *scale(QSlider *slider, const QString &low, const QString &high, QWidget *parent)
{
    auto *holder = new QWidget(parent);
    auto *grid = new QGridLayout(holder);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(slider, 0, 0, 1, 2);
    grid->addWidget(label(nullptr, low, holder), 1, 0, Qt::AlignLeft);
    grid->addWidget(label(nullptr, high, holder), 1, 1, Qt::AlignRight);
    return holder;
}

} // namespace

Mp3Page::Mp3Page(OptionsContext &context, QLabel *picture, QWidget *parent)
    : QWidget(parent)
    , cmbFrequency(combo("cmbFrequency", this))
    , cmbChMode(combo("cmbChMode", this))
    , frmBitrate(frame("frmBitrate", QStringLiteral("Bitrate"), this))
    , sldrBitrate(slider("sldrBitrate", 0, 14, 2, frmBitrate))
    , sldrQuality(slider("sldrQuality", 0, 9, 2, this))
    , cmbVBRCodingMethod(combo("cmbVBRCodingMethod", this))
    , frmVbrBitrate(frame("frmVbrBitrate", QStringLiteral("VBR Coding   "), this))
    , sldrVbrBitrate(slider("sldrVbrBitrate", 0, 14, 2, frmVbrBitrate))
    , lblVbrBitrate(label("lblVbrBitrate", QStringLiteral("Max bitrate:"), frmVbrBitrate))
    , lblVbrQuality(label("lblVbrQuality", QStringLiteral("VBR Quality:"), frmVbrBitrate))
    , txtVbrQuality(new QLineEdit(frmVbrBitrate))
    , udVbrQuality(new UpDown(txtVbrQuality, 0, 9, 1, frmVbrBitrate))
    , chkPreset(new QCheckBox(this))
    , frmPreset(frame("frmPreset", QStringLiteral("Alt-Preset  "), this))
    , m_context(context)
{
    setObjectName(QStringLiteral("MP3"));
    txtVbrQuality->setObjectName(QStringLiteral("txtVbrQuality"));
    txtVbrQuality->setMaximumWidth(36);
    udVbrQuality->setObjectName(QStringLiteral("udVbrQuality"));
    chkPreset->setObjectName(QStringLiteral("chkPreset"));
    SampleRates::fillHz(cmbFrequency);
    cmbChMode->addItems({QStringLiteral("Mono"), QStringLiteral("Stereo"),
                         QStringLiteral("Joint Stereo"), QStringLiteral("Forced Joint Stereo"),
                         QStringLiteral("Dual Channels")});
    cmbChMode->setCurrentIndex(-1);
    cmbVBRCodingMethod->addItems({QStringLiteral("None"), QStringLiteral("Default"),
                                  QStringLiteral("Old"), QStringLiteral("New"),
                                  QStringLiteral("MTRH"), QStringLiteral("ABR")});
    cmbVBRCodingMethod->setCurrentIndex(-1);

    auto *top = new QHBoxLayout;
    top->addWidget(frameAround(QStringLiteral("Sampling Frequency"), cmbFrequency, this), 1);
    top->addWidget(frameAround(QStringLiteral("Channels Mode"), cmbChMode, this), 1);

    auto *bitrateLayout = new QVBoxLayout(frmBitrate);
    bitrateLayout->addWidget(scale(sldrBitrate, QStringLiteral("poor quality "),
                                   QStringLiteral("good quality "), frmBitrate));
    auto *quality = frameAround(
        QStringLiteral("Encoder Quality"),
        scale(sldrQuality, QStringLiteral("better"), QStringLiteral("faster"), this), this);
    auto *middle = new QHBoxLayout;
    middle->addWidget(frmBitrate, 1);
    middle->addWidget(quality, 1);

    auto *vbrLayout = new QGridLayout(frmVbrBitrate);
    vbrLayout->addWidget(lblVbrBitrate, 0, 0, 1, 4);
    vbrLayout->addWidget(sldrVbrBitrate, 1, 0, 1, 4);
    vbrLayout->addWidget(lblVbrQuality, 2, 0);
    vbrLayout->addWidget(txtVbrQuality, 2, 1);
    vbrLayout->addWidget(udVbrQuality, 2, 2);
    vbrLayout->setColumnStretch(3, 1);

    auto *presetLayout = new QVBoxLayout(frmPreset);
    presetLayout->setSpacing(2);
    auto *presets = new QButtonGroup(this);
    const char *names[] = {"Fast Standard", "Standard", "Fast Extreme", "Extreme", "Insane"};
    for (int i = 1; i <= 5; ++i) {
        auto *button = new QRadioButton(QString::fromLatin1(names[i - 1]), frmPreset);
        button->setObjectName(QStringLiteral("opAltPreset"));
        button->setProperty("index", i);
        presets->addButton(button, i);
        presetLayout->addWidget(button);
        opAltPreset[std::size_t(i)] = button;
        connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                opAltPresetClick(i);
        });
    }
    presetLayout->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(withEdgeControl(frmVbrBitrate, cmbVBRCodingMethod), 3);
    bottom->addWidget(withEdgeControl(frmPreset, chkPreset), 2);

    auto *settings = new QVBoxLayout;
    settings->addLayout(top);
    settings->addLayout(middle);
    settings->addLayout(bottom);
    settings->addStretch(1);

    auto *page = new QHBoxLayout(this);
    page->addWidget(picture, 0, Qt::AlignTop);
    page->addSpacing(8);
    page->addLayout(settings, 1);

    connect(sldrBitrate, &QSlider::valueChanged, this, &Mp3Page::sldrBitrateScroll);
    connect(cmbFrequency, &QComboBox::currentIndexChanged, this, &Mp3Page::sldrBitrateScroll);
    connect(cmbFrequency, &QComboBox::currentIndexChanged, this, &Mp3Page::sldrVbrBitrateScroll);
    connect(sldrQuality, &QSlider::valueChanged, this, &Mp3Page::sldrQualityScroll);
    connect(sldrVbrBitrate, &QSlider::valueChanged, this, &Mp3Page::sldrVbrBitrateScroll);
    connect(cmbVBRCodingMethod, &QComboBox::currentIndexChanged, this,
            &Mp3Page::cmbVBRCodingMethodClick);
    connect(chkPreset, &QCheckBox::toggled, this, &Mp3Page::chkPresetClick);

    resetToBuiltIn();
}

void Mp3Page::resetToBuiltIn()
{
    for (QComboBox *combo : {cmbFrequency, cmbChMode, cmbVBRCodingMethod}) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
    }
    for (QSlider *slider : {sldrBitrate, sldrQuality, sldrVbrBitrate})
        setPosition(slider, 0);
    frmBitrate->setTitle(QStringLiteral("Bitrate"));
    lblVbrBitrate->setText(QStringLiteral("Max bitrate:"));
    udVbrQuality->setValue(0);
    {
        const QSignalBlocker blocker(chkPreset);
        chkPreset->setChecked(false);
    }
    {
        const QSignalBlocker blocker(opAltPreset[1]);
        opAltPreset[1]->setChecked(true);
    }
    frmVbrBitrate->setEnabled(false);
    frmPreset->setEnabled(false);
}

void Mp3Page::load()
{
    const OptionsContext &c = m_context;
    c.selectStored(cmbFrequency, Ini::Mp3::Frequency);
    c.selectStored(cmbVBRCodingMethod, Ini::Mp3::VbrCoding);
    // Each handler runs whether or not its position could be read.
    setPosition(sldrBitrate, c.readNumber(Ini::Mp3::Bitrate));
    sldrBitrateScroll();
    setPosition(sldrQuality, c.readNumber(Ini::Mp3::Quality));
    sldrQualityScroll();
    setPosition(sldrVbrBitrate, c.readNumber(Ini::Mp3::VbrBitrate));
    sldrVbrBitrateScroll();
    if (const auto value = c.readNumber(Ini::Mp3::VbrQuality))
        udVbrQuality->setValue(*value);
    c.selectStored(cmbChMode, Ini::Mp3::Channel);
    if (const auto on = c.readCheck(Ini::Mp3::AltPresetEnabled))
        chkPreset->setChecked(*on);
    if (const auto preset = c.readNumber(Ini::Mp3::AltPreset);
        preset && *preset >= 1 && *preset <= 5)
        opAltPreset[std::size_t(*preset)]->setChecked(true);
    // The variable always names the preset the page shows, also when the stored one was
    // already selected or could not be read.
    opAltPresetClick(checkedPreset());
    chkPresetClick();
    cmbVBRCodingMethodClick();
    c.vars.MP3fs = c.read(Ini::Mp3::Fs);
}

void Mp3Page::pushAndSave()
{
    OptionsContext &c = m_context;
    if (Mp3Settings *mp3 = c.host.mp3Settings()) {
        if (const auto rate = ComboValue::selectedData(cmbFrequency))
            mp3->SampleRate = *rate;
        mp3->VbrMethod = cmbVBRCodingMethod->currentIndex() - 1;
        mp3->Channels = cmbChMode->currentText() == QLatin1String("Mono") ? 1 : 2;
        mp3->EncoderQuality = sldrQuality->value();
        if (const auto value = bitrateAt(sldrBitrate->value()))
            mp3->Bitrate = *value;
        if (const auto value = bitrateAt(sldrVbrBitrate->value()))
            mp3->MaxVbrBitrate = *value;
        mp3->VbrQuality = udVbrQuality->value();
        // An unticked preset is no preset: the bitrate and VBR values above are written.
        mp3->AlternativePreset = chkPreset->isChecked() ? c.vars.AltPreset : 0;
        if (EncoderSink *engine = c.host.encoder()) {
            if (engineStep([&] { engine->SetMp3Settings(*mp3); }))
                engineStep([&] { c.vars.MP3fs = engine->FormatString(); });
        }
    }

    using SettingValue::fromBool;
    c.write(Ini::Mp3::Frequency, QString::number(cmbFrequency->currentIndex()));
    c.write(Ini::Mp3::VbrCoding, QString::number(cmbVBRCodingMethod->currentIndex()));
    c.write(Ini::Mp3::Bitrate, QString::number(sldrBitrate->value()));
    c.write(Ini::Mp3::Quality, QString::number(sldrQuality->value()));
    c.write(Ini::Mp3::VbrBitrate, QString::number(sldrVbrBitrate->value()));
    c.write(Ini::Mp3::VbrQuality, QString::number(udVbrQuality->value()));
    c.write(Ini::Mp3::Channel, QString::number(cmbChMode->currentIndex()));
    c.write(Ini::Mp3::AltPreset, QString::number(c.vars.AltPreset));
    c.write(Ini::Mp3::AltPresetEnabled, fromBool(chkPreset->isChecked()));
    c.write(Ini::Mp3::Fs, c.vars.MP3fs);
}

void Mp3Page::sldrBitrateScroll()
{
    frmBitrate->setTitle(QStringLiteral("Current bitrate: ") + writtenKbitText(sldrBitrate));
    const auto value = bitrateAt(sldrBitrate->value());
    setSliderTip(sldrBitrate, value ? QString::number(*value) : QString());
}

QString Mp3Page::writtenKbitText(const QSlider *slider) const
{
    // The rate the encoder writes at the chosen sample rate, which not every bitrate suits.
    const auto rate = ComboValue::selectedData(cmbFrequency);
    const auto value = bitrateAt(slider->value());
    if (!value || !rate)
        return kbitText(slider->value());
    return QString::number(Mp3Encoder::nearestBitrate(*value, *rate)) + QStringLiteral(" kbit");
}

void Mp3Page::sldrQualityScroll()
{
    if (Mp3Settings *mp3 = m_context.host.mp3Settings())
        mp3->EncoderQuality = sldrQuality->value();
}

void Mp3Page::sldrVbrBitrateScroll()
{
    lblVbrBitrate->setText(QStringLiteral("Max bitrate: ") + writtenKbitText(sldrVbrBitrate));
    const auto value = bitrateAt(sldrVbrBitrate->value());
    setSliderTip(sldrVbrBitrate, value ? QString::number(*value) : QString());
}

void Mp3Page::cmbVBRCodingMethodClick()
{
    const QString method = cmbVBRCodingMethod->currentText();
    const std::initializer_list<QWidget *> quality{lblVbrQuality, txtVbrQuality, udVbrQuality};
    const std::initializer_list<QWidget *> bitrate{frmVbrBitrate, lblVbrBitrate, sldrVbrBitrate};
    const bool none = cmbVBRCodingMethod->currentIndex() >= 0 && method == QLatin1String("None");
    const bool abr = method == QLatin1String("ABR");
    for (QWidget *w : quality)
        w->setEnabled(!none && !abr);
    for (QWidget *w : bitrate)
        w->setEnabled(!none);
}

void Mp3Page::chkPresetClick()
{
    frmPreset->setEnabled(chkPreset->isChecked());
}

void Mp3Page::opAltPresetClick(int index)
{
    m_context.vars.AltPreset = qint16(index);
}

int Mp3Page::checkedPreset() const
{
    for (int i = 1; i <= 5; ++i)
        if (opAltPreset[std::size_t(i)]->isChecked())
            return i;
    return 1;
}
