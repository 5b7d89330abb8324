#include "options/frmoption.h"

#include "convert/outputformat.h"
#include "options/encoderpage.h"
#include "options/encoderpages.h"
#include "options/encodersink.h"
#include "options/generalpage.h"
#include "options/mp3page.h"
#include "options/oggpage.h"
#include "options/optionscontext.h"
#include "options/optionshost.h"
#include "options/pageart.h"
#include "options/wavpage.h"
#include "options/wmapage.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "settings/settingsfiles.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

frmOption::frmOption(OptionsHost &host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
{
    build();
}

frmOption::~frmOption() = default;

void frmOption::build()
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("Options"));
    m_context = std::make_unique<OptionsContext>(OptionsContext{*this, m_host});

    // The General page, then one page per output format.
    for (int i = 0; i <= int(OutputFormats::all().size()); ++i) {
        auto *picture = new QLabel;
        picture->setObjectName(QStringLiteral("Image1"));
        picture->setProperty("index", i);
        picture->setPixmap(pageArt(i));
        Image1.push_back(picture);
    }
    general = new GeneralPage(*m_context, Image1[0]);
    mp3 = new Mp3Page(*m_context, Image1[1]);
    wma = new WmaPage(*m_context, Image1[2]);
    ogg = new OggPage(*m_context, Image1[3]);
    wav = new WavPage(*m_context, Image1[4]);
    laterPages = EncoderPages::create(*m_context, {Image1.begin() + 5, Image1.end()});
    txtOutFolder = general->txtOutFolder;
    chkOldfolder = general->chkOldfolder;
    chkOpenFolder = general->chkOpenFolder;

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(general, QStringLiteral("General"));
    SSTab1->addTab(mp3, QStringLiteral("MP3"));
    SSTab1->addTab(wma, QStringLiteral("WMA"));
    SSTab1->addTab(ogg, QStringLiteral("OGG"));
    SSTab1->addTab(wav, QStringLiteral("WAV"));
    for (EncoderPage *page : laterPages)
        SSTab1->addTab(page, QString::fromLatin1(OutputFormats::of(page->format()).label));

    const auto button = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdHelp = button("cmdHelp", "Help");
    cmdApply = button("cmdApply", "Default");
    cmdOK = button("cmdOK", "Ok");
    cmdCancel = button("cmdCancel", "Cancel");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addWidget(cmdApply);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(buttons);

    connect(cmdHelp, &QPushButton::clicked, this, &frmOption::onHelp);
    connect(cmdApply, &QPushButton::clicked, this, &frmOption::onDefault);
    connect(cmdOK, &QPushButton::clicked, this, &frmOption::onOk);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOption::onCancel);
}

void frmOption::Load()
{
    m_host.applySkin(this, QStringLiteral("Form"));
    // A first start has no settings file yet: it starts from the factory defaults, which the
    // start-up Apply then writes. Built-in states alone select no OGG rate or channels, which
    // the engine refuses, so every start would end in the OGG message with nothing stored.
    const bool firstStart = !flgDefault && !QFileInfo::exists(SettingsFiles::workingFile());
    const bool fromDefaults = flgDefault || firstStart;
    INI = fromDefaults ? SettingsFiles::defaultsFile() : SettingsFiles::workingFile();
    // A fresh load starts from the built-in states; a re-run on the open dialog ("Default")
    // changes the controls from what they show, so every change has its usual effect.
    if (!m_loaded) {
        general->resetToBuiltIn();
        mp3->resetToBuiltIn();
        wma->resetToBuiltIn();
        ogg->resetToBuiltIn();
        wav->resetToBuiltIn();
        for (EncoderPage *page : laterPages)
            page->resetToBuiltIn();
    }
    m_loaded = true;
    general->load();
    wav->load();
    ogg->load();
    wma->load();
    mp3->load();
    for (EncoderPage *page : laterPages)
        page->load();
    if (fromDefaults)
        INI = SettingsFiles::workingFile();
}

void frmOption::Unload()
{
    m_loaded = false;
    if (isVisible())
        QDialog::done(QDialog::Rejected);
}

bool frmOption::Apply()
{
    if (!m_loaded)
        Load();
    m_host.setFolderBox(txtOutFolder->text());
    // A refused OGG setting keeps its stored values and the engine's; every other format is
    // pushed and saved all the same.
    const bool oggTaken = ogg->push();
    if (!oggTaken)
        Platform::instance().messageBox(QStringLiteral("Incorrect OGG format, please re-select  "),
                                        QStringLiteral("Tonewright"), MessageButtons::Ok,
                                        MessageIcon::Information, this);
    m_context->notSaved.clear();
    general->save();
    if (oggTaken)
        ogg->save();
    wav->saveAndPush();
    wma->saveAndPush();
    mp3->pushAndSave();
    for (EncoderPage *page : laterPages)
        page->saveAndPush();
    // The engine has the settings either way; the user should know they will not last.
    if (!m_context->notSaved.isEmpty())
        ShowWarning(SettingsFiles::notSavedMessage(INI, m_context->notSaved), this);
    return oggTaken;
}

int frmOption::showModal()
{
    if (!m_loaded)
        Load();
    // Every showing is a fresh load, and opens where a fresh dialog does.
    SSTab1->setCurrentIndex(0);
    return exec();
}

QString frmOption::outputFolder()
{
    if (!m_loaded)
        Load();
    return txtOutFolder->text();
}

bool frmOption::convertIntoSourceFolder()
{
    if (!m_loaded)
        Load();
    return chkOldfolder->isChecked();
}

bool frmOption::openFolderAfterRun()
{
    if (!m_loaded)
        Load();
    return chkOpenFolder->isChecked();
}

int frmOption::filesAtOnce()
{
    if (!m_loaded)
        Load();
    return general->spnJobs->value();
}

bool frmOption::keepFolderStructure()
{
    if (!m_loaded)
        Load();
    return general->chkKeepfolders->isChecked();
}

bool frmOption::splitLongFiles()
{
    if (!m_loaded)
        Load();
    return general->chkSplit->isChecked();
}

void frmOption::reject()
{
    onCancel();
}

void frmOption::onHelp()
{
    Platform::instance().openDocument(Paths::userGuide());
}

void frmOption::onDefault()
{
    const MessageAnswer answer = Platform::instance().messageBox(
        QStringLiteral("Do you want to restore the default settings?  "),
        QStringLiteral("Tonewright"), MessageButtons::YesNo, MessageIcon::Information, this);
    if (answer != MessageAnswer::Yes)
        return;
    flgDefault = true;
    Load();
    flgDefault = false;
    Apply();
    Load();
}

void frmOption::onOk()
{
    Apply();
    Unload();
}

void frmOption::onCancel()
{
    Unload();
}
