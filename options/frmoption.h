#pragma once

#include "options/optionvariables.h"
#include "settings/outputoptions.h"

#include <QDialog>

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

class EncoderPage;
class GeneralPage;
class Mp3Page;
class OggPage;
class OptionsHost;
struct OptionsContext;
class WavPage;
class WmaPage;

// The options dialog. It is both the settings editor (shown modally) and, loaded but hidden,
// the live settings store the rest of the program reads. The object lives for the whole run:
// Unload() only marks the controls stale; the next Load() rebuilds them from the settings file.
class frmOption : public QDialog, public OptionVariables, public OutputOptions
{
    Q_OBJECT
public:
    // `host` (the main window in the program) must outlive the dialog.
    explicit frmOption(OptionsHost &host, QWidget *parent = nullptr);
    ~frmOption() override;

    // Reads the settings file (the defaults file while flgDefault, or when no settings file
    // exists yet) into the controls; each failing step is skipped. An unloaded dialog starts
    // from the built-in states. Runs hidden; the main window's side effects happen as on user
    // changes.
    void Load();
    // Hides the dialog and marks it unloaded; the public variables keep their values.
    void Unload();
    bool IsLoaded() const { return m_loaded; }
    // Pushes every encoder setting to the engine and writes every option to INI. False, after
    // a message, when the engine rejects the OGG setting: that one is neither pushed nor
    // written, every other one is.
    bool Apply();
    // Loads the dialog if it is unloaded, then runs it modally over its parent. The Options
    // command calls Unload() first, so every showing starts from the settings file.
    int showModal();

    // Live settings read by the rest of the program; each loads the dialog first if needed.
    QString outputFolder() override;
    bool convertIntoSourceFolder() override;
    bool openFolderAfterRun() override;
    int filesAtOnce() override;
    bool keepFolderStructure() override;
    bool splitLongFiles() override;

    // --- Controls (object names are the member names) --------------------------------
    // "General", "MP3", "WMA", "OGG", "WAV", then a page for each later format of the format
    // table, in its order.
    QTabWidget *SSTab1 = nullptr;
    std::vector<QLabel *> Image1; // one picture per page, in page order
    QPushButton *cmdHelp = nullptr;
    QPushButton *cmdApply = nullptr; // "Default"
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    GeneralPage *general = nullptr;
    Mp3Page *mp3 = nullptr;
    WmaPage *wma = nullptr;
    OggPage *ogg = nullptr;
    WavPage *wav = nullptr;
    std::vector<EncoderPage *> laterPages; // FLAC, Opus, M4A

    // The General page controls other parts of the program read.
    QLineEdit *txtOutFolder = nullptr;
    QCheckBox *chkOldfolder = nullptr;
    QCheckBox *chkOpenFolder = nullptr;

    // Esc and the close box act as "Cancel".
    void reject() override;

private:
    void build();
    void onHelp();
    void onDefault();
    void onOk();
    void onCancel();

    OptionsHost &m_host;
    std::unique_ptr<OptionsContext> m_context;
    bool m_loaded = false;
};
