#pragma once

#include "convert/encodersettings.h"
#include "tags/tagwindow.h"
#include <QMainWindow>

#include <QStringList>

#include <memory>
#include <vector>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;
class QTreeView;
class QWidget;

class AudioPlayer;
class Commands;
class CTooltip;
class ConversionRun;
class Converter;
class FileInfo;
class FileInfoProbe;
class JobListCommands;
class JobListModel;
class MainWindowHost;
class Mp3Settings;
class Playback;
class SkinEngine;
class StatusBar;
class TagEditor;
class OptionsWindow;
class TagPanel;
class frmOption;

// The main window. It builds the widgets, owns the engine objects and the state the
// subsystems share, and composes the subsystems: each lives in its own class, is handed what
// it touches, and is connected to the buttons and menus in one table (app/commandtable).
class frmDialog : public QMainWindow, public TagWindow
{
    Q_OBJECT
public:
    explicit frmDialog(QWidget *parent = nullptr);
    ~frmDialog() override;

    // What the window load asks of the program's entry point.
    enum class LoadResult {
        Loaded,                 // the window is ready to be shown
        AnotherInstanceRunning, // end the program at once and silently; show nothing
    };
    // The window load: settings path, status panels, single-instance check, engine objects,
    // genre list, geometry, output folder and format, options, skin and colour theme.
    LoadResult Form_Load();

    // The options dialog as the live settings store: loaded hidden on first use.
    frmOption &options();
    JobListCommands &jobList() { return *m_jobList; }
    TagEditor &tagEditor() { return *m_tagEditor; }
    Commands &commands() { return *m_commands; }
    ConversionRun &conversionRun() { return *m_conversionRun; }
    Playback &playback() { return *m_playback; }

    // Output format selection: panel 3 and the "format" key follow the button `index`.
    void outputformat_Click(int index);
    // The selected output format button (its format's place in the format table).
    int outputFormatIndex() const;
    // The live encoder settings: what the options dialog pushed last, copied by each run.
    const EncoderSettingsSet &encoderSettings() const { return m_encoderSettings; }

    // The Exit command: drops the skin and ends the program at once, without the close steps.
    void Exit();
    // The shutdown timer's tick: one shutdown request, then the timer stops.
    void Timer1_Timer();

    // Window height in twips, tracked beside the real size (15 twips = 1 pixel). 9940 means
    // the tag editor panel is open; 6900 (or 6901 after leaving it) means it is closed.
    int heightTwips() const override { return m_heightTwips; }
    void setHeightTwips(int twips) override;
    void repaintNow() override { repaint(); }
    bool isTagMode() const { return m_heightTwips == TagHeightTwips; }

    static constexpr int NormalHeightTwips = 6900;
    static constexpr int TagHeightTwips = 9940;
    static constexpr int WidthTwips = 13800;
    static constexpr int TopTwips = 1000;

    // The temporary skin file written at start-up and deleted by the load.
    static QString skinTempFile();

    QString INI; // the settings file

    // --- Engine objects, in the order they are made; the close releases them ------------
    // Conversions run on the conversion engine's workers, each with a writer of its own;
    // this one stays with the window for the engine objects' lifetime.
    std::unique_ptr<Converter> Writer;
    std::unique_ptr<Converter> Reader;
    std::unique_ptr<::Mp3Settings> Mp3Settings;
    std::unique_ptr<::FileInfo> FileInfo;
    std::unique_ptr<::AudioPlayer> AudioPlayer;
    SkinEngine *Skn = nullptr;
    CTooltip *tooltip = nullptr;

    // --- Job list --------------------------------------------------------------------
    QTreeView *viewEvent = nullptr;
    JobListModel *jobs = nullptr; // the model behind viewEvent: the list's only store

    // --- Controls (object names are the member names) ---------------------------------
    StatusBar *StatusBar1 = nullptr;
    QPushButton *cmdOpenFile = nullptr;
    QPushButton *cmdDel = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdConvert = nullptr;
    std::vector<QRadioButton *> outputformat; // in the order of the format table
    QLabel *SkinLabel3 = nullptr;             // "Output Format:"
    QLineEdit *txtFolder = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdPlay = nullptr;
    QPushButton *cmdPause = nullptr;
    QPushButton *cmdStop = nullptr;
    QSlider *slPosition = nullptr;
    QPushButton *cmdTag = nullptr;
    QPushButton *cmdOption = nullptr;
    QPushButton *cmdHelp = nullptr;
    // Live bars count 0..600 (six units per percent); the placeholders stand in their place.
    QProgressBar *ProgressConvert = nullptr;
    QProgressBar *ProgressConvert11 = nullptr;
    QProgressBar *ProgressConvert2 = nullptr;
    QProgressBar *ProgressConvert22 = nullptr;
    QTimer *Timer1 = nullptr; // shutdown timer

    // The tag editor panel, below the fold: shown when the window is 9940 twips high.
    TagPanel *tagPanel = nullptr;

    // --- Menus -----------------------------------------------------------------------
    QMenu *file = nullptr;
    QMenu *action = nullptr;
    QMenu *help = nullptr;
    QMenu *other = nullptr; // the maker's other products; never visible
    QMenu *rightmenu = nullptr;
    QMenu *playmenu = nullptr;
    QMenu *convertmenu = nullptr; // submenu of rightmenu

    // "Files"
    QAction *addf = nullptr;
    QAction *removef = nullptr;
    QAction *cleara = nullptr;
    QAction *selecta = nullptr;
    QAction *unselecta = nullptr;
    QAction *invert = nullptr;
    QAction *exit = nullptr;
    // "Action". Its "Convert to" entries by format, in the order of the format table; the
    // first formats' entries also under their own names.
    std::vector<QAction *> convertEntries;
    QAction *tomp3 = nullptr;
    QAction *towav = nullptr;
    QAction *towma = nullptr;
    QAction *toogg = nullptr;
    QAction *id3tag = nullptr;
    QAction *playlist = nullptr;
    QAction *goto_ = nullptr; // object name "goto"
    QAction *playa = nullptr;
    QAction *pausea = nullptr;
    QAction *stopa = nullptr;
    QAction *option = nullptr;
    // "Help"
    QAction *content = nullptr;
    QAction *website = nullptr;
    QAction *bbs = nullptr;
    QAction *mailus = nullptr;
    QAction *update_ = nullptr; // object name "update"
    QAction *about = nullptr;
    // rightmenu. The "Convert" submenu's entries by format, as above.
    std::vector<QAction *> convertPopupEntries;
    QAction *ctm = nullptr;
    QAction *ctw = nullptr;
    QAction *ctwav = nullptr;
    QAction *cto = nullptr;
    QAction *add = nullptr;
    QAction *remove = nullptr;
    QAction *clear = nullptr;
    QAction *select = nullptr;
    QAction *unselect = nullptr;
    QAction *insel = nullptr;
    QAction *properties = nullptr;
    QAction *id3 = nullptr;
    QAction *play = nullptr;
    QAction *pause = nullptr;
    QAction *stop = nullptr;
    // playmenu
    QAction *playsource = nullptr;
    QAction *playconverted = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void compose();
    void layoutPanels();
    void popUp(QMenu *menu, const QPoint &at);
    void releaseEngineObjects();
    bool eventFilter(QObject *watched, QEvent *event) override;

    EncoderSettingsSet m_encoderSettings;
    std::unique_ptr<SkinEngine> m_skin;
    std::unique_ptr<CTooltip> m_tooltip;
    std::unique_ptr<MainWindowHost> m_optionsHost;
    std::unique_ptr<frmOption> m_options;
    std::unique_ptr<FileInfoProbe> m_probe;
    std::unique_ptr<TagEditor> m_tagEditor;
    std::unique_ptr<JobListCommands> m_jobList;
    // The small commands of the menus (folder, help, properties, options, About, update).
    std::unique_ptr<OptionsWindow> m_optionsWindow;
    std::unique_ptr<Commands> m_commands;
    std::unique_ptr<ConversionRun> m_conversionRun;
    std::unique_ptr<Playback> m_playback;
    QButtonGroup *m_formatGroup = nullptr;
    QWidget *m_upperPanel = nullptr;
    int m_heightTwips = NormalHeightTwips;
};
