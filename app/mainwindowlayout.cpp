// The main window's controls: the command buttons, output format and folder, the player
// controls, the progress bars, the job list, the status bar and the tag editor panel.
#include "app/frmdialog.h"

#include "convert/outputformat.h"
#include "tags/tagpanel.h"
#include "ui/barnames.h"
#include "ui/namedwidgets.h"
#include "ui/shownonlyarea.h"
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

using namespace NamedWidgets;

void frmDialog::buildControls()
{
    auto *central = new ShownOnlyArea(this); // the closed tag panel is not read out
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
    for (const OutputFormat &format : OutputFormats::all()) {
        const int i = int(format.id);
        const QString caption = QString::fromLatin1(format.label);
        auto *radio = named(new QRadioButton(caption, p), QStringLiteral("outputformat_%1").arg(i));
        radio->setToolTip(QStringLiteral("  Set output format to \"%1\"  ").arg(caption));
        radio->setProperty("index", i);
        m_formatGroup->addButton(radio, i);
        output->addWidget(radio);
        outputformat.push_back(radio);
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
    cmdSelect->setAccessibleName(QStringLiteral("Select output folder"));
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
    slPosition->setAccessibleName(QStringLiteral("Position"));
    player->addWidget(slPosition, 1);
    upper->addLayout(player);

    auto *progress = new QHBoxLayout;
    progress->setSpacing(8);
    // Each live bar and its placeholder share one place: only one of them is visible.
    ProgressConvert = progressBar(p, "ProgressConvert", 600);
    ProgressConvert11 = progressBar(p, "ProgressConvert11", 100);
    ProgressConvert2 = progressBar(p, "ProgressConvert2", 600);
    ProgressConvert22 = progressBar(p, "ProgressConvert22", 100);
    for (QProgressBar *bar : {ProgressConvert, ProgressConvert11})
        bar->setAccessibleName(QLatin1String(BarNames::FileProgress));
    for (QProgressBar *bar : {ProgressConvert2, ProgressConvert22})
        bar->setAccessibleName(QLatin1String(BarNames::RunProgress));
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
    viewEvent->setAccessibleName(QStringLiteral("Job list"));
    upper->addWidget(viewEvent, 1);

    tagPanel = new TagPanel(central);

    StatusBar1 = named(new StatusBar(this), QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
}
