#include "options/generalpage.h"

#include "options/optionscontext.h"
#include "options/settingvalue.h"
#include "options/updown.h"
#include "platform/paths.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QCheckBox *checkBox(const char *name, const char *caption, QWidget *parent)
{
    auto *box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

GeneralPage::GeneralPage(OptionsContext &context, QLabel *picture, QWidget *parent)
    : QWidget(parent)
    , txtOutFolder(lineEdit("txtOutFolder", this))
    , Command1(new QPushButton(QStringLiteral("Choose"), this))
    , chkOldfolder(checkBox("chkOldfolder",
                            "Convert into source folder (ignore Output directory setting)", this))
    , chkKeepfolders(checkBox("chkKeepfolders", "Keep the folder structure of added folders", this))
    , chkSplit(checkBox("chkSplit", "Split long files across cores", this))
    , chkOpenFolder(checkBox("chkOpenFolder", "Open Output directory after conversion", this))
    , chkOverwrite(checkBox("chkOverwrite", "Overwrite existing files", this))
    , chkDeleteSource(checkBox("chkDeleteSource", "Shutdown computer after converting", this))
    , chkNormalize(checkBox("chkNormalize", "Normalize to", this))
    , txtNormalize(lineEdit("txtNormalize", this))
    , udNormalize(new UpDown(txtNormalize, 0, 100, 1, this))
    , chkPlaylist(checkBox("chkPlaylist", "Output Playlist after conversion", this))
    , txtPlaylist(lineEdit("txtPlaylist", this))
    , sldColor(new QSlider(Qt::Horizontal, this))
    , spnJobs(new QSpinBox(this))
    , m_context(context)
{
    setObjectName(QStringLiteral("General"));
    Command1->setObjectName(QStringLiteral("Command1"));
    udNormalize->setObjectName(QStringLiteral("udNormalize"));
    sldColor->setObjectName(QStringLiteral("sldColor"));
    spnJobs->setObjectName(QStringLiteral("spnJobs"));
    spnJobs->setRange(0, 64);
    spnJobs->setSpecialValueText(QStringLiteral("Automatic")); // one per processor core
    spnJobs->setToolTip(QStringLiteral("Automatic: one file per processor core"));
    sldColor->setRange(0, 10);
    sldColor->setSingleStep(1);
    sldColor->setPageStep(1);
    sldColor->setTickPosition(QSlider::TicksBelow);
    sldColor->setTickInterval(1);
    txtNormalize->setMaximumWidth(48);
    Command1->setMinimumWidth(Command1->sizeHint().width() + 24);

    auto *outLabel = new QLabel(QStringLiteral("Output directory"), this);
    auto *whenLabel = new QLabel(QStringLiteral("When converting"), this);
    auto *nameLabel = new QLabel(QStringLiteral("Play List Name"), this);
    auto *extLabel = new QLabel(QStringLiteral(".PLS(.M3U)"), this);
    auto *colorLabel = new QLabel(QStringLiteral("Color Themes"), this);
    auto *jobsLabel = new QLabel(QStringLiteral("Files converted at once"), this);
    jobsLabel->setBuddy(spnJobs);

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(txtOutFolder, 1);
    folderRow->addWidget(Command1);

    auto *normalizeRow = new QHBoxLayout;
    normalizeRow->setSpacing(2);
    normalizeRow->addWidget(chkNormalize);
    normalizeRow->addSpacing(6);
    normalizeRow->addWidget(txtNormalize);
    normalizeRow->addWidget(udNormalize);
    normalizeRow->addStretch(1);

    auto *playlistRow = new QHBoxLayout;
    playlistRow->addSpacing(20);
    playlistRow->addWidget(nameLabel);
    playlistRow->addWidget(txtPlaylist, 1);
    playlistRow->addWidget(extLabel);

    auto *colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(sldColor, 1);

    auto *jobsRow = new QHBoxLayout;
    jobsRow->addWidget(jobsLabel);
    jobsRow->addWidget(spnJobs);
    jobsRow->addSpacing(12);
    jobsRow->addWidget(chkSplit);
    jobsRow->addStretch(1);

    auto *settings = new QVBoxLayout;
    settings->addWidget(outLabel);
    settings->addLayout(folderRow);
    settings->addSpacing(8);
    settings->addWidget(whenLabel);
    for (QCheckBox *box :
         {chkOldfolder, chkKeepfolders, chkOpenFolder, chkOverwrite, chkDeleteSource})
        settings->addWidget(box);
    settings->addLayout(normalizeRow);
    settings->addWidget(chkPlaylist);
    settings->addLayout(playlistRow);
    settings->addLayout(jobsRow);
    settings->addSpacing(8);
    settings->addLayout(colorRow);
    settings->addStretch(1);

    auto *page = new QHBoxLayout(this);
    page->addWidget(picture, 0, Qt::AlignTop);
    page->addSpacing(8);
    page->addLayout(settings, 1);

    connect(txtOutFolder, &QLineEdit::textChanged, this, &GeneralPage::onFolderChanged);
    connect(chkOldfolder, &QCheckBox::toggled, this, &GeneralPage::onOldFolderToggled);
    connect(chkKeepfolders, &QCheckBox::toggled, this,
            [this] { onOldFolderToggled(chkOldfolder->isChecked()); });
    connect(sldColor, &QSlider::valueChanged, this, &GeneralPage::onColorChanged);
    connect(Command1, &QPushButton::clicked, this, &GeneralPage::choose);

    resetToBuiltIn();
}

void GeneralPage::resetToBuiltIn()
{
    const QSignalBlocker b1(txtOutFolder), b2(chkOldfolder), b3(sldColor), b4(chkKeepfolders);
    txtOutFolder->clear();
    txtNormalize->clear();
    txtPlaylist->clear();
    udNormalize->setValue(0);
    txtNormalize->clear();
    for (QCheckBox *box : {chkOldfolder, chkKeepfolders, chkOverwrite, chkOpenFolder,
                           chkDeleteSource, chkNormalize, chkPlaylist, chkSplit})
        box->setChecked(box == chkOpenFolder || box == chkOverwrite || box == chkKeepfolders ||
                        box == chkSplit);
    sldColor->setValue(0);
    spnJobs->setValue(0);
}

void GeneralPage::load()
{
    const OptionsContext &c = m_context;
    txtOutFolder->setText(c.read(Ini::Output::Folder));
    // Outputs are named by appending to the folder, so the fallback ends with a separator.
    if (txtOutFolder->text().trimmed().isEmpty())
        txtOutFolder->setText(Paths::defaultOutputFolder());

    const auto loadCheck = [&c](QCheckBox *box, Ini::Key key) {
        if (const auto state = c.readCheck(key))
            box->setChecked(*state);
    };
    loadCheck(chkPlaylist, Ini::Output::Playlist);
    txtPlaylist->setText(c.read(Ini::Output::PlaylistName));
    loadCheck(chkOpenFolder, Ini::Output::Open);
    loadCheck(chkNormalize, Ini::Output::Normalize);
    txtNormalize->setText(c.read(Ini::Output::NormalizeValue));
    loadCheck(chkDeleteSource, Ini::Output::DeleteSource);
    loadCheck(chkOverwrite, Ini::Output::Overwrite);
    loadCheck(chkOldfolder, Ini::Output::OldFolder);
    loadCheck(chkKeepfolders, Ini::Output::KeepFolders);
    loadCheck(chkSplit, Ini::Output::Split);
    const auto colour = c.readNumber(Ini::Output::ColorThemes);
    if (colour && *colour >= sldColor->minimum() && *colour <= sldColor->maximum())
        sldColor->setValue(*colour);
    const auto jobs = c.readNumber(Ini::Output::Jobs);
    if (jobs && *jobs >= spnJobs->minimum() && *jobs <= spnJobs->maximum())
        spnJobs->setValue(*jobs);
}

void GeneralPage::save()
{
    const OptionsContext &c = m_context;
    using SettingValue::fromBool;
    c.write(Ini::Output::Folder, txtOutFolder->text());
    c.write(Ini::Output::Playlist, fromBool(chkPlaylist->isChecked()));
    c.write(Ini::Output::PlaylistName, txtPlaylist->text());
    c.write(Ini::Output::Open, fromBool(chkOpenFolder->isChecked()));
    c.write(Ini::Output::Normalize, fromBool(chkNormalize->isChecked()));
    c.write(Ini::Output::NormalizeValue, txtNormalize->text());
    c.write(Ini::Output::DeleteSource, fromBool(chkDeleteSource->isChecked()));
    c.write(Ini::Output::Overwrite, fromBool(chkOverwrite->isChecked()));
    c.write(Ini::Output::OldFolder, fromBool(chkOldfolder->isChecked()));
    c.write(Ini::Output::ColorThemes, QString::number(sldColor->value()));
    c.write(Ini::Output::Jobs, QString::number(spnJobs->value()));
    c.write(Ini::Output::KeepFolders, fromBool(chkKeepfolders->isChecked()));
    c.write(Ini::Output::Split, fromBool(chkSplit->isChecked()));
}

void GeneralPage::choose()
{
    QString folder = BrowseForFolder(QStringLiteral("Choose an output files folder..."), window());
    if (folder.isEmpty() || folder == QLatin1String(CanceledFolderPick))
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    txtOutFolder->setText(folder);
}

void GeneralPage::onFolderChanged(const QString &text)
{
    m_context.host.setFolderBox(text);
    m_context.host.setFolderPanel(QStringLiteral("Save to: ") + text);
}

void GeneralPage::onOldFolderToggled(bool ticked)
{
    m_context.host.rewriteSaveTo(ticked, txtOutFolder->text(), chkKeepfolders->isChecked());
}

void GeneralPage::onColorChanged(int position)
{
    m_context.host.setHue(position * 30);
    if (position == 5)
        m_context.host.setJobListBackground(QColor::fromRgb(Theme5ListColour));
}
