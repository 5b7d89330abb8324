#pragma once

#include "convert/conversionjob.h"
#include "convert/conversionwidgets.h"
#include "convert/runoutputs.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <utility>

class Converter;
class MainState;
class OutputOptions;
class RunFeedback;
class TagEditorCalls;

// The conversion run of the main window: the Convert command and its Cancel face, the walk
// over the ticked rows, the per-file conversion with its bars and panels, and the end of the
// run. Everything runs on the window's thread; a file yields to the event loop once per chunk,
// and a click on "Cancel..." during that yield only records the cancel.
//
// A file that is not converted is never shown as converted: a failed file's row reads
// "Failed" and stays ticked, a cancelled one goes back to "Ready" and stays ticked, neither
// leaves anything under the output name, and the run ends with one message listing what
// failed and why.
class ConversionRun : public QObject
{
    Q_OBJECT
public:
    // The output format buttons' indices.
    enum class Format { Mp3 = 0, Wma = 1, Ogg = 2, Wav = 3 };
    using Result = ConversionJob::Result;

    static constexpr const char *ConvertCaption = "Convert Now!";
    static constexpr const char *CancelCaption = "Cancel...";

    ConversionRun(ConversionWidgets widgets, MainState &state, Converter &Reader, Converter &Writer,
                  OutputOptions &options, TagEditorCalls &tagEditor, QObject *parent = nullptr);
    ~ConversionRun() override;

    // cmdConvert: starts a run over the ticked rows and returns when it is over; during a
    // run it records a cancel request and starts nothing.
    void Convert();
    // The Action menu's and the popup's "Convert to" entries: select the format, then run.
    // Ignored while a file plays.
    void convertTo(Format format);
    // The output folder box changed: the "Save to..." column and panel 1 follow it.
    void txtFolder_Change();

    // The per-format steps for the file in CurrentFile.
    Result ConvertToWav();
    Result ConvertToMp3();
    Result ConvertToOgg();
    Result ConvertToWma();
    // Converts one file with the overwrite question, the bars, the panels and the yields.
    Result ConvertFile(const QString &source, const QString &output);

private:
    void walk();
    Result convertSelected();
    Result convertToExtension(const QString &extension);
    void settleRow(int row, const Result &result);
    void endRun();
    void lockWindow();
    void unlockWindow();
    void showProgress(qint64 done, qint64 total, const QString &sourceName,
                      const QString &outputName);
    ConversionJob::OverwriteAnswer askOverwrite(const QString &output);
    void reportProblems();

    ConversionWidgets m_widgets;
    MainState &m_state;
    Converter &m_reader;
    Converter &m_writer;
    OutputOptions &m_options;
    TagEditorCalls &m_tagEditor;
    RunOutputs m_outputs;
    std::unique_ptr<RunFeedback> m_feedback; // taskbar progress and the end notification
    qint64 m_position = 0;                   // 1-based place of the file in the run
    qint64 m_converted = 0;
    QStringList m_failures;    // "source: reason" of each file not converted
    QStringList m_tagFailures; // converted files whose tag did not come along
    QStringList m_warnings;    // converted files with damage skipped or cut short
    std::vector<std::pair<QWidget *, bool>> m_lockedStates;
    std::vector<std::pair<QMenu *, bool>> m_lockedMenuStates;
};
