#include "options/m4apage.h"

#include "options/pagechoices.h"
#include "options/pagewidgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace PageWidgets;

namespace {

QList<std::pair<QString, int>> bitrates()
{
    QList<std::pair<QString, int>> items;
    for (int kbits : {32, 48, 64, 96, 112, 128, 160, 192, 224, 256, 320})
        items.append({QStringLiteral("%1 kbit/s").arg(kbits), kbits});
    return items;
}

} // namespace

M4aPage::M4aPage(OptionsContext &context, QLabel *picture, QWidget *parent)
    : EncoderPage(context, OutputFormatId::M4a, parent)
    , cmbBitrate(choices("cmbBitrate", bitrates(), this))
    , cmbFrequency(choices("cmbFrequency", PageChoices::rates(), this))
    , cmbChannels(choices("cmbChannels", PageChoices::channels(), this))
{
    auto *frames = new QHBoxLayout;
    frames->addWidget(frameAround(QStringLiteral("Sampling Frequency"), cmbFrequency, this), 1);
    frames->addWidget(frameAround(QStringLiteral("Channels Mode"), cmbChannels, this), 1);
    frames->addWidget(frameAround(QStringLiteral("Bitrate"), cmbBitrate, this), 1);
    lay(picture, frames);
    for (QComboBox *combo : {cmbBitrate, cmbFrequency, cmbChannels})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { changed(); });
}

void M4aPage::show(const EncoderSettings &settings)
{
    const auto &f = std::get<M4aFormat>(settings);
    selectValue(cmbBitrate, f.bitrate);
    selectValue(cmbFrequency, f.rate);
    selectValue(cmbChannels, f.channels);
}

EncoderSettings M4aPage::value() const
{
    return M4aFormat{selectedValue(cmbBitrate), selectedValue(cmbFrequency),
                     selectedValue(cmbChannels)};
}
