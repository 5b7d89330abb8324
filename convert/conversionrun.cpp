#include "convert/conversionrun.h"

#include "app/mainstate.h"
#include "convert/outputnaming.h"
#include "engine/converter.h"
#include "joblist/formatting.h"
#include "joblist/joblistmodel.h"
#include "options/outputoptions.h"
#include "platform/platform.h"
#include "platform/runfeedback.h"
#include "settings/settingsfiles.h"
#include "tags/tageditorcalls.h"
#include "ui/statusbar.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cmath>
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

// A stored setting read as a number cut to its whole part; nothing when it is not a number.
std::optional<qint64> wholePart(const QString &stored)
{
    bool ok = false;
    const double value = stored.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return qint64(std::trunc(value));
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

ConversionRun::ConversionRun(ConversionWidgets widgets, MainState &state, Converter &Reader,
                             Converter &Writer, OutputOptions &options, TagEditorCalls &tagEditor,
                             QObject *parent)
    : QObject(parent)
    , m_widgets(std::move(widgets))
    , m_state(state)
    , m_reader(Reader)
    , m_writer(Writer)
    , m_options(options)
    , m_tagEditor(tagEditor)
{
    for (QAbstractButton *button : m_widgets.outputformat)
        m_widgets.lockedControls.push_back(button);
    connect(&m_widgets.txtFolder, &QLineEdit::textChanged, this, &ConversionRun::txtFolder_Change);
}

ConversionRun::~ConversionRun() = default;

// --- Commands -----------------------------------------------------------------------------

void ConversionRun::Convert()
{
    if (m_state.runActive) {
        // Delivered during a file's yield: the file stops at its next chunk check.
        m_state.RunCancelled = true;
        m_state.flgConvert = false;
        return;
    }
    m_state.RunCancelled = false;
    m_state.TotalSelected = m_widgets.jobs.checkedCount();
    if (m_state.TotalSelected == 0) {
        const bool empty = m_widgets.jobs.count() == 0;
        Platform::instance().messageBox(empty ? QStringLiteral("Please Add Files at first!   ")
                                              : QStringLiteral("Please select at least 1 file!   "),
                                        Caption, MessageButtons::Ok, MessageIcon::Information,
                                        &m_widgets.window);
        return;
    }

    m_state.runActive = true;
    m_failures.clear();
    m_tagFailures.clear();
    m_warnings.clear();
    m_converted = 0;
    m_outputs.clear();
    for (int row = 0; row < m_widgets.jobs.count(); ++row) {
        if (m_widgets.jobs.isChecked(row))
            m_outputs.addSource(m_widgets.jobs.fullPath(row));
    }
    lockWindow();
    m_feedback = std::make_unique<RunFeedback>(m_widgets.window);
    walk();
    endRun();
    m_state.runActive = false;
    // Before the message box, which would count as the active window.
    const qint64 failed = m_failures.size();
    m_feedback->finished(int(m_converted), int(failed));
    m_feedback.reset();
    reportProblems();
}

void ConversionRun::convertTo(Format format)
{
    if (m_state.IsPlaying || m_state.runActive)
        return;
    m_widgets.outputformat[size_t(format)]->setChecked(true);
    Convert();
    if (format == Format::Wma)
        m_widgets.cmdConvert.setFocus();
}

void ConversionRun::txtFolder_Change()
{
    const QString folder = m_widgets.txtFolder.text();
    if (!m_options.convertIntoSourceFolder()) {
        for (int row = 0; row < m_widgets.jobs.count(); ++row)
            m_widgets.jobs.setText(row, JobColumn::SaveTo, folder);
    }
    m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Save to ") + folder);
}

// --- The walk -----------------------------------------------------------------------------

void ConversionRun::walk()
{
    JobListModel &jobs = m_widgets.jobs;
    const qint64 total = m_state.TotalSelected;
    qint64 k = 0;
    int rows = jobs.count();
    for (int row = 0; row < rows; ++row) {
        m_widgets.ProgressConvert2.setVisible(true);
        m_widgets.ProgressConvert22.setVisible(false);
        if (!jobs.isChecked(row))
            continue;
        ++k;
        m_position = k;
        m_widgets.StatusBar1.setPanelText(
            2, QStringLiteral("Total:%1  (%2 of %3)").arg(total).arg(k).arg(total));
        if (total > 1)
            m_widgets.ProgressConvert2.setValue(int((k - 1) * 100 / total) * BarUnitsPerPercent);

        m_state.CurrentFile = jobs.fullPath(row);
        const QFileInfo source(m_state.CurrentFile);
        if (!source.isFile()) {
            // Gone since it was added: the row goes, the rest of the run does not.
            m_failures << QDir::toNativeSeparators(m_state.CurrentFile) +
                              QStringLiteral(": not found");
            jobs.removeRow(row);
            --row;
            --rows;
            continue;
        }
        if (!source.fileName().contains(QLatin1Char('.'))) {
            Platform::instance().messageBox(
                QStringLiteral("Invalid input file name: ") + m_state.CurrentFile, Caption,
                MessageButtons::Ok, MessageIcon::Critical, &m_widgets.window);
            return;
        }
        m_state.CurrentBase = OutputNaming::baseOf(m_state.CurrentFile);

        m_widgets.cmdConvert.setText(QString::fromLatin1(CancelCaption));
        m_state.flgConvert = true;
        jobs.setStatus(row, QString::fromLatin1(JobStatus::Converting));

        const Result result = convertSelected();

        if (m_state.flgConvert)
            m_widgets.ProgressConvert.setValue(0);
        m_widgets.StatusBar1.setPanelText(1, QString());
        m_widgets.cmdConvert.setText(QString::fromLatin1(ConvertCaption));
        m_state.flgConvert = false;
        settleRow(row, result);
        if (m_state.RunCancelled)
            return;
    }
}

ConversionRun::Result ConversionRun::convertSelected()
{
    // Tested in this order; only one button is ever selected.
    const auto selected = [this](Format f) {
        return m_widgets.outputformat[size_t(f)]->isChecked();
    };
    if (selected(Format::Wma))
        return ConvertToWma();
    if (selected(Format::Mp3))
        return ConvertToMp3();
    if (selected(Format::Ogg))
        return ConvertToOgg();
    if (selected(Format::Wav))
        return ConvertToWav();
    return notConverted(Outcome::Failed, m_state.CurrentFile,
                        QStringLiteral("no output format is selected"));
}

void ConversionRun::settleRow(int row, const Result &result)
{
    JobListModel &jobs = m_widgets.jobs;
    switch (result.outcome) {
    case Outcome::Converted:
        ++m_converted;
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
}

void ConversionRun::endRun()
{
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
        const QString opened = m_options.convertIntoSourceFolder()
                                   ? QFileInfo(m_state.CurrentFile).absolutePath()
                                   : folder;
        Platform::instance().openFolder(opened);
    }

    unlockWindow();
    m_widgets.cmdConvert.setText(QString::fromLatin1(ConvertCaption));
    m_widgets.StatusBar1.setPanelText(4, QStringLiteral("Status: Idle"));
    m_widgets.window.unsetCursor();

    const auto shutdown =
        wholePart(SettingsFiles::read(SettingsFiles::workingFile(), Ini::Output::DeleteSource));
    if (shutdown && *shutdown == 1) {
        if (m_state.RunCancelled)
            m_widgets.Timer1.stop();
        else
            m_widgets.Timer1.start();
    }
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

// --- One file -----------------------------------------------------------------------------

ConversionRun::Result ConversionRun::ConvertToWav()
{
    return convertToExtension(QStringLiteral(".wav"));
}

ConversionRun::Result ConversionRun::ConvertToMp3()
{
    return convertToExtension(QStringLiteral(".mp3"));
}

ConversionRun::Result ConversionRun::ConvertToOgg()
{
    return convertToExtension(QStringLiteral(".ogg"));
}

ConversionRun::Result ConversionRun::ConvertToWma()
{
    if (!m_state.flgConvert)
        return notConverted(Outcome::Cancelled, m_state.CurrentFile, {});
    // Remixed to the profile's channels, whatever the switch was left at.
    m_writer.setConvertFormat(true);
    return convertToExtension(QStringLiteral(".wma"));
}

ConversionRun::Result ConversionRun::convertToExtension(const QString &extension)
{
    if (!m_state.flgConvert)
        return notConverted(Outcome::Cancelled, m_state.CurrentFile, {});
    const QString output = OutputNaming::outputPath(m_state.CurrentFile, m_widgets.txtFolder.text(),
                                                    m_options.convertIntoSourceFolder(), extension);
    return ConvertFile(m_state.CurrentFile, output);
}

ConversionRun::Result ConversionRun::ConvertFile(const QString &source, const QString &output)
{
    const QString sourceName = fileName(source);
    m_widgets.window.setCursor(Qt::WaitCursor);
    m_widgets.ProgressConvert.setValue(0);
    m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Current:") + sourceName +
                                             QStringLiteral("    0%"));

    ConversionJob::Callbacks callbacks;
    callbacks.overwrite = [this](const QString &existing) {
        return askOverwrite(existing);
    };
    callbacks.progress = [this, &sourceName, outputName = fileName(output)](qint64 done,
                                                                            qint64 total) {
        showProgress(done, total, sourceName, outputName);
    };
    callbacks.cancelled = [this] {
        return !m_state.flgConvert;
    };
    ConversionJob job(m_reader, m_writer, std::move(callbacks), &m_outputs);
    const Result result = job.run(source, output);

    m_widgets.ProgressConvert11.setVisible(true);
    m_widgets.ProgressConvert.setVisible(false);
    if (result.outcome == Outcome::Converted) {
        m_widgets.ProgressConvert.setValue(FullBar);
        m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Current:") + sourceName +
                                                 QStringLiteral("    100%"));
        // The job has carried the whole tag over; the editor shows what it came from.
        m_tagEditor.LoadTags(source);
    }
    m_widgets.window.unsetCursor();
    m_widgets.ProgressConvert.setValue(0);
    m_widgets.StatusBar1.setPanelText(1, QString());
    return result;
}

void ConversionRun::showProgress(qint64 done, qint64 total, const QString &sourceName,
                                 const QString &outputName)
{
    m_widgets.ProgressConvert11.setVisible(false);
    m_widgets.ProgressConvert.setVisible(true);
    const double percent = total > 0 ? 100.0 * double(done) / double(total) : 0.0;
    const int length = int(BarUnitsPerPercent * percent);
    m_widgets.ProgressConvert.setValue(length);
    if (m_state.TotalSelected == 1)
        m_widgets.ProgressConvert2.setValue(length);
    if (m_feedback && m_state.TotalSelected > 0)
        m_feedback->progress((double(m_position - 1) + percent / 100.0) /
                             double(m_state.TotalSelected));
    m_widgets.StatusBar1.setPanelText(1, QStringLiteral("Current File: ") + sourceName +
                                             QStringLiteral("  -->  ") + outputName);
    m_widgets.StatusBar1.setPanelText(
        4, QStringLiteral("Converting: %1%")
               .arg(m_widgets.ProgressConvert.value() / BarUnitsPerPercent));
    // The one yield per chunk: repaints, and lets a click on "Cancel..." arrive.
    QCoreApplication::processEvents();
}

ConversionJob::OverwriteAnswer ConversionRun::askOverwrite(const QString &output)
{
    using Answer = ConversionJob::OverwriteAnswer;
    // A value that is not a number asks: nothing is replaced without the user's word.
    const auto setting =
        wholePart(SettingsFiles::read(SettingsFiles::workingFile(), Ini::Output::Overwrite));
    if (setting && *setting != 0)
        return Answer::Replace;
    const MessageAnswer answer = Platform::instance().messageBox(
        QStringLiteral("'") + QDir::toNativeSeparators(output) +
            QStringLiteral("' is already exist, overwrite it?"),
        QStringLiteral("Overwrite Existing file"), MessageButtons::YesNo, MessageIcon::Information,
        &m_widgets.window);
    return answer == MessageAnswer::Yes ? Answer::Replace : Answer::Skip;
}
