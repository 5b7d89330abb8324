#include "options/wavpage.h"

#include "options/encodersink.h"
#include "options/optionscontext.h"
#include "options/pagewidgets.h"
#include "options/samplerates.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace PageWidgets;

namespace {

void selectText(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

WavPage::WavPage(OptionsContext &context, QLabel *picture, QWidget *parent)
    : QWidget(parent)
    , Combo3(combo("Combo3", this))
    , Combo4(combo("Combo4", this))
    , Combo5(combo("Combo5", this))
    , m_context(context)
{
    setObjectName(QStringLiteral("WAV"));
    SampleRates::fillWavRates(Combo3);
    Combo4->addItems({QStringLiteral("MONO"), QStringLiteral("STEREO")});
    Combo4->setCurrentIndex(-1);
    SampleRates::fillWavBits(Combo5);

    auto *frames = new QHBoxLayout;
    frames->addWidget(frameAround(QStringLiteral("Sampling Frequency"), Combo3, this), 1);
    frames->addWidget(frameAround(QStringLiteral("Channels Mode"), Combo4, this), 1);
    frames->addWidget(frameAround(QStringLiteral("Bit Per Sample"), Combo5, this), 1);

    auto *settings = new QVBoxLayout;
    settings->addLayout(frames);
    settings->addSpacing(12);
    settings->addWidget(label(nullptr, QStringLiteral("Default CD Quality WAV Setting is:"), this));
    settings->addWidget(label(nullptr, QStringLiteral("FQ_44_KHZ, STEREO, BPS_16_BIT"), this));
    settings->addStretch(1);

    auto *page = new QHBoxLayout(this);
    page->addWidget(picture, 0, Qt::AlignTop);
    page->addSpacing(8);
    page->addLayout(settings, 1);
}

void WavPage::resetToBuiltIn()
{
    for (QComboBox *combo : {Combo3, Combo4, Combo5})
        combo->setCurrentIndex(-1);
}

void WavPage::load()
{
    selectText(Combo3, m_context.read(Ini::Wav::Frequency));
    selectText(Combo4, m_context.read(Ini::Wav::Channel));
    selectText(Combo5, m_context.read(Ini::Wav::Bitrate));
}

void WavPage::saveAndPush()
{
    m_context.write(Ini::Wav::Frequency, Combo3->currentText());
    m_context.write(Ini::Wav::Channel, Combo4->currentText());
    m_context.write(Ini::Wav::Bitrate, Combo5->currentText());

    EncoderSink *engine = m_context.host.encoder();
    const auto rate = ComboValue::selectedData(Combo3);
    const auto bits = ComboValue::selectedData(Combo5);
    if (!engine || !rate || !bits)
        return;
    const int channels = Combo4->currentIndex() + 1;
    engineStep([&] { engine->SetWavFormat(*rate, channels, *bits / 10); });
}
