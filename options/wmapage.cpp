#include "options/wmapage.h"

#include "options/encodersink.h"
#include "options/optionscontext.h"
#include "options/pagewidgets.h"
#include "settings/wmaprofiles.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

using namespace PageWidgets;

const QString WmaPage::BuiltInDescription =
    QStringLiteral("Why use WMA - WMA Vs MP3\r\n"
                   "\r\n"
                   "WMA reduce audio file sizes by 50% when compared to the same \r\n"
                   "file encoded as MP3. While WMA does use a 64kb rate, the files \r\n"
                   "sound virtually identical to 128kb MP3 files. Somehow Microsoft \r\n"
                   "squeezes more quality from the lower bitrate. \r\n"
                   "This is a very important feature, given the limited storage of \r\n"
                   "palm-size computers, MP3 Players...\r\n"
                   "\r\n"
                   "Recommend setting: 44100 Hz, Stereo, 16Bit, 64Kbps\r\n");

WmaPage::WmaPage(OptionsContext &context, QLabel *picture, QWidget *parent)
    : QWidget(parent)
    , sldWMA(slider("sldWMA", WmaProfiles::First, WmaProfiles::Last, 1, this))
    , lblWMAdes(label("lblWMAdes", QStringLiteral("Label16"), this))
    , txtWMAdes(new QPlainTextEdit(this))
    , m_context(context)
{
    setObjectName(QStringLiteral("WMA"));
    txtWMAdes->setObjectName(QStringLiteral("txtWMAdes"));
    txtWMAdes->setReadOnly(true);
    sldWMA->setTickInterval(1);

    auto *why = label(nullptr,
                      QStringLiteral("Why use WMA?  -- WMA reduce audio file sizes by 50% when "
                                     "compared to the same file encoded as MP3. \n"
                                     "This is a very important feature, given the limited storage "
                                     "of palm-size computers, MP3 Players..."),
                      this);
    why->setWordWrap(true);

    auto *profile = frame(nullptr, QString(), this);
    auto *grid = new QGridLayout(profile);
    grid->addWidget(sldWMA, 0, 0, 1, 2);
    grid->addWidget(label(nullptr, QStringLiteral("Low Quality Small Size"), profile), 1, 0,
                    Qt::AlignLeft);
    grid->addWidget(label(nullptr, QStringLiteral("High Quality Large Size"), profile), 1, 1,
                    Qt::AlignRight);
    grid->addWidget(lblWMAdes, 2, 0, 1, 2, Qt::AlignHCenter);

    auto *settings = new QVBoxLayout;
    settings->addWidget(why);
    settings->addWidget(profile);
    settings->addWidget(txtWMAdes, 1);

    auto *page = new QHBoxLayout(this);
    page->addWidget(picture, 0, Qt::AlignTop);
    page->addSpacing(8);
    page->addLayout(settings, 1);

    connect(sldWMA, &QSlider::valueChanged, this, &WmaPage::sldWMAChange);
    resetToBuiltIn();
}

void WmaPage::resetToBuiltIn()
{
    setPosition(sldWMA, WmaProfiles::First);
    lblWMAdes->setText(QStringLiteral("Label16"));
    setDescription(BuiltInDescription);
}

void WmaPage::load()
{
    if (const auto position = m_context.readNumber(Ini::Wma::Profile);
        position && *position >= sldWMA->minimum() && *position <= sldWMA->maximum())
        sldWMA->setValue(*position);
    m_context.vars.WMAfs = m_context.read(Ini::Wma::Fs);
    sldWMAChange();
}

void WmaPage::saveAndPush()
{
    const int position = sldWMA->value();
    m_context.write(Ini::Wma::Profile, QString::number(position));
    EncoderSink *engine = m_context.host.encoder();
    if (const auto number = WmaProfiles::WmaProfileNumbers(position); number && engine) {
        if (engineStep([&] { engine->SetWmaProfile(*number); }))
            engineStep([&] { m_context.vars.WMAfs = engine->FormatString(); });
    }
    m_context.write(Ini::Wma::Fs, m_context.vars.WMAfs);
}

void WmaPage::sldWMAChange()
{
    const int position = sldWMA->value();
    QString format;
    if (const auto number = WmaProfiles::WmaProfileNumbers(position)) {
        // A profile the engine refuses shows no format text rather than the previous one.
        EncoderSink *engine = m_context.host.encoder();
        if (engine && engineStep([&] { engine->SetWmaProfile(*number); }))
            engineStep([&] { format = engine->FormatString(); });
        setDescription(WmaProfiles::description(position, format));
    }
    lblWMAdes->setText(QLatin1Char(' ') + format + QLatin1Char(' '));
}

void WmaPage::setDescription(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    txtWMAdes->setPlainText(shown);
}
