// Job list benchmark: run by hand, e.g. `QT_QPA_PLATFORM=offscreen bin/joblist_bench`.
// Prints each figure with its target and exits non-zero when a target is missed.
#include "bench/benchplatform.h"
#include "joblist/addfilescommand.h"
#include "joblist/fileinfoprobe.h"
#include "joblist/joblistmodel.h"
#include "joblist/joblistwidgets.h"
#include "platform/platform.h"
#include "settings/outputoptions.h"
#include "ui/statusbar.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>

namespace {

int failures = 0;

void report(const char *what, double ms, double targetMs)
{
    const bool ok = ms < targetMs;
    if (!ok)
        ++failures;
    std::printf("%-52s %9.1f ms  (target < %.0f ms) %s\n", what, ms, targetMs,
                ok ? "ok" : "MISSED");
}

void fillRows(JobListModel &jobs, int rows)
{
    for (int i = 0; i < rows; ++i) {
        const QString name = QStringLiteral("Track %1 - Some Artist.mp3").arg(i, 5, 10, QChar('0'));
        jobs.AddJobRow(name, QStringLiteral("00:%1:%2").arg(i % 60).arg(i % 47, 2, 10, QChar('0')),
                       QStringLiteral("%1.%2M").arg(i % 13).arg(i % 97),
                       QStringLiteral("/home/user/Music/Album %1").arg(i % 200),
                       QStringLiteral("/home/user/Converted"));
    }
}

void benchRows()
{
    {
        JobListModel jobs;
        QElapsedTimer timer;
        timer.start();
        fillRows(jobs, 10000);
        report("AddJobRow x 10,000 (duplicate check included)", timer.nsecsElapsed() / 1e6, 1000);
        timer.restart();
        fillRows(jobs, 10000); // every name is listed now
        report("AddJobRow x 10,000 refused duplicates", timer.nsecsElapsed() / 1e6, 1000);
        timer.restart();
        jobs.headerClicked(int(JobColumn::Name));
        report("sort 10,000 rows by column File Name (model only)", timer.nsecsElapsed() / 1e6,
               100);
    }
    {
        JobListModel jobs;
        QTreeView view; // set up as the main window's list
        view.setRootIsDecorated(false);
        view.setUniformRowHeights(true);
        view.setModel(&jobs);
        view.resize(800, 600);
        view.show();
        QElapsedTimer timer;
        timer.start();
        fillRows(jobs, 10000);
        QCoreApplication::processEvents();
        report("AddJobRow x 10,000 into a shown view", timer.nsecsElapsed() / 1e6, 1000);

        for (JobColumn column : {JobColumn::Size, JobColumn::Name, JobColumn::Length}) {
            timer.restart();
            jobs.headerClicked(int(column));
            QCoreApplication::processEvents();
            const QString what = QStringLiteral("sort 10,000 rows by column %1 (shown view)")
                                     .arg(JobListModel::columnHeader(int(column)));
            report(qPrintable(what), timer.nsecsElapsed() / 1e6, 100);
        }
        timer.restart();
        jobs.headerClicked(int(JobColumn::Length)); // the flip of an unchanged column
        QCoreApplication::processEvents();
        report("re-sort 10,000 rows descending (shown view)", timer.nsecsElapsed() / 1e6, 100);
    }
}

void benchAddFiles()
{
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample.mp3");
    const int rc = QProcess::execute(QStringLiteral("ffmpeg"),
                                     {"-v", "error", "-y", "-f", "lavfi", "-i",
                                      "sine=frequency=440:duration=3", "-ac", "2", "-ar", "44100",
                                      "-c:a", "libmp3lame", "-b:a", "128k", sample});
    if (rc != 0) {
        std::printf("add-files flow: ffmpeg could not make the sample file, skipped\n");
        ++failures;
        return;
    }
    QStringList pick;
    for (int i = 0; i < 1000; ++i) {
        const QString path = dir.filePath(QStringLiteral("song %1.mp3").arg(i, 4, 10, QChar('0')));
        QFile::copy(sample, path);
        pick << path;
    }

    auto platform = std::make_unique<BenchPlatform>();
    platform->pick = pick;
    Platform::install(std::move(platform));

    JobListModel jobs;
    StatusBar status;
    QLineEdit folder(QStringLiteral("/tmp/out"));
    QTreeView view;
    QWidget window;
    QMenu menu;
    FileInfoProbe probe;
    struct : OutputOptions
    {
        QString outputFolder() override { return QStringLiteral("/tmp/out"); }
        bool convertIntoSourceFolder() override { return false; }
        bool openFolderAfterRun() override { return false; }
        int filesAtOnce() override { return 1; }
    } options;
    JobListWidgets widgets{jobs, view, window, status, folder, menu};
    AddFilesCommand command(widgets, probe, options);

    QElapsedTimer timer;
    timer.start();
    command.run();
    report("Add Files flow, 1,000 real MP3 files (probe included)", timer.nsecsElapsed() / 1e6,
           10000);
    if (jobs.count() != 1000) {
        std::printf("  only %d rows were added\n", jobs.count());
        ++failures;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchRows();
    benchAddFiles();
    return failures == 0 ? 0 : 1;
}
