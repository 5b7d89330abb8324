// One conversion run through the real main window, offscreen: the files on the command line
// become ticked rows, "Convert Now!" is clicked once, and the run's wall and processor time
// (without the window's start-up) are printed, with the longest stretch the window's thread
// was kept from its event loop during the run.
// Usage: window_run_bench FORMAT OUTPUT_FOLDER FILE... (FORMAT: mp3, wma, ogg or wav).
// Exits 1 when a file was not converted. Run by window_run_bench.sh, which compares it with
// twr-convert and measures the peak memory.
#include "app/frmdialog.h"
#include "bench/benchplatform.h"
#include "convert/conversionrun.h"
#include "convert/outputformat.h"
#include "joblist/joblistmodel.h"
#include "platform/largeblocks.h"
#include "platform/platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <ctime>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    LargeBlocks::returnToSystem(); // as the program does
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const OutputFormat *format = args.isEmpty() ? nullptr : OutputFormats::byName(args[0]);
    if (args.size() < 3 || !format) {
        std::fprintf(stderr, "usage: window_run_bench %s OUTPUT_FOLDER FILE...\n",
                     qPrintable(OutputFormats::names().join('|')));
        return 2;
    }
    Platform::install(std::make_unique<BenchPlatform>());

    frmDialog window;
    if (window.Form_Load() != frmDialog::LoadResult::Loaded)
        return 2;
    const QString folder = QFileInfo(args[1]).absoluteFilePath() + '/';
    window.txtFolder->setText(folder);
    for (const QString &file : args.mid(2)) {
        const QFileInfo source(file);
        window.jobs->AddJobRow(source.fileName(), {}, {}, source.absolutePath() + '/', folder);
    }
    window.outputformat[size_t(format->id)]->setChecked(true);

    // With TWR_BENCH_BUSY set, a timer that fires every millisecond the thread is free: the
    // longest gap between two ticks is the longest the window could not repaint or take a
    // click. (Its own wake-ups cost processor time, so the timed runs go without it.)
    const bool measureBusy = qEnvironmentVariableIsSet("TWR_BENCH_BUSY");
    QElapsedTimer sinceTick;
    qint64 longestBusy = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestBusy = std::max(longestBusy, sinceTick.restart()); });
    QEventLoop running;
    QObject::connect(&window.conversionRun(), &ConversionRun::runEnded, &running,
                     &QEventLoop::quit);

    // TWR_BENCH_SCREENSHOT=FILE keeps a picture of the window a second into the run.
    const QString screenshot = qEnvironmentVariable("TWR_BENCH_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        window.show();
        QTimer::singleShot(1000, &window, [&] {
            window.viewEvent->scrollTo(window.jobs->index(0, int(JobColumn::Status)));
            window.grab().save(screenshot);
        });
    }

    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuStart = std::clock();
    sinceTick.start();
    if (measureBusy)
        ticker.start(1);
    window.cmdConvert->click();
    if (window.conversionRun().isActive())
        running.exec();
    ticker.stop();
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;

    int converted = 0;
    for (int row = 0; row < window.jobs->count(); ++row)
        converted += window.jobs->status(row) == QLatin1String(JobStatus::Finished);
    std::printf("%.3f %.3f s run wall, cpu; %d of %d converted; window thread busy at most "
                "%lld ms\n",
                seconds, cpu, converted, window.jobs->count(), longestBusy);
    return converted == window.jobs->count() ? 0 : 1;
}
