#pragma once

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;
class QTreeView;

class AudioPlayer;
class CTooltip;
class Converter;
class FileInfo;
class JobListModel;
class Mp3Settings;
class SkinEngine;
class StatusBar;
class frmOption;

// The main window. It owns the widgets and the state shared by the subsystems; each
// subsystem's logic lives in its own class and is handed what it touches.
class frmDialog : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmDialog(QWidget *parent = nullptr);
    ~frmDialog() override;

    // The options dialog as the live settings store: loaded hidden on first use.
    frmOption &options();
    // Discards the hidden options dialog (the Options command shows a fresh one).
    void unloadOptions();

    // --- Shared state -----------------------------------------------------------------
    QString INI;            // the settings file
    QString CurrentFile;    // full path of the current row, or of the file being converted
    QString CurrentBase;    // that file's folder plus its name up to the first "."
    qint64 intCurItem = 0;  // 1-based position of the current row (0: none)
    qint64 HoverRow = 0;    // 1-based row under the mouse pointer (0: none)
    bool IsPlaying = false; // the player is playing
    qint64 intPlaying = 0;  // row being played
    bool paused = false;
    bool flgConvert = false; // a file of a conversion run is being converted
    qint64 TotalSelected = 0;

    // --- Engine objects, created by the window load in this order ----------------------
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
    std::array<QRadioButton *, 4> outputformat{}; // MP3, WMA, OGG, WAV
    QLabel *SkinLabel3 = nullptr;                 // "Output Format:"
    QLineEdit *txtFolder = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdPlay = nullptr;
    QPushButton *cmdPause = nullptr;
    QPushButton *cmdStop = nullptr;
    QSlider *slPosition = nullptr;
    QPushButton *cmdTag = nullptr;
    QPushButton *cmdOption = nullptr;
    QPushButton *cmdHelp = nullptr;
    QProgressBar *ProgressConvert = nullptr;
    QProgressBar *ProgressConvert11 = nullptr;
    QProgressBar *ProgressConvert2 = nullptr;
    QProgressBar *ProgressConvert22 = nullptr;
    QTimer *Timer1 = nullptr; // shutdown timer

    // --- Menus -----------------------------------------------------------------------
    QMenu *file = nullptr;
    QMenu *action = nullptr;
    QMenu *help = nullptr;
    QMenu *other = nullptr;
    QMenu *rightmenu = nullptr;
    QMenu *playmenu = nullptr;

private:
    std::unique_ptr<frmOption> m_options;
};
