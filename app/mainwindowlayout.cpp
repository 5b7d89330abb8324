// The main window's controls: the command buttons, output format and folder, the player
// controls, the progress bars, the job list, the status bar and the tag editor panel.
#include "app/frmdialog.h"
#include "ui/statusbar.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &tip)
{
    auto *b = named(new QPushButton(caption, parent), QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QProgressBar *progressBar(QWidget *parent, const char *name, int maximum)
{
    auto *bar = named(new QProgressBar(parent), QString::fromLatin1(name));
    bar->setRange(0, maximum);
    bar->setValue(0);
    bar->setFixedHeight(16);
    bar->setTextVisible(false);
    return bar;
}

QLineEdit *field(QWidget *parent, const char *name, bool readOnly = false)
{
    auto *edit = named(new QLineEdit(parent), QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    return edit;
}

// A label with its box in one row of a form grid.
void addRow(QGridLayout *grid, int row, int column, const QString &caption, QWidget *box)
{
    auto *label = new QLabel(caption, box->parentWidget());
    label->setBuddy(box);
    if (column > 0)
        label->setContentsMargins(10, 0, 0, 0); // a gap between the groups of fields
    grid->addWidget(label, row, column);
    grid->addWidget(box, row, column + 1);
}

} // namespace

void frmDialog::buildControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    central->installEventFilter(this);

    m_upperPanel = new QWidget(central);
    m_upperPanel->setObjectName(QStringLiteral("upperPanel"));
    auto *upper = new QVBoxLayout(m_upperPanel);
    upper->setContentsMargins(8, 6, 8, 4);
    upper->setSpacing(6);

    // Command row.
    auto *commands = new QHBoxLayout;
    commands->setSpacing(4);
    QWidget *p = m_upperPanel;
    cmdOpenFile = button(p, "cmdOpenFile", QStringLiteral("Add Files"),
                         QStringLiteral("  Add Files for converting  "));
    cmdDel = button(p, "cmdDel", QStringLiteral("Remove"),
                    QStringLiteral("  Remove Selected(checked) Files  "));
    cmdClear = button(p, "cmdClear", QStringLiteral("Clear All"),
                      QStringLiteral("  Clear All Files from list  "));
    cmdTag = button(p, "cmdTag", QStringLiteral("ID3 Editor"),
                    QStringLiteral("  Edit Files' ID3 V1/V2 Tag  "));
    cmdOption =
        button(p, "cmdOption", QStringLiteral("Options"), QStringLiteral("  Program Options  "));
    cmdHelp = button(p, "cmdHelp", QStringLiteral("Help"), QStringLiteral("  Help Document  "));
    cmdConvert = button(p, "cmdConvert", QStringLiteral("Convert Now!"),
                        QStringLiteral("  Convert selected files to output format  "));
    cmdConvert->setMinimumWidth(130);
    QFont bold = cmdConvert->font();
    bold.setBold(true);
    cmdConvert->setFont(bold);
    for (QPushButton *b : {cmdOpenFile, cmdDel, cmdClear})
        commands->addWidget(b);
    commands->addSpacing(12);
    for (QPushButton *b : {cmdTag, cmdOption, cmdHelp})
        commands->addWidget(b);
    commands->addStretch(1);
    commands->addWidget(cmdConvert);
    upper->addLayout(commands);

    // Output format and output folder.
    auto *output = new QHBoxLayout;
    output->setSpacing(6);
    SkinLabel3 =
        named(new QLabel(QStringLiteral("Output Format:"), p), QStringLiteral("SkinLabel3"));
    SkinLabel3->setVisible(false); // the window load reveals it
    output->addWidget(SkinLabel3);
    m_formatGroup = new QButtonGroup(this);
    m_formatGroup->setExclusive(true);
    const std::array<const char *, 4> formats{"MP3", "WMA", "OGG", "WAV"};
    for (int i = 0; i < 4; ++i) {
        const QString caption = QString::fromLatin1(formats[size_t(i)]);
        auto *radio = named(new QRadioButton(caption, p), QStringLiteral("outputformat_%1").arg(i));
        radio->setToolTip(QStringLiteral("  Set output format to \"%1\"  ").arg(caption));
        radio->setProperty("index", i);
        m_formatGroup->addButton(radio, i);
        output->addWidget(radio);
        outputformat[size_t(i)] = radio;
    }
    outputformat[0]->setChecked(true);
    output->addSpacing(16);
    auto *folderLabel = new QLabel(QStringLiteral("Output Folder:"), p);
    output->addWidget(folderLabel);
    txtFolder = named(new QLineEdit(QStringLiteral("E:\\"), p), QStringLiteral("txtFolder"));
    txtFolder->setToolTip(QStringLiteral("  Current Output Directory  "));
    folderLabel->setBuddy(txtFolder);
    output->addWidget(txtFolder, 1);
    cmdSelect = button(p, "cmdSelect", QStringLiteral("..."),
                       QStringLiteral("  Select output directory  "));
    cmdSelect->setMinimumWidth(40);
    cmdSelect->setMaximumWidth(48);
    output->addWidget(cmdSelect);
    upper->addLayout(output);

    // Player controls, seek slider and the two progress-bar pairs.
    auto *player = new QHBoxLayout;
    player->setSpacing(4);
    cmdPlay = button(p, "cmdPlay", QStringLiteral("Play"), QStringLiteral("  Play Current File  "));
    cmdPause = button(p, "cmdPause", QStringLiteral("Pause"),
                      QStringLiteral("  Pause/Continue playing  "));
    cmdStop = button(p, "cmdStop", QStringLiteral("Stop"),
                     QStringLiteral("  Stop Play(before converting)  "));
    for (QPushButton *b : {cmdPlay, cmdPause, cmdStop}) {
        b->setMinimumWidth(72);
        player->addWidget(b);
    }
    player->addSpacing(8);
    slPosition = named(new QSlider(Qt::Horizontal, p), QStringLiteral("slPosition"));
    slPosition->setToolTip(QStringLiteral("  Seek the playing file  "));
    slPosition->setRange(0, 100);
    player->addWidget(slPosition, 1);
    upper->addLayout(player);

    auto *progress = new QHBoxLayout;
    progress->setSpacing(8);
    // Each live bar and its placeholder share one place: only one of them is visible.
    ProgressConvert = progressBar(p, "ProgressConvert", 600);
    ProgressConvert11 = progressBar(p, "ProgressConvert11", 100);
    ProgressConvert2 = progressBar(p, "ProgressConvert2", 600);
    ProgressConvert22 = progressBar(p, "ProgressConvert22", 100);
    ProgressConvert->setVisible(false);
    ProgressConvert2->setVisible(false);
    progress->addWidget(ProgressConvert, 1);
    progress->addWidget(ProgressConvert11, 1);
    progress->addWidget(ProgressConvert2, 1);
    progress->addWidget(ProgressConvert22, 1);
    upper->addLayout(progress);

    // The job list.
    viewEvent = named(new QTreeView(p), QStringLiteral("viewEvent"));
    viewEvent->setRootIsDecorated(false);
    viewEvent->setUniformRowHeights(true);
    viewEvent->setAllColumnsShowFocus(true);
    viewEvent->setSelectionBehavior(QAbstractItemView::SelectRows);
    viewEvent->setMouseTracking(true);
    viewEvent->setAcceptDrops(true);
    viewEvent->header()->setStretchLastSection(false);
    upper->addWidget(viewEvent, 1);

    tagPanel = buildTagPanel();
    tagPanel->setParent(central);

    StatusBar1 = named(new StatusBar(this), QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
}

QWidget *frmDialog::buildTagPanel()
{
    auto *panel = new QFrame;
    panel->setObjectName(QStringLiteral("tagPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *outer = new QVBoxLayout(panel);
    outer->setContentsMargins(8, 2, 8, 2);
    outer->setSpacing(2);

    // Heading: the file's name and format, the tag version choice, and the close box.
    auto *heading = new QHBoxLayout;
    heading->setSpacing(6);
    lblFs = named(new QLabel(panel), QStringLiteral("lblFs"));
    lblFs->setTextFormat(Qt::PlainText);
    lblFs->setVisible(false);
    lblFs->setMinimumWidth(80);
    heading->addWidget(lblFs, 1);
    Option1[0] =
        named(new QRadioButton(QStringLiteral("ID3v1"), panel), QStringLiteral("Option1_0"));
    Option1[1] =
        named(new QRadioButton(QStringLiteral("ID3v2"), panel), QStringLiteral("Option1_1"));
    auto *versions = new QButtonGroup(panel);
    for (int i = 0; i < 2; ++i) {
        Option1[size_t(i)]->setProperty("index", i);
        versions->addButton(Option1[size_t(i)], i);
        heading->addWidget(Option1[size_t(i)]);
    }
    Option1[0]->setChecked(true);
    cmdID3 = button(panel, "cmdID3", QStringLiteral("<-->"),
                    QStringLiteral("  Copy between ID3v1 and ID3v2  "));
    heading->addWidget(cmdID3);
    heading->addSpacing(12);
    cmdCloseTag =
        button(panel, "cmdCloseTag", QStringLiteral("X"), QStringLiteral("Close Tag Editor Mode"));
    cmdCloseTag->setVisible(false);
    heading->addWidget(cmdCloseTag);
    outer->addLayout(heading);

    // Fields: the shared ones, the ID3v2-only ones, then the audio properties with the panel's
    // buttons below them.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(1);
    infoTitle = field(panel, "infoTitle");
    infoArtist = field(panel, "infoArtist");
    infoAlbum = field(panel, "infoAlbum");
    infoGenre = named(new QComboBox(panel), QStringLiteral("infoGenre"));
    infoGenre->setMaxVisibleItems(20);
    infoYear = field(panel, "infoYear");
    infoYear->setMaxLength(4);
    infoComment = field(panel, "infoComment");
    infoTrack = field(panel, "infoTrack");
    addRow(grid, 0, 0, QStringLiteral("Title:"), infoTitle);
    addRow(grid, 1, 0, QStringLiteral("Artists:"), infoArtist);
    addRow(grid, 2, 0, QStringLiteral("Album:"), infoAlbum);
    addRow(grid, 3, 0, QStringLiteral("Genre:"), infoGenre);
    addRow(grid, 4, 0, QStringLiteral("Year:"), infoYear);
    addRow(grid, 5, 0, QStringLiteral("Track:"), infoTrack);
    addRow(grid, 6, 0, QStringLiteral("Comment:"), infoComment);

    infoGenreS = field(panel, "infoGenreS");
    infoCopyright = field(panel, "infoCopyright");
    infoComposer = field(panel, "infoComposer");
    infoURL = field(panel, "infoURL");
    infoEncodedBy = field(panel, "infoEncodedBy");
    infoOriginalArtist = field(panel, "infoOriginalArtist");
    addRow(grid, 0, 2, QStringLiteral("Gerne (String):"), infoGenreS);
    addRow(grid, 1, 2, QStringLiteral("Copyright:"), infoCopyright);
    addRow(grid, 2, 2, QStringLiteral("Composer:"), infoComposer);
    addRow(grid, 3, 2, QStringLiteral("URL:"), infoURL);
    addRow(grid, 4, 2, QStringLiteral("Encoded By:"), infoEncodedBy);
    addRow(grid, 5, 2, QStringLiteral("OriginalArtist:"), infoOriginalArtist);

    infoFormatString = field(panel, "infoFormatString", true);
    infoFrequency = field(panel, "infoFrequency", true);
    infoBitrate = field(panel, "infoBitrate", true);
    infoDuration = field(panel, "infoDuration", true);
    infoChannels = field(panel, "infoChannels", true);
    infoSamples = field(panel, "infoSamples", true);
    infoSize = field(panel, "infoSize", true);
    infoBitsPerSample = field(panel, "infoBitsPerSample", true);
    infoFormatTag = field(panel, "infoFormatTag", true);
    // The format description is the longest: it takes the whole width of both columns.
    auto *formatLabel = new QLabel(QStringLiteral("FormatString:"), panel);
    formatLabel->setBuddy(infoFormatString);
    formatLabel->setContentsMargins(10, 0, 0, 0);
    grid->addWidget(formatLabel, 0, 4);
    grid->addWidget(infoFormatString, 0, 5, 1, 3);
    addRow(grid, 1, 4, QStringLiteral("Frequency:"), infoFrequency);
    addRow(grid, 2, 4, QStringLiteral("Bitrate:"), infoBitrate);
    addRow(grid, 3, 4, QStringLiteral("Duration:"), infoDuration);
    addRow(grid, 4, 4, QStringLiteral("Channels:"), infoChannels);
    addRow(grid, 1, 6, QStringLiteral("Samples:"), infoSamples);
    addRow(grid, 2, 6, QStringLiteral("Size:"), infoSize);
    addRow(grid, 3, 6, QStringLiteral("BitsPerSample:"), infoBitsPerSample);
    addRow(grid, 4, 6, QStringLiteral("FormatTag:"), infoFormatTag);

    cmdSetInfo = button(panel, "cmdSetInfo", QStringLiteral("Update"),
                        QStringLiteral("  Update current files' ID3 Tag Information  "));
    cmdCancel = button(panel, "cmdCancel", QStringLiteral("Cancel"),
                       QStringLiteral("  Close Tag Editor Mode  "));
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addStretch(1);
    buttons->addWidget(cmdSetInfo);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 5, 4, 2, 4, Qt::AlignBottom);

    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 3);
    grid->setColumnStretch(5, 2);
    grid->setColumnStretch(7, 2);
    outer->addLayout(grid);
    outer->addStretch(1);

    // Compact boxes so that every field fits the panel's height, whatever padding a skin gives.
    panel->setStyleSheet(
        QStringLiteral("QLineEdit, QComboBox { padding-top: 0px; padding-bottom: 0px; }"));
    for (QLineEdit *edit : panel->findChildren<QLineEdit *>())
        edit->setFixedHeight(22);
    infoGenre->setFixedHeight(22);
    for (QLineEdit *edit : {infoFormatString, infoFrequency, infoBitrate, infoDuration,
                            infoChannels, infoSamples, infoSize, infoBitsPerSample, infoFormatTag})
        edit->setMinimumWidth(106);
    for (QLineEdit *edit :
         {infoGenreS, infoCopyright, infoComposer, infoURL, infoEncodedBy, infoOriginalArtist})
        edit->setMinimumWidth(130);
    return panel;
}
