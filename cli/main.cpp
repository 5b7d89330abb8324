#include "cli/argumentnames.h"
#include "cli/clioptions.h"
#include "cli/sourcelist.h"
#include "cli/stopsignals.h"
#include "convert/conversionengine.h"
#include "convert/outputformat.h"
#include "convert/outputnaming.h"
#include "convert/runoutputs.h"
#include "platform/largeblocks.h"
#include "settings/profilereader.h"
#include "settings/settingsfiles.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <climits>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

QString progressBar(double fraction, int done, int total)
{
    constexpr int Width = 30;
    const int filled = int(fraction * Width + 0.5);
    return QStringLiteral("\r[%1%2] %3%  %4/%5 files")
        .arg(QString(filled, QLatin1Char('#')), QString(Width - filled, QLatin1Char('-')))
        .arg(int(fraction * 100), 3)
        .arg(done)
        .arg(total);
}

} // namespace

int main(int argc, char *argv[])
{
    StopSignals::install();
    LargeBlocks::returnToSystem();
    QCoreApplication app(argc, argv);
    // Each file's outcome is reported on its own line; the codecs' remarks would only
    // bury it.
    av_log_set_level(AV_LOG_FATAL);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString error;
    const std::optional<CliOptions> parsed = CliOptions::parse(app.arguments().mid(1), &error);
    if (!parsed) {
        err << "twr-convert: " << error << "\n" << CliOptions::usageLine();
        return ExitUsage;
    }
    const CliOptions &o = *parsed;
    if (o.help) {
        out << CliOptions::usage();
        return ExitOk;
    }
    if (o.version) {
        out << CliOptions::versionText();
        return ExitOk;
    }
    const QString settingsFile =
        o.settingsFile.isEmpty() ? SettingsFiles::workingFile() : o.settingsFile;
    if (!o.settingsFile.isEmpty() && !QFileInfo(o.settingsFile).isFile()) {
        err << "twr-convert: no settings file " << o.settingsFile << "\n";
        return ExitUsage;
    }
    const ProfileReader profile(settingsFile);

    // The window stores its choice as the format's label and compares it exactly.
    const OutputFormat *format =
        o.format.isEmpty()
            ? OutputFormats::byLabel(SettingsFiles::read(settingsFile, Ini::Output::Format))
            : OutputFormats::byName(o.format);
    if (!format)
        format = &OutputFormats::all().front();
    const QString extension = QString::fromLatin1(format->extension);
    const EncoderSettings settings = format->read(profile);

    bool besideSource = o.placement == CliOptions::Placement::BesideSource;
    if (o.placement == CliOptions::Placement::FromSettings)
        besideSource = profile.number(Ini::Output::OldFolder, 0, 1) == 1;
    QString folder = o.outputDir;
    if (!besideSource && folder.isEmpty())
        folder = profile.value(Ini::Output::Folder);
    if (!besideSource) {
        if (folder.isEmpty())
            folder = QDir::currentPath();
        // A missing folder is created by the first file converted into it.
        folder = QDir(folder).absolutePath();
        folder = QDir::toNativeSeparators(folder);
        if (!folder.endsWith(QDir::separator()))
            folder += QDir::separator();
    }
    bool overwrite = o.overwrite == CliOptions::Overwrite::Yes;
    QString keptOutputs;
    if (o.overwrite == CliOptions::Overwrite::FromSettings) {
        const QString stored = SettingsFiles::read(profile.file(), Ini::Output::Overwrite);
        const std::optional<qint64> number = SettingsFiles::wholePart(stored);
        if (stored.trimmed().isEmpty())
            overwrite = profile.number(Ini::Output::Overwrite, INT_MIN, INT_MAX) != 0;
        else
            overwrite = number && *number != 0;
        // The window asks about a value that is no number; with nobody to ask, nothing is
        // replaced.
        if (!stored.trimmed().isEmpty() && !number)
            keptOutputs = QStringLiteral("%1: the value \"%2\" of overwrite in section [output] "
                                         "is not a number; existing outputs are kept")
                              .arg(profile.file(), stored);
    }

    // Every unusable setting is named once, before any file is converted.
    for (const QString &line : profile.ignored())
        err << "twr-convert: warning: " << line << "\n";
    if (!keptOutputs.isEmpty())
        err << "twr-convert: warning: " << keptOutputs << "\n";
    err.flush();

    using Result = ConversionEngine::Result;
    using Outcome = ConversionJob::Outcome;
    QStringList listed;
    if (!o.filesFrom.isEmpty()) {
        QString why;
        const std::optional<QStringList> read =
            SourceList::readList(o.filesFrom, o.nulSeparated, &why);
        if (!read) {
            err << "twr-convert: the file list " << o.filesFrom << " cannot be read: " << why
                << "\n";
            return ExitUsage;
        }
        listed = *read;
    }
    const SourceList::Gathered gathered = SourceList::gather(o.files, listed, o.recursive);
    if (!gathered.usageError.isEmpty()) {
        err << "twr-convert: " << gathered.usageError << "\n";
        return ExitUsage;
    }
    for (const QString &folder : gathered.unreadable)
        err << "twr-convert: the folder " << folder
            << " cannot be read; the files in it are left out\n";
    err.flush();
    bool keep = o.structure == CliOptions::Structure::Keep;
    if (o.structure == CliOptions::Structure::FromSettings)
        keep = profile.number(Ini::Output::KeepFolders, 0, 1) == 1;

    const QStringList badNames = ArgumentNames::notUtf8(argc, argv);
    QList<ConversionEngine::Task> tasks;
    QStringList refusals; // a name that cannot be told to the file system
    for (const SourceList::Source &item : gathered.sources) {
        const QString &file = item.path;
        const QString source = QFileInfo(file).absoluteFilePath();
        const QString into =
            keep && !besideSource ? OutputNaming::keptFolder(folder, source, item.root) : folder;
        tasks.append({int(tasks.size()), source,
                      OutputNaming::outputPath(source, into, besideSource, extension)});
        refusals << (badNames.contains(file) ? ArgumentNames::refusal(file) : item.refusal);
    }
    // Output names are handed out in the order of the list, before the workers race: a file
    // whose output another already has, or whose output is a source, fails before anything
    // is converted.
    QList<Result> results(tasks.size()); // a refused file has its reason already
    {
        QStringList sources;
        for (const ConversionEngine::Task &task : tasks)
            sources << task.source;
        RunOutputs outputs(sources);
        for (qsizetype i = 0; i < tasks.size(); ++i) {
            const ConversionEngine::Task &task = tasks.at(i);
            QString refusal = refusals.at(i);
            if (refusal.isEmpty() && !task.output.isEmpty())
                refusal = outputs.claim(task.source, task.output);
            if (refusal.isEmpty())
                continue;
            results[i].outcome = Outcome::Failed;
            results[i].source = task.source;
            results[i].output = task.output;
            results[i].reason = refusal;
        }
    }
    // --jobs, else the window's "Files converted at once".
    const int workers =
        o.jobs > 0 ? o.jobs
                   : ConversionEngine::workersFor(profile.number(Ini::Output::Jobs, 0, 64));

    const bool terminal = isatty(fileno(stderr));
    int finished = 0;
    auto done = [&](int index, const Result &r) {
        ++finished;
        if (terminal)
            err << "\r\033[K" << Qt::flush;
        const QString &source = tasks.at(index).source;
        switch (r.outcome) {
        case Outcome::Converted:
            if (!r.tagWarning.isEmpty())
                out << "converted, but the tag could not be written: " << source << " -> "
                    << r.output << ": " << r.tagWarning << "\n";
            else if (!r.warning.isEmpty())
                out << "converted with warnings  " << source << " -> " << r.output << ": "
                    << r.warning << (r.tagLoss.isEmpty() ? QString() : "; " + r.tagLoss) << "\n";
            else if (!r.tagLoss.isEmpty())
                out << "converted, but " << r.tagLoss << "  " << source << " -> " << r.output
                    << "\n";
            else
                out << "converted  " << source << " -> " << r.output << "\n";
            break;
        case Outcome::Skipped:
            out << "skipped    " << source << ": " << r.reason << "\n";
            break;
        case Outcome::Cancelled:
        case Outcome::Failed:
            out << "FAILED     " << source << ": " << r.reason << "\n";
            break;
        }
        out.flush();
    };

    // Each file's share done, for the progress bar on a terminal.
    QHash<int, double> running;
    auto progress = [&] {
        if (!terminal || tasks.isEmpty())
            return;
        double sum = finished;
        for (double share : running)
            sum += share;
        err << progressBar(std::min(1.0, sum / double(tasks.size())), finished, int(tasks.size()))
            << Qt::flush;
    };

    ConversionEngine engine;
    QEventLoop loop;
    // Each with the loop as context, so that the workers' signals reach this thread.
    // Progress only draws the bar on a terminal; elsewhere the workers' reports, one per
    // chunk, would only wake this thread for nothing.
    if (terminal)
        QObject::connect(&engine, &ConversionEngine::progressed, &loop,
                         [&](int id, qint64 d, qint64 t) {
                             if (t > 0)
                                 running[id] = double(d) / double(t);
                         });
    QObject::connect(&engine, &ConversionEngine::fileFinished, &loop, [&](int id, const Result &r) {
        running.remove(id);
        results[id] = r;
        done(id, r);
    });
    QObject::connect(&engine, &ConversionEngine::runEnded, &loop, &QEventLoop::quit);
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, progress);
    if (terminal)
        ticker.start(200);

    for (qsizetype i = 0; i < tasks.size(); ++i) {
        if (!results[i].reason.isEmpty())
            done(int(i), results[i]);
    }
    engine.setPictureCopy(o.noPictures ? PictureCopy::Leave : PictureCopy::Keep);
    const bool split = !o.noSplit && profile.number(Ini::Output::Split, 0, 1) != 0;
    engine.setSplitCores(split ? workers : 1);
    engine.begin(workers, settings,
                 overwrite ? ConversionEngine::Overwrite::Replace
                           : ConversionEngine::Overwrite::Skip);
    for (qsizetype i = 0; i < tasks.size(); ++i) {
        if (results[i].reason.isEmpty())
            engine.submit(tasks.at(i));
    }
    engine.finish();
    loop.exec();
    if (terminal)
        err << "\r\033[K" << Qt::flush;

    int converted = 0, skipped = 0, failed = 0, warned = 0, untagged = 0;
    for (const Result &r : results) {
        if (r.outcome == Outcome::Converted) {
            ++converted;
            if (!r.warning.isEmpty() || !r.tagWarning.isEmpty() || !r.tagLoss.isEmpty())
                ++warned;
            if (!r.tagWarning.isEmpty())
                ++untagged;
        } else if (r.outcome == Outcome::Skipped) {
            ++skipped;
        } else {
            ++failed;
        }
    }
    out << converted << " converted, " << skipped << " skipped, " << failed << " failed, " << warned
        << " with warnings\n";
    // A damaged source converted as far as it goes is a warning; a tag that was lost is not.
    // A script that wants whole files only asks for --strict.
    return failed > 0 || untagged > 0 || !gathered.unreadable.isEmpty() || (o.strict && warned > 0)
               ? ExitFailed
               : ExitOk;
}
