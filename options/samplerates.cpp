#include "options/samplerates.h"

#include "settings/encoderchoices.h"

#include <QComboBox>

namespace {

template <std::size_t N>
void fill(QComboBox *combo, const std::array<EncoderChoices::Choice, N> &items)
{
    for (const auto &[text, data] : items)
        combo->addItem(QString::fromLatin1(text), data);
    combo->setCurrentIndex(-1);
}

} // namespace

namespace SampleRates {

void fillHz(QComboBox *combo)
{
    fill(combo, EncoderChoices::SampleRates);
}

void fillWavRates(QComboBox *combo)
{
    fill(combo, EncoderChoices::WavRates);
}

void fillWavBits(QComboBox *combo)
{
    fill(combo, EncoderChoices::WavBits);
}

} // namespace SampleRates
