#include "convert/conversionrun.h"

#include "convert/outputformat.h"
#include "convert/outputnaming.h"
#include "joblist/formatting.h"
#include "joblist/joblistmodel.h"
#include "joblist/listfocus.h"
#include "platform/platform.h"
#include "platform/runfeedback.h"
#include "settings/outputoptions.h"
#include "settings/settingsfiles.h"
#include "tags/tageditorcalls.h"
#include "ui/statusbar.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using Outcome = ConversionJob::Outcome;

constexpr int BarUnitsPerPercent = 6;
constexpr int FullBar = 100 * BarUnitsPerPercent;

const QString Caption = QStringLiteral("Tonewright");

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

ConversionJob::Result notConverted(Outcome outcome, const QString &source, const QString &why)
{
    ConversionJob::Result result;
    result.outcome = outcome;
    result.source = source;
    result.reason = why;
    return result;
}

} // namespace

ConversionRun::ConversionRun(ConversionWidgets widgets, std::function<bool()> isPlaying,
                             ListFocus &focus, const EncoderSettingsSet &encoderSettings,
                             OutputOptions &options, TagEditorCalls &tagEditor, QObject *parent)
    : QObject(parent)
    , m_widgets(std::move(widgets))
    , m_isPlaying(std::move(isPlaying))
    , m_focus(focus)
    , m_encoderSettings(encoderSettings)
    , m_options(options)
    , m_tagEditor(tagEditor)
{
    for (QAbstractButton *button : m_widgets.outputformat)
        m_widgets.lockedControls.push_back(button);
    connect(&m_widgets.txtFolder, &QLineEdit::textChanged, this, &ConversionRun::txtFolder_Change);
    connect(&m_engine, &ConversionEngine::progressed, this, &ConversionRun::showProgress);
    connect(&m_engine, &ConversionEngine::overwriteAsked, this, &ConversionRun::askOverwrite);
    connect(&m_engine, &ConversionEngine::fileFinished, this, &ConversionRun::fileFinished);
    connect(&m_engine, &ConversionEngine::runEnded, this, &ConversionRun::endRun);
}

ConversionRun::~ConversionRun() = default;

// --- Commands -----------------------------------------------------------------------------

void ConversionRun::Convert()
{
    if (m_active) {
        // The files in progress stop after their current chunk; nothing more starts.
        m_cancelled = true;
        m_converting = false;
        m_engine.cancel();
        return;
    }
    m_cancelled = false;
    m_total = m_widgets.jobs.checkedCount();
    if (m_total == 0) {
        const bool empty = m_widgets.jobs.count() == 0;
        Platform::instance().messageBox(empty ? QStringLiteral("Please Add Files at first!   ")
                                              : QStringLiteral("Please select at least 1 file!   "),
                                        Caption, MessageButtons::Ok, MessageIcon::Information,
                                        &m_widgets.window);
        return;
    }

    m_active = true;
    m_failures.clear();
    m_tagFailures.clear();
    m_tagLosses.clear();
    m_warnings.clear();
    m_converted = 0;
    m_outputs.clear();
    for (int row = 0; row < m_widgets.jobs.count(); ++row) {
        if (m_widgets.jobs.isChecked(row))
            m_outputs.addSource(m_widgets.jobs.fullPath(row));
    }
    m_format = selectedFormat();
    m_folder = m_widgets.txtFolder.text();
    m_sourceFolderMode = m_options.convertIntoSourceFolder();
    m_keepFolders = m_options.keepFolderStructure();
    m_workers =
        int(std::min<qint64>(ConversionEngine::workersFor(m_options.filesAtOnce()), m_total));
    lockWindow();
    m_feedback = std::make_unique<RunFeedback>(m_widgets.window);
    m_engine.setSplitCores(
        m_options.splitLongFiles() ? ConversionEngine::workersFor(m_options.filesAtOnce()) : 1);
    m_engine.begin(m_workers, m_encoderSettings[m_format], ConversionEngine::Overwrite::Ask);
    m_nextRow = 0;
    m_started = 0;
    m_settled = 0;
    m_stopped = false;
    m_inFlight.clear();
    m_questions.clear();
    m_asking = false;
    walk();
}

void ConversionRun::convertTo(OutputFormatId format)
{
    if (m_isPlaying() || m_active)
        return;
    m_widgets.outputformat[size_t(format)]->setChecked(true);
    Convert();
    if (format == OutputFormatId::Wma)
        m_widgets.cmdConvert.setFocus();
}

OutputFormatId ConversionRun::selectedFormat() const
{
    for (const OutputFormat &format : OutputFormats::all()) {
        if (m_widgets.outputformat[size_t(format.id)]->isChecked())
            return format.id;
    }
    return OutputFormats::all().front().id;
}

void ConversionRun::txtFolder_Change()
{
    const QString folder = m_widgets.txtFolder.text();
    if (!m_options.convertIntoSourceFolder())
        m_widgets.jobs.rewriteSaveTo(false, folder, m_options.keepFolderStructure());
    m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Save to ") + folder);
}

// --- The walk -----------------------------------------------------------------------------

// Starts ticked rows in list order until every worker has a file; past the last row, or when
// the walk has to stop, the engine is told that nothing more comes once the files in
// progress have ended, and the end of the run follows.
void ConversionRun::walk()
{
    JobListModel &jobs = m_widgets.jobs;
    const qint64 total = m_total;
    while (!m_stopped && !m_cancelled && int(m_inFlight.size()) < m_workers &&
           m_nextRow < jobs.count()) {
        const int row = m_nextRow++;
        m_widgets.ProgressConvert2.setVisible(true);
        m_widgets.ProgressConvert22.setVisible(false);
        if (!jobs.isChecked(row))
            continue;
        const qint64 k = ++m_started;
        m_widgets.StatusBar1.setPanelText(
            2, QStringLiteral("Total:%1  (%2 of %3)").arg(total).arg(k).arg(total));
        if (total > 1 && m_workers == 1)
            m_widgets.ProgressConvert2.setValue(int((k - 1) * 100 / total) * BarUnitsPerPercent);

        m_focus.CurrentFile = jobs.fullPath(row);
        const QFileInfo source(m_focus.CurrentFile);
        if (!source.isFile()) {
            // Gone since it was added: the row goes, the rest of the run does not.
            m_failures << QDir::toNativeSeparators(m_focus.CurrentFile) +
                              QStringLiteral(": not found");
            ++m_settled;
            jobs.removeRow(row);
            --m_nextRow;
            continue;
        }
        if (!source.fileName().contains(QLatin1Char('.'))) {
            Platform::instance().messageBox(
                QStringLiteral("Invalid input file name: ") + m_focus.CurrentFile, Caption,
                MessageButtons::Ok, MessageIcon::Critical, &m_widgets.window);
            m_stopped = true;
            break;
        }
        m_widgets.cmdConvert.setText(QString::fromLatin1(CancelCaption));
        m_converting = true;
        jobs.setStatus(row, QString::fromLatin1(JobStatus::Converting));
        startFile(row);
    }
    if (m_inFlight.empty())
        m_engine.finish();
}

void ConversionRun::startFile(int row)
{
    const int id = int(m_started);
    const QString source = m_focus.CurrentFile;
    InFlight file;
    file.id = id;
    file.row = m_widgets.jobs.index(row, 0);
    if (!m_converting) {
        // Cancelled before the file began.
        m_inFlight.push_back(file);
        fileFinished(id, notConverted(Outcome::Cancelled, source, {}));
        return;
    }
    const OutputFormat &format = OutputFormats::of(m_format);
    const QString folder =
        m_keepFolders ? OutputNaming::keptFolder(m_folder, source, m_widgets.jobs.root(row))
                      : m_folder;
    const QString output = OutputNaming::outputPath(source, folder, m_sourceFolderMode,
                                                    QString::fromLatin1(format.extension));
    file.sourceName = fileName(source);
    file.outputName = fileName(output);
    m_inFlight.push_back(file);
    m_widgets.window.setCursor(Qt::WaitCursor);
    if (m_inFlight.size() == 1)
        m_widgets.ProgressConvert.setValue(0);
    m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Current:") + file.sourceName +
                                             QStringLiteral("    0%"));
    const QString refusal = output.isEmpty() ? QString() : m_outputs.claim(source, output);
    if (!refusal.isEmpty()) {
        ConversionJob::Result result = notConverted(Outcome::Failed, source, refusal);
        result.output = output;
        fileFinished(id, result);
        return;
    }
    if (m_workers > 1)
        m_widgets.jobs.setProgress(row, 0);
    m_engine.submit({id, source, output});
}

ConversionRun::InFlight *ConversionRun::inFlight(int id)
{
    for (InFlight &file : m_inFlight) {
        if (file.id == id)
            return &file;
    }
    return nullptr;
}

void ConversionRun::showProgress(int id, qint64 done, qint64 total)
{
    InFlight *file = inFlight(id);
    if (!file)
        return;
    const double percent = total > 0 ? 100.0 * double(done) / double(total) : 0.0;
    file->fraction = percent / 100.0;
    if (m_workers > 1 && file->row.isValid())
        m_widgets.jobs.setProgress(file->row.row(), int(percent));
    // The upper bar follows the file that started first of those in progress; panel 1 the
    // one that started last.
    if (file == &m_inFlight.front()) {
        m_widgets.ProgressConvert11.setVisible(false);
        m_widgets.ProgressConvert.setVisible(true);
        const int length = int(BarUnitsPerPercent * percent);
        m_widgets.ProgressConvert.setValue(length);
        if (m_total == 1)
            m_widgets.ProgressConvert2.setValue(length);
    }
    if (file == &m_inFlight.back())
        m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Current File: ") + file->sourceName +
                                                 QStringLiteral("  -->  ") + file->outputName);
    showRunShare();
}

// The run's share done: each ticked row counts one, a row in progress by its fraction.
void ConversionRun::showRunShare()
{
    if (m_total <= 0)
        return;
    double done = double(m_settled);
    for (const InFlight &file : m_inFlight)
        done += file.fraction;
    const double share = std::min(1.0, done / double(m_total));
    if (m_feedback)
        m_feedback->progress(share);
    if (m_workers == 1) {
        m_widgets.StatusBar1.setPanelText(
            4, QStringLiteral("Converting: %1%")
                   .arg(m_widgets.ProgressConvert.value() / BarUnitsPerPercent));
        return;
    }
    m_widgets.ProgressConvert2.setValue(int(BarUnitsPerPercent * 100 * share));
    m_widgets.StatusBar1.setPanelText(4, QStringLiteral("Converting: %1%").arg(int(100 * share)));
}

void ConversionRun::askOverwrite(int id, const QString &output)
{
    m_questions.emplace_back(id, output);
    if (!m_asking)
        askNextQuestion();
}

// One question at a time on the window's thread; the other workers go on meanwhile.
void ConversionRun::askNextQuestion()
{
    using Answer = ConversionJob::OverwriteAnswer;
    m_asking = true;
    while (!m_questions.empty()) {
        const auto [id, output] = m_questions.front();
        m_questions.erase(m_questions.begin());
        // A value that is not a number asks: nothing is replaced without the user's word.
        const auto setting = SettingsFiles::wholePart(
            SettingsFiles::read(SettingsFiles::workingFile(), Ini::Output::Overwrite));
        if (setting && *setting != 0) {
            m_engine.answerOverwrite(id, Answer::Replace);
            continue;
        }
        const MessageAnswer answer = Platform::instance().messageBox(
            QStringLiteral("'") + QDir::toNativeSeparators(output) +
                QStringLiteral("' is already exist, overwrite it?"),
            QStringLiteral("Overwrite Existing file"), MessageButtons::YesNo,
            MessageIcon::Information, &m_widgets.window);
        m_engine.answerOverwrite(id, answer == MessageAnswer::Yes ? Answer::Replace : Answer::Skip);
    }
    m_asking = false;
}

void ConversionRun::fileFinished(int id, const Result &result)
{
    InFlight *file = inFlight(id);
    if (!file)
        return;
    const bool first = file == &m_inFlight.front();
    const QString sourceName = file->sourceName;
    const QPersistentModelIndex row = file->row;
    m_inFlight.erase(m_inFlight.begin() + (file - m_inFlight.data()));
    ++m_settled;

    if (m_inFlight.empty() || first) {
        m_widgets.ProgressConvert11.setVisible(true);
        m_widgets.ProgressConvert.setVisible(false);
    }
    if (result.outcome == Outcome::Converted) {
        if (m_inFlight.empty())
            m_widgets.ProgressConvert.setValue(FullBar);
        m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Current:") + sourceName +
                                                 QStringLiteral("    100%"));
        // The job has carried the whole tag over; the editor shows what it came from.
        m_tagEditor.LoadTags(result.source);
    }
    if (m_inFlight.empty()) {
        m_widgets.window.unsetCursor();
        m_widgets.ProgressConvert.setValue(0);
        m_widgets.StatusBar1.setPanelText(1, QString());
        m_widgets.cmdConvert.setText(QString::fromLatin1(ConvertCaption));
        m_converting = false;
    }
    if (row.isValid()) {
        m_widgets.jobs.setProgress(row.row(), -1);
        settleRow(row.row(), result);
    }
    if (m_workers > 1)
        showRunShare();
    walk();
}

void ConversionRun::settleRow(int row, const Result &result)
{
    JobListModel &jobs = m_widgets.jobs;
    switch (result.outcome) {
    case Outcome::Converted:
        ++m_converted;
        jobs.setConvertedFile(row, result.output);
        [[fallthrough]];
    case Outcome::Skipped: // the user kept the existing output
        jobs.setStatus(row, QString::fromLatin1(JobStatus::Finished));
        jobs.setChecked(row, false);
        break;
    case Outcome::Cancelled:
        jobs.setStatus(row, QString::fromLatin1(JobStatus::Ready));
        break;
    case Outcome::Failed:
        jobs.setStatus(row, QString::fromLatin1(JobStatus::Failed));
        m_failures << QDir::toNativeSeparators(result.source) + QStringLiteral(": ") +
                          result.reason;
        break;
    }
    if (!result.warning.isEmpty())
        m_warnings << QDir::toNativeSeparators(result.source) + QStringLiteral(": ") +
                          result.warning;
    if (!result.tagWarning.isEmpty())
        m_tagFailures << QDir::toNativeSeparators(result.source) + QStringLiteral(": ") +
                             result.tagWarning;
    if (!result.tagLoss.isEmpty())
        m_tagLosses << QDir::toNativeSeparators(result.output) + QStringLiteral(": ") +
                           result.tagLoss;
}

void ConversionRun::endRun()
{
    if (!m_active)
        return;
    m_widgets.ProgressConvert2.setVisible(false);
    m_widgets.ProgressConvert22.setVisible(true);
    const QString folder = m_widgets.txtFolder.text();
    m_widgets.StatusBar1.setPanelText(1,
                                      QStringLiteral("Save to '") + folder + QStringLiteral("'"));
    // Failed and cancelled rows keep their ticks, so the count says what is left to do.
    m_widgets.StatusBar1.setPanelText(2, SelectedFilesText(m_widgets.jobs.checkedCount()));
    m_widgets.ProgressConvert2.setValue(0);
    m_widgets.jobs.setSorting(int(JobColumn::Status), m_widgets.jobs.sortOrder(), true);

    if (m_options.openFolderAfterRun()) {
        const QString opened =
            m_sourceFolderMode ? QFileInfo(m_focus.CurrentFile).absolutePath() : m_folder;
        Platform::instance().openFolder(opened);
    }

    unlockWindow();
    m_widgets.cmdConvert.setText(QString::fromLatin1(ConvertCaption));
    m_widgets.StatusBar1.setPanelText(4, QStringLiteral("Status: Idle"));
    m_widgets.window.unsetCursor();

    const auto shutdown = SettingsFiles::wholePart(
        SettingsFiles::read(SettingsFiles::workingFile(), Ini::Output::DeleteSource));
    if (shutdown && *shutdown == 1) {
        if (m_cancelled)
            m_widgets.Timer1.stop();
        else
            m_widgets.Timer1.start();
    }

    m_active = false;
    // Before the message box, which would count as the active window.
    m_feedback->finished(int(m_converted), int(m_failures.size()));
    m_feedback.reset();
    reportProblems();
    emit runEnded();
}

void ConversionRun::reportProblems()
{
    QStringList parts;
    const auto section = [&parts](const char *heading, const QStringList &lines) {
        if (!lines.isEmpty())
            parts << QLatin1String(heading) + lines.join('\n');
    };
    section("These files were not converted:\n", m_failures);
    section("These files were converted without their tag:\n", m_tagFailures);
    section("These files were converted, but may be incomplete:\n", m_warnings);
    section("These files were converted, but their outputs could not keep all of the tag:\n",
            m_tagLosses);
    if (parts.isEmpty())
        return;
    ShowWarning(parts.join(QStringLiteral("\n\n")), &m_widgets.window);
}

void ConversionRun::lockWindow()
{
    m_lockedStates.clear();
    for (QWidget *control : m_widgets.lockedControls) {
        m_lockedStates.emplace_back(control, !control->testAttribute(Qt::WA_Disabled));
        control->setEnabled(false);
    }
    m_lockedMenuStates.clear();
    for (QMenu *menu : m_widgets.lockedMenus) {
        m_lockedMenuStates.emplace_back(menu, menu->menuAction()->isEnabled());
        menu->menuAction()->setEnabled(false);
        menu->setEnabled(false);
    }
}

void ConversionRun::unlockWindow()
{
    for (const auto &[control, enabled] : m_lockedStates)
        control->setEnabled(enabled);
    for (const auto &[menu, enabled] : m_lockedMenuStates) {
        menu->menuAction()->setEnabled(enabled);
        menu->setEnabled(enabled);
    }
    m_lockedStates.clear();
    m_lockedMenuStates.clear();
}
