#include "options/opuspage.h"

#include "options/pagechoices.h"
#include "options/pagewidgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

using namespace PageWidgets;

OpusPage::OpusPage(OptionsContext &context, QLabel *picture, QWidget *parent)
    : EncoderPage(context, OutputFormatId::Opus, parent)
    , sldBitrate(slider("sldBitrate", 6, 256, 16, this))
    , cmbMode(choices("cmbMode",
                      {{QStringLiteral("VBR"), int(OpusFormat::Mode::Vbr)},
                       {QStringLiteral("Constrained VBR"), int(OpusFormat::Mode::ConstrainedVbr)},
                       {QStringLiteral("CBR"), int(OpusFormat::Mode::Cbr)}},
                      this))
    , cmbChannels(choices("cmbChannels", PageChoices::channels(), this))
{
    QGroupBox *bitrate = sliderFrame(QStringLiteral("Bitrate"), QStringLiteral("poor quality "),
                                     sldBitrate, QStringLiteral("good quality "), this);

    auto *top = new QHBoxLayout;
    top->addWidget(frameAround(QStringLiteral("Bitrate Mode"), cmbMode, this), 1);
    top->addWidget(frameAround(QStringLiteral("Channels Mode"), cmbChannels, this), 1);
    auto *frames = new QVBoxLayout;
    frames->addLayout(top);
    frames->addWidget(bitrate);
    frames->addWidget(new QLabel(QStringLiteral("Opus is always encoded at 48 000 Hz."), this));
    lay(picture, frames);

    connect(sldBitrate, &QSlider::valueChanged, this, [this, bitrate](int kbits) {
        bitrate->setTitle(QStringLiteral("Current bitrate: %1 kbit/s").arg(kbits));
        changed();
    });
    for (QComboBox *combo : {cmbMode, cmbChannels})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { changed(); });
}

void OpusPage::show(const EncoderSettings &settings)
{
    const auto &f = std::get<OpusFormat>(settings);
    sldBitrate->setValue(f.bitrate);
    selectValue(cmbMode, int(f.mode));
    selectValue(cmbChannels, f.channels);
}

EncoderSettings OpusPage::value() const
{
    return OpusFormat{sldBitrate->value(), OpusFormat::Mode(selectedValue(cmbMode)),
                      selectedValue(cmbChannels)};
}
