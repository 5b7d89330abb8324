#include "options/encoderpage.h"

#include "convert/outputformat.h"
#include "options/encodersink.h"
#include "options/optionscontext.h"
#include "settings/profilereader.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

EncoderPage::EncoderPage(OptionsContext &context, OutputFormatId format, QWidget *parent)
    : QWidget(parent)
    , lblFs(new QLabel(this))
    , m_context(context)
    , m_format(format)
{
    setObjectName(QString::fromLatin1(OutputFormats::of(format).label).toUpper());
    lblFs->setObjectName(QStringLiteral("lblFs"));
}

void EncoderPage::lay(QLabel *picture, QBoxLayout *frames)
{
    auto *settings = new QVBoxLayout;
    settings->addLayout(frames);
    settings->addSpacing(12);
    settings->addWidget(lblFs);
    settings->addStretch(1);
    auto *page = new QHBoxLayout(this);
    page->addWidget(picture, 0, Qt::AlignTop);
    page->addSpacing(8);
    page->addLayout(settings, 1);
}

void EncoderPage::resetToBuiltIn()
{
    show(EncoderSettingsSet()[m_format]);
    changed();
}

void EncoderPage::load()
{
    show(OutputFormats::of(m_format).read(ProfileReader(m_context.vars.INI)));
    changed();
}

void EncoderPage::saveAndPush()
{
    const EncoderSettings settings = value();
    QString why;
    if (!OutputFormats::of(m_format).write(settings, m_context.vars.INI, &why) &&
        m_context.notSaved.isEmpty())
        m_context.notSaved = why;
    if (EncoderSink *engine = m_context.host.encoder())
        engineStep([&] { engine->SetFormat(settings); });
}

void EncoderPage::changed()
{
    lblFs->setText(QStringLiteral("Current Select: ") + EncoderSetup::describe(value()));
}

QComboBox *EncoderPage::choices(const char *name, const QList<std::pair<QString, int>> &items,
                                QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    for (const auto &[text, value] : items)
        combo->addItem(text, value);
    return combo;
}

void EncoderPage::selectValue(QComboBox *combo, int value)
{
    // A stored value the list does not offer is shown as it is, so that saving keeps it.
    int index = combo->findData(value);
    if (index < 0) {
        combo->addItem(QString::number(value), value);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

int EncoderPage::selectedValue(const QComboBox *combo)
{
    return combo->currentData().toInt();
}
