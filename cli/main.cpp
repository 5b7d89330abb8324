#include "cli/argumentnames.h"
#include "cli/batchconverter.h"
#include "cli/clioptions.h"
#include "cli/encoderprofile.h"
#include "cli/playlistexpansion.h"
#include "cli/stopsignals.h"
#include "convert/outputnaming.h"
#include "engine/converter.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <climits>
#include <cstdio>
#include <thread>
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
    const EncoderProfile profile(settingsFile);

    QString format = o.format;
    if (format.isEmpty()) {
        // The window stores its choice in upper case and compares it exactly.
        const QString stored =
            ReadIni(settingsFile, QStringLiteral("output"), QStringLiteral("format"));
        const QStringList known{QStringLiteral("MP3"), QStringLiteral("WMA"), QStringLiteral("OGG"),
                                QStringLiteral("WAV")};
        format = known.contains(stored) ? stored.toLower() : QStringLiteral("mp3");
    }
    const QString extension = QLatin1Char('.') + format;

    bool besideSource = o.placement == CliOptions::Placement::BesideSource;
    if (o.placement == CliOptions::Placement::FromSettings)
        besideSource = profile.number("output", "oldfolder", 0, 1) == 1;
    QString folder = o.outputDir;
    if (!besideSource && folder.isEmpty())
        folder = profile.value("output", "folder");
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
    if (o.overwrite == CliOptions::Overwrite::FromSettings)
        overwrite = profile.number("output", "overwrite", INT_MIN, INT_MAX) != 0;

    {
        // Every unusable setting is named once, before any file is converted.
        Converter probe;
        QString unused;
        profile.apply(probe, extension, &unused);
        for (const QString &line : profile.ignored())
            err << "twr-convert: warning: " << line << "\n";
        err.flush();
    }

    const QStringList badNames = ArgumentNames::notUtf8(argc, argv);
    QList<BatchConverter::Job> jobs;
    for (const PlaylistExpansion::Item &item : PlaylistExpansion::expand(o.files)) {
        const QString &file = item.path;
        const QString source = QFileInfo(file).absoluteFilePath();
        BatchConverter::Job job{
            source, OutputNaming::outputPath(source, folder, besideSource, extension), {}};
        if (badNames.contains(file))
            job.refusal = ArgumentNames::refusal(file);
        else if (!item.refusal.isEmpty())
            job.refusal = item.refusal;
        jobs.append(job);
    }
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int workers = o.jobs > 0 ? o.jobs : cores;

    const bool terminal = isatty(fileno(stderr));
    int finished = 0;
    auto done = [&](int index, const BatchConverter::Result &r) {
        ++finished;
        if (terminal)
            err << "\r\033[K" << Qt::flush;
        const QString &source = jobs.at(index).source;
        switch (r.outcome) {
        case BatchConverter::Outcome::Converted:
            if (!r.tagWarning.isEmpty())
                out << "converted, but the tag could not be written: " << source << " -> "
                    << r.output << ": " << r.tagWarning << "\n";
            else if (!r.warning.isEmpty())
                out << "converted with warnings  " << source << " -> " << r.output << ": "
                    << r.warning << "\n";
            else
                out << "converted  " << source << " -> " << r.output << "\n";
            break;
        case BatchConverter::Outcome::Skipped:
            out << "skipped    " << source << ": " << r.reason << "\n";
            break;
        case BatchConverter::Outcome::Cancelled:
        case BatchConverter::Outcome::Failed:
            out << "FAILED     " << source << ": " << r.reason << "\n";
            break;
        }
        out.flush();
    };
    auto progress = [&](double fraction) {
        if (terminal)
            err << progressBar(fraction, finished, int(jobs.size())) << Qt::flush;
    };

    BatchConverter batch(profile, extension, overwrite, workers);
    const QList<BatchConverter::Result> results = batch.run(jobs, done, progress);
    if (terminal)
        err << "\r\033[K" << Qt::flush;

    int converted = 0, skipped = 0, failed = 0, warned = 0, untagged = 0;
    for (const BatchConverter::Result &r : results) {
        if (r.outcome == BatchConverter::Outcome::Converted) {
            ++converted;
            if (!r.warning.isEmpty() || !r.tagWarning.isEmpty())
                ++warned;
            if (!r.tagWarning.isEmpty())
                ++untagged;
        } else if (r.outcome == BatchConverter::Outcome::Skipped) {
            ++skipped;
        } else {
            ++failed;
        }
    }
    out << converted << " converted, " << skipped << " skipped, " << failed << " failed, " << warned
        << " with warnings\n";
    // A damaged source converted as far as it goes is a warning; a tag that was lost is not.
    // A script that wants whole files only asks for --strict.
    return failed > 0 || untagged > 0 || (o.strict && warned > 0) ? ExitFailed : ExitOk;
}
