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
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

int failures = 0;

qint64 clockNs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}
qint64 threadCpuNs()
{
    return clockNs(CLOCK_THREAD_CPUTIME_ID);
}
qint64 processCpuNs()
{
    return clockNs(CLOCK_PROCESS_CPUTIME_ID);
}

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

// A stereo 128 kbit/s MP3 of `seconds` in `dir`; "" (and a failure counted) when ffmpeg fails.
QString makeSample(const QTemporaryDir &dir, const char *seconds, const char *flow)
{
    const QString sample = dir.filePath("sample.mp3");
    const int rc = QProcess::execute(
        QStringLiteral("ffmpeg"),
        {"-v", "error", "-y", "-f", "lavfi", "-i",
         QStringLiteral("sine=frequency=440:duration=") + QLatin1String(seconds), "-ac", "2", "-ar",
         "44100", "-c:a", "libmp3lame", "-b:a", "128k", sample});
    if (rc == 0)
        return sample;
    std::printf("%s: ffmpeg could not make the sample file, skipped\n", flow);
    ++failures;
    return {};
}

// Outputs into one folder, one file at a time.
struct BenchOptions : OutputOptions
{
    QString outputFolder() override { return QStringLiteral("/tmp/out"); }
    bool convertIntoSourceFolder() override { return false; }
    bool openFolderAfterRun() override { return false; }
    int filesAtOnce() override { return 1; }
};

void benchAddFiles()
{
    QTemporaryDir dir;
    const QString sample = makeSample(dir, "3", "add-files flow");
    if (sample.isEmpty())
        return;
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
    BenchOptions options;
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

// 10,000 real files in 1,000 folders added with "Add Folder...": the time until every row is
// listed in a shown view, and the longest time the window's thread is kept from its events.
void benchAddFolder()
{
    QTemporaryDir dir;
    const QString sample = makeSample(dir, "0.5", "add-folder flow");
    if (sample.isEmpty())
        return;
    const QString library = dir.filePath("Music");
    for (int folder = 0; folder < 1000; ++folder) {
        const QString album = QStringLiteral("%1/Artist %2/Album %3")
                                  .arg(library)
                                  .arg(folder / 10, 3, 10, QChar('0'))
                                  .arg(folder % 10);
        QDir().mkpath(album);
        for (int track = 0; track < 10; ++track)
            QFile::copy(sample,
                        QStringLiteral("%1/%2 Track.mp3").arg(album).arg(track, 2, 10, QChar('0')));
    }

    auto platform = std::make_unique<BenchPlatform>();
    Platform::install(std::move(platform));
    JobListModel jobs;
    StatusBar status;
    QLineEdit folder(QStringLiteral("/tmp/out"));
    QTreeView view;
    view.setRootIsDecorated(false);
    view.setUniformRowHeights(true);
    view.setModel(&jobs);
    view.resize(800, 600);
    view.show();
    QWidget window;
    QMenu menu;
    FileInfoProbe probe;
    BenchOptions options;
    JobListWidgets widgets{jobs, view, window, status, folder, menu};
    AddFilesCommand command(widgets, probe, options);

    // A tick every 5 ms: the longest gap between two is the longest stretch the thread was kept
    // from its events; the thread's processor time over that gap is how long it was busy (on a
    // shared machine the rest is time it waited for a core).
    QElapsedTimer sinceTick;
    qint64 longestGapNs = 0;
    qint64 longestBusyNs = 0;
    qint64 lastCpuNs = threadCpuNs();
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        const qint64 cpu = threadCpuNs();
        longestBusyNs = std::max(longestBusyNs, cpu - lastCpuNs);
        lastCpuNs = cpu;
        sinceTick.restart();
    });
    const qint64 processCpuBefore = processCpuNs();
    QElapsedTimer timer;
    timer.start();
    sinceTick.start();
    ticker.start();
    command.addFolder(library);
    while (command.isAdding())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();
    report("Add Folder, 10,000 real MP3 files in 1,000 folders", timer.nsecsElapsed() / 1e6, 3000);
    std::printf("  processor time of the whole program meanwhile %9.1f ms\n",
                (processCpuNs() - processCpuBefore) / 1e6);
    report("  the window's thread, longest busy stretch (own time)", longestBusyNs / 1e6, 100);
    std::printf("  the window's thread, longest time away from its events %9.1f ms\n",
                longestGapNs / 1e6);
    if (jobs.count() != 10000) {
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
    benchAddFolder();
    return failures == 0 ? 0 : 1;
}
