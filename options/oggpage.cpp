#include "options/oggpage.h"

#include "options/edgeframe.h"
#include "options/encodersink.h"
#include "options/optionscontext.h"
#include "options/pagewidgets.h"
#include "options/samplerates.h"
#include "options/settingvalue.h"
#include "options/slidertip.h"
#include "settings/bitratesteps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

using namespace PageWidgets;

OggPage::OggPage(OptionsContext &context, QLabel *picture, QWidget *parent)
    : QWidget(parent)
    , Combo2(combo("Combo2", this))
    , Combo1(combo("Combo1", this))
    , chVbr(new QCheckBox(QStringLiteral("VBR Enabled"), this))
    , sldrBitrate1(slider("sldrBitrate1", 0, 14, 2, this))
    , lblBitrate(label("lblBitrate", QString(), this))
    , frmVbr(frame("frmVbr", QStringLiteral("VBR"), this))
    , sldrMinBitrate(slider("sldrMinBitrate", 0, 14, 2, frmVbr))
    , lblMinBitrate(label("lblMinBitrate", QString(), frmVbr))
    , sldrMaxBitrate(slider("sldrMaxBitrate", 0, 14, 2, frmVbr))
    , lblMaxBitrate(label("lblMaxBitrate", QString(), frmVbr))
    , chQuality(new QCheckBox(QStringLiteral("Quality Enabled"), this))
    , frmQuality1(frame("frmQuality1", QStringLiteral("Quality (Compression)"), this))
    , sldrQuality1(slider("sldrQuality1", 0, 1000, 100, frmQuality1))
    , m_context(context)
{
    setObjectName(QStringLiteral("OGG"));
    chVbr->setObjectName(QStringLiteral("chVbr"));
    chQuality->setObjectName(QStringLiteral("chQuality"));
    SampleRates::fillHz(Combo2);
    Combo1->addItems({QStringLiteral("Mono"), QStringLiteral("Stereo")});
    Combo1->setCurrentIndex(-1);
    sldrQuality1->setTickInterval(100);

    auto *top = new QHBoxLayout;
    top->addWidget(frameAround(QStringLiteral("Sampling Frequency"), Combo2, this), 1);
    top->addWidget(frameAround(QStringLiteral("Channels Mode"), Combo1, this), 1);

    auto *vbrLayout = new QGridLayout(frmVbr);
    vbrLayout->addWidget(lblMinBitrate, 0, 0);
    vbrLayout->addWidget(sldrMinBitrate, 1, 0);
    vbrLayout->addWidget(lblMaxBitrate, 0, 1);
    vbrLayout->addWidget(sldrMaxBitrate, 1, 1);

    auto *option = frame(nullptr, QStringLiteral("Option"), this);
    auto *optionLayout = new QVBoxLayout(option);
    optionLayout->addWidget(chVbr);
    optionLayout->addWidget(lblBitrate);
    optionLayout->addWidget(sldrBitrate1);
    optionLayout->addWidget(frmVbr);

    // The scale reads from fast to best; the second caption stays with the frame unshown.
    auto *best = label(nullptr, QStringLiteral("Best Quality (Worse Speed)"), frmQuality1);
    auto *bestAgain = label(nullptr, QStringLiteral("Best Quality (Worse Speed)"), frmQuality1);
    bestAgain->hide();
    auto *qualityLayout = new QVBoxLayout(frmQuality1);
    qualityLayout->addWidget(sldrQuality1);
    qualityLayout->addWidget(best, 0, Qt::AlignRight);

    auto *settings = new QVBoxLayout;
    settings->addLayout(top);
    settings->addWidget(option);
    settings->addWidget(withEdgeControl(frmQuality1, chQuality));
    settings->addStretch(1);

    auto *page = new QHBoxLayout(this);
    page->addWidget(picture, 0, Qt::AlignTop);
    page->addSpacing(8);
    page->addLayout(settings, 1);

    connect(sldrBitrate1, &QSlider::valueChanged, this, &OggPage::sldrBitrate1Scroll);
    connect(sldrMinBitrate, &QSlider::valueChanged, this, &OggPage::sldrMinBitrateScroll);
    connect(sldrMaxBitrate, &QSlider::valueChanged, this, &OggPage::sldrMaxBitrateScroll);
    connect(sldrQuality1, &QSlider::valueChanged, this, &OggPage::sldrQuality1Scroll);
    connect(chQuality, &QCheckBox::toggled, this, &OggPage::chQualityClick);
    connect(chVbr, &QCheckBox::toggled, this, &OggPage::chVbrClick);

    resetToBuiltIn();
}

void OggPage::resetToBuiltIn()
{
    setPosition(sldrBitrate1, 0);
    setPosition(sldrMinBitrate, 1);
    setPosition(sldrMaxBitrate, 1);
    setPosition(sldrQuality1, 1);
    for (QCheckBox *box : {chVbr, chQuality}) {
        const QSignalBlocker blocker(box);
        box->setChecked(false);
    }
    Combo1->setCurrentIndex(-1);
    Combo2->setCurrentIndex(-1);
}

void OggPage::load()
{
    const OptionsContext &c = m_context;
    setPosition(sldrBitrate1, c.readNumber(Ini::Ogg::Bitrate));
    setPosition(sldrMinBitrate, c.readNumber(Ini::Ogg::MinBitrate));
    setPosition(sldrMaxBitrate, c.readNumber(Ini::Ogg::MaxBitrate));
    writeBitrateLabels();
    if (const auto on = c.readCheck(Ini::Ogg::VbrEnabled))
        chVbr->setChecked(*on);
    chVbrClick();
    if (const auto on = c.readCheck(Ini::Ogg::QualityEnabled))
        chQuality->setChecked(*on);
    chQualityClick();
    setPosition(sldrQuality1, c.readNumber(Ini::Ogg::Quality));
    c.selectStored(Combo1, Ini::Ogg::Channel);
    c.selectStored(Combo2, Ini::Ogg::Frequency);
    sldrBitrate1Scroll();
    sldrMinBitrateScroll();
    sldrMaxBitrateScroll();
    sldrQuality1Scroll();
    c.vars.OGGfs = c.read(Ini::Ogg::Fs);
}

bool OggPage::push()
{
    OptionVariables &v = m_context.vars;
    if (const auto rate = ComboValue::selectedData(Combo2))
        v.Freq = *rate;
    v.Chan = Combo1->currentIndex() + 1;
    sldrBitrate1Scroll();
    sldrMinBitrateScroll();
    sldrMaxBitrateScroll();
    sldrQuality1Scroll();

    EncoderSink *engine = m_context.host.encoder();
    if (!engine)
        return true;
    if (v.QualityEnabled) {
        if (engineStep([&] { engine->SetOggFormat(v.Freq, v.Chan, 128, 0, 0, v.quality); }))
            engineStep([&] { v.OGGfs = engine->FormatString(); });
        return true;
    }
    const int minimum = v.VbrEnabled ? v.MinBitrate : 0;
    const int maximum = v.VbrEnabled ? v.MaxBitrate : 0;
    bool accepted = false;
    engineStep(
        [&] { accepted = engine->CheckOggFormat(v.Freq, v.Chan, v.bitRate, minimum, maximum); });
    if (!accepted)
        return false;
    if (engineStep([&] { engine->SetOggFormat(v.Freq, v.Chan, v.bitRate, minimum, maximum, -1); }))
        engineStep([&] { v.OGGfs = engine->FormatString(); });
    return true;
}

void OggPage::save()
{
    const OptionsContext &c = m_context;
    using SettingValue::fromBool;
    c.write(Ini::Ogg::Fs, c.vars.OGGfs);
    c.write(Ini::Ogg::Bitrate, QString::number(sldrBitrate1->value()));
    c.write(Ini::Ogg::MinBitrate, QString::number(sldrMinBitrate->value()));
    c.write(Ini::Ogg::MaxBitrate, QString::number(sldrMaxBitrate->value()));
    c.write(Ini::Ogg::VbrEnabled, fromBool(chVbr->isChecked()));
    c.write(Ini::Ogg::QualityEnabled, fromBool(chQuality->isChecked()));
    c.write(Ini::Ogg::Quality, QString::number(sldrQuality1->value()));
    c.write(Ini::Ogg::Channel, QString::number(Combo1->currentIndex()));
    c.write(Ini::Ogg::Frequency, QString::number(Combo2->currentIndex()));
}

void OggPage::writeBitrateLabels()
{
    const OptionVariables &v = m_context.vars;
    const auto kbit = [](int value) {
        return QString::number(value) + QStringLiteral(" kbit");
    };
    lblBitrate->setText(QStringLiteral("Current nominal bitrate: ") + kbit(v.bitRate));
    lblMinBitrate->setText(QStringLiteral("Current min bitrate: ") + kbit(v.MinBitrate));
    lblMaxBitrate->setText(QStringLiteral("Current max bitrate: ") + kbit(v.MaxBitrate));
}

void OggPage::sldrBitrate1Scroll()
{
    if (const auto value = bitrateAt(sldrBitrate1->value()))
        m_context.vars.bitRate = qint16(*value);
    writeBitrateLabels();
    setSliderTip(sldrBitrate1, QString::number(m_context.vars.bitRate));
}

void OggPage::sldrMinBitrateScroll()
{
    if (const auto value = bitrateAt(sldrMinBitrate->value()))
        m_context.vars.MinBitrate = qint16(*value);
    writeBitrateLabels();
    setSliderTip(sldrMinBitrate, QString::number(m_context.vars.MinBitrate));
}

void OggPage::sldrMaxBitrateScroll()
{
    if (const auto value = bitrateAt(sldrMaxBitrate->value()))
        m_context.vars.MaxBitrate = qint16(*value);
    writeBitrateLabels();
    setSliderTip(sldrMaxBitrate, QString::number(m_context.vars.MaxBitrate));
}

void OggPage::sldrQuality1Scroll()
{
    m_context.vars.quality = qint16(sldrQuality1->value());
    setSliderTip(sldrQuality1, SettingValue::qualityTip(sldrQuality1->value()));
}

void OggPage::chQualityClick()
{
    const bool ticked = chQuality->isChecked();
    if (ticked) {
        for (QWidget *w : std::initializer_list<QWidget *>{
                 chVbr, frmVbr, sldrBitrate1, sldrMinBitrate, sldrMaxBitrate, lblBitrate,
                 lblMinBitrate, lblMaxBitrate})
            w->setEnabled(false);
        frmQuality1->setEnabled(true);
        sldrQuality1->setEnabled(true);
    } else {
        frmVbr->setEnabled(false);
        sldrQuality1->setEnabled(false);
        chVbr->setEnabled(true);
        lblBitrate->setEnabled(true);
        sldrBitrate1->setEnabled(true);
        chVbrClick();
    }
    m_context.vars.QualityEnabled = ticked;
}

void OggPage::chVbrClick()
{
    const bool ticked = chVbr->isChecked();
    if (ticked)
        frmVbr->setEnabled(true);
    else
        frmQuality1->setEnabled(false);
    for (QWidget *w : std::initializer_list<QWidget *>{sldrMinBitrate, sldrMaxBitrate,
                                                       lblMinBitrate, lblMaxBitrate})
        w->setEnabled(ticked);
    m_context.vars.VbrEnabled = ticked;
}
