#pragma once

#include "convert/conversionengine.h"
#include "convert/conversionwidgets.h"
#include "convert/encodersettings.h"
#include "convert/runoutputs.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>

struct ListFocus;
class OutputOptions;
class RunFeedback;
class TagEditorCalls;

// The conversion run of the main window: the Convert command and its Cancel face, the walk
// over the ticked rows, each file's bars and panels, and the end of the run.
//
// The files are converted by the conversion engine on worker threads, as many at once as the
// options allow ("Files converted at once"; with one, one after the other). The run starts
// the ticked rows in list order and follows each through the engine's signals, so the
// window's thread stays free and a click on "Cancel..." is seen at once. The run takes the
// encoder settings and the output folder when it starts: what is typed or chosen meanwhile
// is for the next run.
//
// A file that is not converted is never shown as converted: a failed file's row reads
// "Failed" and stays ticked, a cancelled one goes back to "Ready" and stays ticked, neither
// leaves anything under the output name, and the run ends with one message listing what
// failed and why.
class ConversionRun : public QObject
{
    Q_OBJECT
public:
    using Result = ConversionJob::Result;

    static constexpr const char *ConvertCaption = "Convert Now!";
    static constexpr const char *CancelCaption = "Cancel...";

    // `encoderSettings` are the live encoder settings the options dialog keeps; `isPlaying`
    // tells whether the player plays; `focus` follows the file being converted.
    ConversionRun(ConversionWidgets widgets, std::function<bool()> isPlaying, ListFocus &focus,
                  const EncoderSettingsSet &encoderSettings, OutputOptions &options,
                  TagEditorCalls &tagEditor, QObject *parent = nullptr);
    ~ConversionRun() override;

    // cmdConvert: starts a run over the ticked rows; during a run it records a cancel
    // request and starts nothing. The run goes on after this returns; runEnded tells its end.
    void Convert();
    // The Action menu's and the popup's "Convert to" entries: select the format, then run.
    // Ignored while a file plays.
    void convertTo(OutputFormatId format);
    // The output folder box changed: the "Save to..." column and panel 1 follow it.
    void txtFolder_Change();

    // A run is walking the list, also between two files. Whatever must not happen under a
    // run asks this, never a button's caption.
    bool isActive() const { return m_active; }
    // A file of the run is being converted (the button reads "Cancel...").
    bool isConverting() const { return m_converting; }

signals:
    void runEnded();

private:
    // The format of the selected output format button.
    OutputFormatId selectedFormat() const;
    // A file handed to the engine and not yet settled.
    struct InFlight
    {
        int id = 0;
        QPersistentModelIndex row;
        QString sourceName;
        QString outputName;
        double fraction = 0; // share done
    };

    void walk();
    void startFile(int row);
    void showProgress(int id, qint64 done, qint64 total);
    void showRunShare();
    void askOverwrite(int id, const QString &output);
    void askNextQuestion();
    void fileFinished(int id, const Result &result);
    InFlight *inFlight(int id);
    void settleRow(int row, const Result &result);
    void endRun();
    void lockWindow();
    void unlockWindow();
    void reportProblems();

    ConversionWidgets m_widgets;
    std::function<bool()> m_isPlaying;
    ListFocus &m_focus;
    const EncoderSettingsSet &m_encoderSettings;
    OutputOptions &m_options;
    TagEditorCalls &m_tagEditor;
    ConversionEngine m_engine;
    RunOutputs m_outputs;
    std::unique_ptr<RunFeedback> m_feedback; // taskbar progress and the end notification

    // What the run took when it started.
    OutputFormatId m_format = OutputFormatId::Mp3;
    QString m_folder;
    bool m_sourceFolderMode = false;

    bool m_active = false;
    bool m_converting = false;
    bool m_cancelled = false; // "Cancel..." was clicked during the run
    qint64 m_total = 0;       // ticked rows when the run started
    int m_workers = 1;
    int m_nextRow = 0;      // the walk's place in the list
    bool m_stopped = false; // the walk met a row it cannot go past
    qint64 m_started = 0;   // files handed to the engine, and the place of the last in the run
    qint64 m_settled = 0;   // files whose row says how they ended
    std::vector<InFlight> m_inFlight; // in the order they started
    // Overwrite questions waiting for the one being asked: one box at a time.
    std::vector<std::pair<int, QString>> m_questions;
    bool m_asking = false;
    qint64 m_converted = 0;
    QStringList m_failures;    // "source: reason" of each file not converted
    QStringList m_tagFailures; // converted files whose tag did not come along
    QStringList m_warnings;    // converted files with damage skipped or cut short
    std::vector<std::pair<QWidget *, bool>> m_lockedStates;
    std::vector<std::pair<QMenu *, bool>> m_lockedMenuStates;
};
