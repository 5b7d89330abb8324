#include "app/frmdialog.h"

#include "app/commands.h"
#include "app/commandtable.h"
#include "app/frmoptionwindow.h"
#include "app/mainwindowhost.h"
#include "app/windowlayout.h"
#include "convert/conversionrun.h"
#include "convert/outputformat.h"
#include "engine/converter.h"
#include "engine/mp3settings.h"
#include "joblist/fileinfoprobe.h"
#include "joblist/formatting.h"
#include "joblist/joblistcommands.h"
#include "joblist/joblistmodel.h"
#include "joblist/statusprogressdelegate.h"
#include "options/frmoption.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "player/audioplayer.h"
#include "player/playback.h"
#include "settings/profilereader.h"
#include "settings/settingsfiles.h"
#include "tags/fileinfo.h"
#include "tags/tageditor.h"
#include "tags/tagpanel.h"
#include "ui/ctooltip.h"
#include "ui/skin/skinengine.h"
#include "ui/statusbar.h"
#include "ui/twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

namespace {

// The hue of colour theme n. A value that is not a whole number, or whose hue would not fit
// the 16-bit range the skin works in, gives the plain theme.
int hueOfTheme(const QString &stored)
{
    bool ok = false;
    const int n = stored.trimmed().toInt(&ok);
    if (!ok || n > 32767 / 30 || n < -32768 / 30)
        return 0;
    return n * 30;
}

using Twips::toPixels;

} // namespace

frmDialog::frmDialog(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("Tonewright"));

    buildControls();
    buildMenus();
    m_skin = std::make_unique<SkinEngine>();
    Skn = m_skin.get();

    jobs = new JobListModel(this);
    viewEvent->setModel(jobs);
    viewEvent->setItemDelegateForColumn(int(JobColumn::Status),
                                        new StatusProgressDelegate(viewEvent));
    for (int column = 0; column < JobListModel::ColumnCount; ++column)
        viewEvent->header()->resizeSection(column, JobListModel::columnWidth(column));

    connect(m_formatGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            outputformat_Click(id);
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(4000);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmDialog::Timer1_Timer);

    // The default size is also the smallest: every control of the rows above the list fits.
    resize(toPixels(WidthTwips), toPixels(NormalHeightTwips));
    setMinimumSize(size());
    m_shownPixels = height();

    compose();
}

frmDialog::~frmDialog()
{
    // Whatever refers to the window's parts goes first, the skin engine last.
    m_commands.reset();
    m_optionsWindow.reset();
    releaseEngineObjects();
    m_options.reset();
    m_optionsHost.reset();
    tooltip = nullptr;
    m_tooltip.reset();
    Skn = nullptr;
    m_skin.reset();
}

void frmDialog::compose()
{
    Writer = std::make_unique<Converter>();
    Reader = std::make_unique<Converter>();
    Mp3Settings = std::make_unique<::Mp3Settings>();
    FileInfo = std::make_unique<::FileInfo>();
    AudioPlayer = std::make_unique<::AudioPlayer>();
    m_tooltip = std::make_unique<CTooltip>();
    tooltip = m_tooltip.get();

    m_optionsHost = std::make_unique<MainWindowHost>(*this, m_encoderSettings);
    m_options = std::make_unique<frmOption>(*m_optionsHost, this);
    m_probe = std::make_unique<FileInfoProbe>(FileInfo.get());
    m_tagEditor = std::make_unique<TagEditor>(*tagPanel, *this, *FileInfo);
    m_jobList = std::make_unique<JobListCommands>(
        JobListWidgets{*jobs, *viewEvent, *this, *StatusBar1, *txtFolder, *rightmenu},
        JobListCommands::Activity{[this] { return m_playback && m_playback->isPlaying(); },
                                  [this] {
                                      return m_conversionRun && m_conversionRun->isActive();
                                  }},
        *m_probe, *m_options, *m_tagEditor);
    connect(m_jobList.get(), &JobListCommands::hoverCleared, this, [this] { tooltip->Destroy(); });
    connect(m_jobList.get(), &JobListCommands::popupRequested, this, &frmDialog::popUp);

    m_optionsWindow = std::make_unique<FrmOptionWindow>(*m_options);
    m_commands = std::make_unique<Commands>(
        CommandWidgets{*this, *txtFolder, *website, *bbs, *mailus, *update_}, m_jobList->focus(),
        *Skn, *m_optionsWindow, CommandLinks::fromBuild());

    // Conversion run
    m_conversionRun = std::make_unique<ConversionRun>(
        ConversionWidgets{*this,
                          *jobs,
                          *StatusBar1,
                          *cmdConvert,
                          *txtFolder,
                          {outputformat.begin(), outputformat.end()},
                          *ProgressConvert,
                          *ProgressConvert11,
                          *ProgressConvert2,
                          *ProgressConvert22,
                          *Timer1,
                          {cmdPlay, cmdStop, cmdPause, cmdOpenFile, cmdDel, cmdClear, cmdTag,
                           cmdOption, tagPanel->cmdSetInfo, cmdSelect, viewEvent, slPosition},
                          {file, action, rightmenu}},
        [this] { return m_playback && m_playback->isPlaying(); }, m_jobList->focus(),
        m_encoderSettings, *m_options, *m_tagEditor);
    connect(m_conversionRun.get(), &ConversionRun::runEnded, m_jobList.get(),
            &JobListCommands::runEnded);

    // Playback
    m_playback =
        std::make_unique<Playback>(PlaybackWidgets{*jobs,
                                                   *this,
                                                   *StatusBar1,
                                                   *txtFolder,
                                                   *cmdPlay,
                                                   *cmdPause,
                                                   *cmdConvert,
                                                   *slPosition,
                                                   *ProgressConvert,
                                                   *ProgressConvert11,
                                                   *ProgressConvert2,
                                                   *ProgressConvert22,
                                                   *convertmenu,
                                                   *playmenu,
                                                   *pause,
                                                   *pausea,
                                                   {outputformat.begin(), outputformat.end()}},
                                   m_jobList->focus(), *Reader, *AudioPlayer, *m_options);
    connect(m_playback.get(), &Playback::popupRequested, this, &frmDialog::popUp);

    CommandTable::connectAll(*this);
}

QString frmDialog::skinTempFile()
{
    return QDir(Paths::configDir()).filePath(QStringLiteral("1.skn"));
}

frmDialog::LoadResult frmDialog::Form_Load()
{
    setWindowTitle(QStringLiteral("Tonewright"));
    INI = SettingsFiles::workingFile();
    const QString skinFile = skinTempFile();
    const QString storedFormat = SettingsFiles::read(INI, Ini::Output::Format);

    StatusBar1->setPanelText(1, QStringLiteral("Save to: '") + txtFolder->text() +
                                    QStringLiteral("'"));
    StatusBar1->setPanelText(2, SelectedFilesText(0));
    StatusBar1->setPanelText(3, QStringLiteral("Output Format: ") + storedFormat);
    StatusBar1->setPanelText(4, QStringLiteral("Status: Idle"));

    if (Platform::instance().previousInstanceRunning())
        return LoadResult::AnotherInstanceRunning;

    tagPanel->fillGenres();

    SkinLabel3->setVisible(true);

    tooltip->setStyle(1);
    tooltip->setIcon(1);

    restoreLayout();

    Writer->setConvertFormat(true);
    Reader->setConvertFormat(true);
    Reader->setDecoderThreads(2);

    txtFolder->setText(options().outputFolder());

    if (const OutputFormat *format = OutputFormats::byLabel(storedFormat))
        outputformat[size_t(format->id)]->setChecked(true);
    else if (storedFormat.isEmpty())
        // Nothing stored yet (a first start): panel 3 names the format that is selected.
        StatusBar1->setPanelText(
            3, QStringLiteral("Output Format: ") +
                   QLatin1String(OutputFormats::all()[size_t(outputFormatIndex())].label));

    // A refused OGG setting is not pushed: OGG converts with what is stored (and says why it
    // cannot), as twr-convert does.
    if (!options().Apply())
        m_encoderSettings.set(OutputFormats::of(OutputFormatId::Ogg).read(ProfileReader(INI)));

    Skn->loadSkinFile(skinFile);
    Skn->applyDefaultSkin(this);

    Skn->setHue(hueOfTheme(SettingsFiles::read(INI, Ini::Output::ColorThemes)), true);

    QFile::remove(skinFile);
    return LoadResult::Loaded;
}

frmOption &frmDialog::options()
{
    if (!m_options->IsLoaded())
        m_options->Load();
    return *m_options;
}

void frmDialog::outputformat_Click(int index)
{
    if (index < 0 || index >= int(OutputFormats::all().size()))
        return;
    const QString text = QLatin1String(OutputFormats::all()[size_t(index)].label);
    StatusBar1->setPanelText(3, QStringLiteral("Output Format: ") + text);
    Commands::storeSetting(INI.isEmpty() ? SettingsFiles::workingFile() : INI, Ini::Output::Format,
                           text, this);
}

int frmDialog::outputFormatIndex() const
{
    return m_formatGroup->checkedId();
}

void frmDialog::Exit()
{
    saveLayout(); // ending at once skips the close, not what the user arranged
    if (Skn)
        Skn->removeSkin(this);
    QCoreApplication::exit(0);
}

void frmDialog::Timer1_Timer()
{
    Platform::instance().requestShutdown();
    Timer1->stop();
}

int frmDialog::heightTwips() const
{
    // A window that could not grow as far as asked (maximised, at the screen's edge) still
    // counts the height it was asked for, so that closing the panel gives back only what
    // opening it added.
    return m_shownPixels == height() ? m_heightTwips : height() * Twips::PerPixel;
}

void frmDialog::setHeightTwips(int twips, int panelTwips)
{
    m_heightTwips = twips;
    m_panelTwips = panelTwips;
    // The rows above the list and the panel's part always fit; the list gives way first.
    setMinimumHeight(toPixels(NormalHeightTwips + panelTwips));
    int pixels = height();
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        pixels = toPixels(twips);
        if (const QScreen *s = screen()) { // a taller window would reach below the screen
            const int room = s->availableGeometry().bottom() + 1 - frameGeometry().top() -
                             (frameGeometry().height() - height());
            pixels = std::max(minimumHeight(), std::min(pixels, room));
        }
        resize(width(), pixels);
    }
    m_shownPixels = pixels;
    layoutPanels();
}

void frmDialog::layoutPanels()
{
    QWidget *central = centralWidget();
    if (!central || !m_upperPanel || !tagPanel)
        return;
    // The rows and the list take the window but for the part of the tag panel on show; the
    // panel lies below them at its full height, cut off by the window's edge while it opens.
    const int upperHeight = std::max(0, central->height() - toPixels(m_panelTwips));
    m_upperPanel->setGeometry(0, 0, central->width(), upperHeight);
    tagPanel->setGeometry(0, upperHeight, central->width(), toPixels(PanelHeightTwips));
}

void frmDialog::restoreLayout()
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    const std::optional<WindowLayout> stored = WindowLayout::read(INI, JobListModel::ColumnCount);
    if (!stored) {
        const QScreen *screen = this->screen() ? this->screen() : primary;
        const int screenWidth = screen ? screen->geometry().width() : width();
        resize(toPixels(WidthTwips), toPixels(NormalHeightTwips));
        move((screenWidth - frameGeometry().width()) / 2, toPixels(TopTwips));
        return;
    }
    QList<QRect> screens;
    for (const QScreen *s : QGuiApplication::screens())
        screens << s->availableGeometry();
    const QRect placed = WindowLayout::placed(stored->geometry, screens,
                                              primary ? primary->availableGeometry() : QRect());
    resize(placed.size().expandedTo(minimumSize()));
    move(placed.topLeft());
    for (int column = 0; column < int(stored->columns.size()); ++column)
        viewEvent->header()->resizeSection(column, stored->columns[column]);
    if (stored->maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmDialog::saveLayout()
{
    if (INI.isEmpty())
        return; // never loaded: nothing the user arranged
    WindowLayout layout;
    layout.maximized = windowState() & Qt::WindowMaximized;
    // The size the window returns to from maximised, and without what the tag panel added
    // (it is closed at the next start).
    QRect inner = layout.maximized ? normalGeometry() : geometry();
    if (!layout.maximized)
        inner.setHeight(
            std::max(toPixels(NormalHeightTwips), toPixels(heightTwips() - m_panelTwips)));
    const QPoint frame = geometry().topLeft() - frameGeometry().topLeft();
    layout.geometry = QRect(inner.topLeft() - frame, inner.size());
    for (int column = 0; column < JobListModel::ColumnCount; ++column)
        layout.columns << viewEvent->header()->sectionSize(column);
    QString why;
    if (!layout.write(INI, &why))
        ShowWarning(SettingsFiles::notSavedMessage(INI, why), this);
}

bool frmDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        layoutPanels();
    return QMainWindow::eventFilter(watched, event);
}

void frmDialog::closeEvent(QCloseEvent *event)
{
    // Releasing the converters under a running conversion would pull them from under it:
    // ask the run to stop, and close once it has returned.
    if (m_conversionRun->isActive()) {
        if (m_conversionRun->isConverting())
            cmdConvert->click();
        event->ignore();
        QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    if (m_jobList)
        m_jobList->stopAdding();
    saveLayout();
    releaseEngineObjects();
    event->accept();
}

void frmDialog::popUp(QMenu *menu, const QPoint &at)
{
    // Popups are shown the way the skin draws them, wherever they are asked for.
    Skn->skinnedWindow(this).popupMenu(menu, at.x(), at.y());
}

void frmDialog::releaseEngineObjects()
{
    // The subsystems that use the engine objects go before them.
    m_conversionRun.reset();
    m_playback.reset();
    m_jobList.reset();
    m_tagEditor.reset();
    m_probe.reset();
    Reader.reset();
    Writer.reset();
    AudioPlayer.reset();
    FileInfo.reset();
}
