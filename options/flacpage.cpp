#include "options/flacpage.h"

#include "options/pagechoices.h"
#include "options/pagewidgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

using namespace PageWidgets;

FlacPage::FlacPage(OptionsContext &context, QLabel *picture, QWidget *parent)
    : EncoderPage(context, OutputFormatId::Flac, parent)
    , sldLevel(slider("sldLevel", 0, 8, 1, this))
    , cmbBits(choices("cmbBits",
                      {{QStringLiteral("As source"), 0},
                       {QStringLiteral("16 bit"), 16},
                       {QStringLiteral("24 bit"), 24}},
                      this))
    , cmbFrequency(choices("cmbFrequency", PageChoices::rates(), this))
    , cmbChannels(choices("cmbChannels", PageChoices::channels(), this))
{
    sldLevel->setTickPosition(QSlider::TicksBelow);
    sldLevel->setTickInterval(1);
    m_levelFrame = sliderFrame(QStringLiteral("Compression Level"), QStringLiteral("faster"),
                               sldLevel, QStringLiteral("smaller"), this);

    auto *top = new QHBoxLayout;
    top->addWidget(frameAround(QStringLiteral("Sampling Frequency"), cmbFrequency, this), 1);
    top->addWidget(frameAround(QStringLiteral("Channels Mode"), cmbChannels, this), 1);
    top->addWidget(frameAround(QStringLiteral("Bit Per Sample"), cmbBits, this), 1);
    auto *frames = new QVBoxLayout;
    frames->addLayout(top);
    frames->addWidget(m_levelFrame);
    lay(picture, frames);

    connect(sldLevel, &QSlider::valueChanged, this, [this](int position) {
        m_levelFrame->setTitle(QStringLiteral("Compression Level: %1").arg(position));
        changed();
    });
    for (QComboBox *combo : {cmbBits, cmbFrequency, cmbChannels})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { changed(); });
}

void FlacPage::show(const EncoderSettings &settings)
{
    const auto &f = std::get<FlacFormat>(settings);
    sldLevel->setValue(f.level);
    selectValue(cmbBits, f.bits);
    selectValue(cmbFrequency, f.rate);
    selectValue(cmbChannels, f.channels);
}

EncoderSettings FlacPage::value() const
{
    return FlacFormat{sldLevel->value(), selectedValue(cmbBits), selectedValue(cmbFrequency),
                      selectedValue(cmbChannels)};
}
