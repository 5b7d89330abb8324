// The conversion run through the real main window, on files made by ffmpeg and checked with
// ffprobe: the walk, its panels and bars, cancel, failures and the end of the run.
#include "app/frmdialog.h"
#include "convert/conversionrun.h"
#include "convert/outputformat.h"
#include "joblist/joblistcommands.h"
#include "joblist/joblistmodel.h"
#include "joblist/listfocus.h"
#include "options/frmoption.h"
#include "options/generalpage.h"
#include "options/mp3page.h"
#include "player/playback.h"
#include "settings/settingsfiles.h"
#include "ui/statusbar.h"

#include "tests/support/fixture.h"
#include "tests/support/loadedwindow.h"
#include "tests/support/readonlymount.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <algorithm>

namespace {

QString codecOf(const QString &path)
{
    return Fixture::audioStream(path).value("codec_name").toString();
}

// One window per test on its own settings, media folder and platform.
struct Window : LoadedWindow
{
    QTemporaryDir media;
    JobListModel &jobs = *w->jobs;
    QString out = media.filePath("out") + '/';

    // One file at a time unless a test asks for more.
    Window()
    {
        w->txtFolder->setText(out);
        w->options().general->spnJobs->setValue(1);
    }
    // Makes each file (a tone of `seconds` at 8 kHz mono) and adds it as a ticked row.
    QStringList add(const QStringList &names, double seconds = 1, const QStringList &codec = {})
    {
        QStringList paths;
        for (const QString &name : names) {
            paths << Fixture::tone(media.path(), name, seconds, codec, 8000, 1);
            jobs.AddJobRow(name, "0:01", "1M", media.path() + '/', out);
        }
        return paths;
    }
    void set(Ini::Key key, const QString &value)
    {
        SettingsFiles::write(SettingsFiles::workingFile(), key, value);
    }
    void convert(int format)
    {
        w->outputformat[format]->setChecked(true);
        w->cmdConvert->click();
        waitForTheEnd();
    }
    // The run goes on after the click: until its end has restored the window.
    void waitForTheEnd() const { QTRY_VERIFY_WITH_TIMEOUT(!w->conversionRun().isActive(), 60000); }
    // Status word of the named row, "+" when ticked.
    QString row(const QString &name) const
    {
        for (int r = 0; r < jobs.count(); ++r)
            if (jobs.text(r, JobColumn::Name) == name)
                return jobs.status(r) + (jobs.isChecked(r) ? "+" : "");
        return "no row";
    }
    // Calls `f(name)` each time a row starts converting.
    template <typename F> void onConverting(F f)
    {
        QObject::connect(&jobs, &JobListModel::dataChanged, w.get(),
                         [this, f](auto at, auto, const QList<int> &roles) {
                             if (at.column() == int(JobColumn::Status) &&
                                 !roles.contains(JobListModel::ProgressRole) &&
                                 jobs.status(at.row()) == "Converting")
                                 f(jobs.text(at.row(), JobColumn::Name));
                         });
    }
    // Enabled flags of controls a run locks (the last, cmdConvert, it never locks).
    QList<bool> locks() const
    {
        return {w->cmdOpenFile->isEnabled(),
                w->cmdPlay->isEnabled(),
                w->viewEvent->isEnabled(),
                w->outputformat[2]->isEnabled(),
                w->action->menuAction()->isEnabled(),
                w->cmdConvert->isEnabled()};
    }
};

const QList<bool> Unlocked{true, true, true, true, true, true};

} // namespace

class tst_ConversionRun : public QObject
{
    Q_OBJECT

private slots:
    // A table of settings files, each converted through the window and through twr-convert:
    // the same bytes (Ogg: the same audio packets), and the MP3 rate that the label and the
    // stored format text name is the file's, also where LAME cannot take the one asked for.
    // Last, an unticked preset takes effect at "Ok".
    void windowAndTwrConvertWriteTheSame()
    {
        struct Row
        {
            OutputFormatId format;
            QList<std::pair<Ini::Key, QString>> keys;
            int mp3Kbps = 0;             // the MP3 rate the file has, and the page and text name
            QString mp3Text = QString(); // part of the stored MP3 format text
        };
        const QList<Row> rows{
            {OutputFormatId::Mp3, {{Ini::Mp3::Bitrate, "0"}}, 32},
            {OutputFormatId::Mp3, {{Ini::Mp3::Bitrate, "14"}, {Ini::Mp3::Frequency, "4"}}, 160},
            {OutputFormatId::Mp3, {{Ini::Mp3::VbrCoding, "5"}, {Ini::Mp3::Channel, "0"}}},
            {OutputFormatId::Mp3,
             {{Ini::Mp3::VbrCoding, "3"}, {Ini::Mp3::Frequency, "4"}, {Ini::Mp3::VbrBitrate, "14"}},
             0,
             "max 160 kbit/s"},
            {OutputFormatId::Ogg, {}},
            {OutputFormatId::Ogg, {{Ini::Ogg::QualityEnabled, "0"}, {Ini::Ogg::Channel, "0"}}},
            {OutputFormatId::Wav, {{Ini::Wav::Bitrate, "BPS_8_BIT"}, {Ini::Wav::Channel, "MONO"}}},
            {OutputFormatId::Wma, {{Ini::Wma::Profile, "7"}}},
            {OutputFormatId::Flac, {{Ini::Flac::Level, "8"}}},
            {OutputFormatId::Mp3, {{Ini::Mp3::AltPresetEnabled, "1"}, {Ini::Mp3::AltPreset, "5"}}},
        };
        const auto packets = [](const QString &path) {
            QByteArray out;
            TestEnv::run(
                "ffmpeg",
                {"-v", "error", "-i", path, "-map", "0:a", "-c", "copy", "-f", "framemd5", "-"},
                &out);
            return out;
        };
        QTemporaryDir media;
        const QString source = Fixture::tone(media.path(), "tone.wav", 1);
        const QString shipped = TestEnv::sourceDir() + "/resources/twr2.ini";
        for (int i = 0; i <= rows.size(); ++i) {
            // The last round unticks the preset of the last row in the dialog.
            const Row &row = rows[std::min<qsizetype>(i, rows.size() - 1)];
            LoadedWindow f(false);
            const QString ini = SettingsFiles::workingFile();
            TestEnv::writeFile(ini, TestEnv::readFile(shipped));
            for (const auto &[key, value] : row.keys)
                SettingsFiles::write(ini, key, value);
            const QString out = media.filePath(QString("w%1").arg(i)) + '/';
            const QString cliOut = media.filePath(QString("c%1").arg(i));
            SettingsFiles::write(ini, Ini::Output::Folder, out);
            f.w->Form_Load();
            if (i == rows.size()) {
                f.w->options().mp3->chkPreset->setChecked(false);
                f.w->options().cmdOK->click();
            }
            f.w->jobs->AddJobRow("tone.wav", "", "", media.path() + '/', out);
            f.w->outputformat[size_t(row.format)]->setChecked(true);
            f.w->cmdConvert->click();
            QTRY_VERIFY_WITH_TIMEOUT(!f.w->conversionRun().isActive(), 60000);
            const OutputFormat &format = OutputFormats::of(row.format);
            const QString name = QString("tone") + format.extension;
            QCOMPARE(TestEnv::twrConvert({"--settings", ini, "--format", format.section,
                                          "--output-dir", cliOut, "--overwrite", source})
                         .exitCode,
                     0);
            const QString mine = out + name, theirs = cliOut + '/' + name;
            const QString what = QString("row %1, %2").arg(i).arg(name);
            if (row.format == OutputFormatId::Ogg)
                QVERIFY2(!packets(mine).isEmpty() && packets(mine) == packets(theirs),
                         qPrintable(what));
            else
                QVERIFY2(QFile::exists(mine) &&
                             TestEnv::readFile(mine) == TestEnv::readFile(theirs),
                         qPrintable(what));
            QVERIFY2(SettingsFiles::read(ini, Ini::Mp3::Fs).contains(row.mp3Text),
                     qPrintable(what));
            int kbps = row.mp3Kbps;
            if (i == rows.size())
                kbps = 128; // the unticked preset leaves the stored 128 kbit/s
            if (kbps) {
                const QString shown = QString("%1 kbit").arg(kbps);
                QCOMPARE(Fixture::streamInfo(mine).value("bit_rate").toInt(), kbps * 1000);
                QVERIFY2(SettingsFiles::read(ini, Ini::Mp3::Fs).contains(shown + "/s CBR"),
                         qPrintable(what));
                QCOMPARE(f.w->options().mp3->frmBitrate->title(), "Current bitrate: " + shown);
            }
        }
    }

    void nothingToConvertAndTheFolderBox()
    {
        Window f;
        f.w->cmdConvert->click();
        f.add({"one.wav"});
        f.w->unselecta->trigger();
        f.w->cmdConvert->click();
        QCOMPARE(f.messages(), QStringList({"Please Add Files at first!   ",
                                            "Please select at least 1 file!   "}));
        QCOMPARE(f.locks(), Unlocked);
        QCOMPARE(f.row("one.wav"), QString("Waitting"));

        f.w->txtFolder->setText("/elsewhere/");
        QCOMPARE(f.jobs.text(0, JobColumn::SaveTo) + '|' + f.panel(1),
                 QString("/elsewhere/|Save to /elsewhere/"));
        f.w->options().chkOldfolder->setChecked(true); // rows keep their own folders
        f.w->txtFolder->setText("/third/");
        QCOMPARE(f.jobs.text(0, JobColumn::SaveTo), f.media.path() + '/');
    }

    void ticksRowsTwoFourAndFive()
    {
        Window f;
        f.set(Ini::Output::DeleteSource, "1");
        f.w->options().chkOpenFolder->setChecked(true);
        f.add({"r1.wav", "r2.wav", "r3.wav", "r4.wav", "r5.wav"});
        for (int r : {0, 2})
            f.jobs.setData(f.jobs.index(r, 0), Qt::Unchecked, Qt::CheckStateRole);
        QStringList seen;
        f.onConverting([&](const QString &) {
            seen << f.panel(2);
            QCOMPARE(f.locks(), QList<bool>({false, false, false, false, false, true}));
        });
        f.w->cmdConvert->click();
        f.waitForTheEnd();

        QCOMPARE(seen,
                 QStringList({"Total:3  (1 of 3)", "Total:3  (2 of 3)", "Total:3  (3 of 3)"}));
        QCOMPARE(f.locks(), Unlocked);
        QStringList rows; // sorted by status
        for (int r = 0; r < 5; ++r)
            rows << f.jobs.status(r) + (f.jobs.isChecked(r) ? "+" : "");
        QCOMPARE(rows, QStringList({"Finished", "Finished", "Finished", "Waitting", "Waitting"}));
        QCOMPARE(TestEnv::files(f.out), QStringList({"r2.mp3", "r4.mp3", "r5.mp3"}));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 0"));
        QVERIFY(f.messages().isEmpty());
        QCOMPARE(f.platform->callsOf("openFolder").value(0).args, QStringList({f.out}));
        QVERIFY(f.w->Timer1->isActive()); // "deletesource" 1: shut down in four seconds
        f.w->Timer1->stop();

        // The desktop sees the run reach its end, then one notification (the window is not
        // the active one here).
        const QStringList taskbar = PlatformCalls::args(*f.platform, "setTaskbarProgress");
        QCOMPARE(taskbar.mid(taskbar.size() - 2), QStringList({"1", "-1"}));
        QCOMPARE(PlatformCalls::args(*f.platform, "notifyRunFinished"), QStringList({"3", "0"}));
    }

    void oneTickedRowDrivesBothBars()
    {
        Window f;
        f.add({"one.wav"}, 3);
        QList<int> file;
        QStringList yields;
        connect(f.w->ProgressConvert, &QProgressBar::valueChanged, [&](int v) { file << v; });
        // The window as each chunk leaves it: panel 4 is the last thing a chunk sets.
        connect(f.w->StatusBar1, &StatusBar::panelTextSet, [&](int panel, const QString &text) {
            if (panel == 4 && text.startsWith("Converting"))
                yields << f.panel(1) + '|' + text + '|' +
                              QString::number(f.w->ProgressConvert->isHidden());
        });
        f.convert(2);

        QCOMPARE(yields.size(), 3); // one update per second of audio
        QCOMPARE(yields.last(), QString("Current File: one.wav  -->  one.ogg|Converting: 100%|0"));
        QCOMPARE(file, QList<int>({200, 400, 600, 0}));
        QCOMPARE(codecOf(f.out + "one.ogg"), QString("vorbis"));
    }

    void failuresAreListedOnceAndTheRunGoesOn()
    {
        Window f;
        f.set(Ini::Output::DeleteSource, ""); // missing: the timer is left as it is
        f.w->Timer1->start(3600 * 1000);      // a slow machine's run outlasts the 4 s
        const QStringList paths =
            f.add({"a.wav", "a.ogg", "b.wav", "c.wav", "README", "d.wav"}, 1, {"-f", "wav"});
        QVERIFY(QFile::remove(paths[2]));
        // c.wav is replaced by the first 70 % of a 6-second FLAC: converted, with a warning
        // (less than half would fail it).
        const QByteArray flac =
            TestEnv::readFile(Fixture::tone(f.media.path(), "long.flac", 6, {"-c:a", "flac"}));
        TestEnv::writeFile(paths[3], flac.left(flac.size() * 7 / 10));
        f.convert(0);
        QCOMPARE(TestEnv::files(f.out), QStringList({"a.mp3", "c.mp3"}));
        QStringList rows;
        for (const char *name : {"a.wav", "a.ogg", "b.wav", "c.wav", "README", "d.wav"})
            rows << f.row(name);
        QCOMPARE(rows,
                 QStringList({"Finished", "Failed+", "no row", "Finished", "Ready+", "Ready+"}));
        QCOMPARE(f.messages().value(0), "Invalid input file name: " + paths[4]);
        const QString list = f.messages().value(1); // the rest of the walk ends at README
        QVERIFY2(list.contains(paths[1] + ": same output name as a.wav") &&
                     list.contains(paths[2] + ": not found") && !list.contains("README") &&
                     list.contains("may be incomplete:\n" + paths[3] + ": "),
                 qPrintable(list));
        QCOMPARE(f.locks(), Unlocked);
        QVERIFY(f.w->Timer1->isActive());
        f.w->Timer1->stop();
    }

    // What the output cannot hold of the tag is named apart from damage: Opus keeps no
    // ReplayGain peak.
    void tagLossIsNamedOnItsOwn()
    {
        Window f;
        f.add({"peak.flac"}, 1, {"-c:a", "flac", "-metadata", "REPLAYGAIN_TRACK_PEAK=0.9"});
        f.convert(5);
        QCOMPARE(TestEnv::files(f.out), QStringList({"peak.opus"}));
        const QString list = f.messages().value(0);
        QVERIFY2(list.startsWith("These files were converted, but their outputs could not keep "
                                 "all of the tag:\n" +
                                 f.out + "peak.opus: the ReplayGain peaks could not be kept") &&
                     !list.contains("incomplete"),
                 qPrintable(list));
    }

    void overwriteSetting_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("ask, no") << "0" << QList{MessageAnswer::No} << false;
        QTest::newRow("ask, yes") << "0" << QList{MessageAnswer::Yes} << true;
        QTest::newRow("not a number asks") << "x" << QList{MessageAnswer::No} << false;
        QTest::newRow("replace") << "1" << QList<MessageAnswer>() << true;
        QTest::newRow("whole part of 2.7") << "2.7" << QList<MessageAnswer>() << true;
    }
    void overwriteSetting()
    {
        QFETCH(QString, setting);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(bool, replaced);
        Window f;
        f.set(Ini::Output::Overwrite, setting);
        f.add({"song.wav"});
        QDir().mkpath(f.out);
        TestEnv::writeFile(f.out + "song.wav", "an older output");
        f.platform->messageAnswers << answers;
        f.convert(3);

        QCOMPARE(
            f.messages(),
            QStringList(answers.size(), "'" + f.out + "song.wav' is already exist, overwrite it?"));
        QCOMPARE(TestEnv::readFile(f.out + "song.wav") != "an older output", replaced);
        QCOMPARE(TestEnv::files(f.out), QStringList({"song.wav"}));
        QCOMPARE(f.row("song.wav"), QString("Finished"));
    }

    // A library added through the folder picker converts with its structure kept: the two
    // "01 Intro" tracks land in their own album folders, nothing fails or is replaced.
    void folderKeepsItsStructure()
    {
        Window f;
        const QString lib = f.media.filePath("Music");
        const QStringList tracks = Fixture::library(lib);
        QVERIFY(!tracks.isEmpty());
        f.platform->folderAnswers << lib;
        f.activate("addfolder");
        QTRY_COMPARE(f.jobs.count(), tracks.size());
        QTRY_COMPARE(f.panel(4), QString("Status: Idle"));
        QCOMPARE(f.jobs.text(2, JobColumn::SaveTo), f.out + "Artist B/Album 2/");
        f.convert(0);
        QStringList expected, made;
        for (const QString &track : tracks) {
            expected << track.left(track.lastIndexOf('.')) + ".mp3";
            if (codecOf(f.out + expected.last()) == "mp3")
                made << expected.last();
        }
        QCOMPARE(made, expected);
        for (int row = 0; row < f.jobs.count(); ++row)
            QCOMPARE(f.jobs.status(row), QString("Finished"));
        QVERIFY2(f.messages().isEmpty(), qPrintable(f.messages().join('|')));
    }

    void cancelDuringTheSecondOfThree()
    {
        Window f;
        f.set(Ini::Output::DeleteSource, "1");
        f.w->Timer1->start(3600 * 1000); // a slow machine's run outlasts the 4 s
        f.add({"a.mp3", "b.mp3", "c.mp3"}, 3);
        QDir().mkpath(f.out);
        TestEnv::writeFile(f.out + "b.wav", "an older output");
        int walked = 0;
        f.onConverting([&](const QString &) { ++walked; });
        f.onConverting([&f](const QString &now) {
            if (now == "b.mp3") // clicked while the file converts
                f.w->cmdConvert->click();
        });
        f.convert(3);

        QCOMPARE(walked, 2); // the click started no second walk
        QCOMPARE(TestEnv::files(f.out), QStringList({"a.wav", "b.wav"}));
        QCOMPARE(TestEnv::readFile(f.out + "b.wav"), QByteArray("an older output"));
        QCOMPARE(f.row("a.mp3") + f.row("b.mp3") + f.row("c.mp3"), QString("FinishedReady+Ready+"));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 2"));
        QVERIFY(f.messages().isEmpty());
        QVERIFY(!f.w->Timer1->isActive()); // a cancelled run shuts nothing down
    }

    void fullDiskFailsTheFile()
    {
        QTemporaryDir dir;
        TmpfsMount disk(dir.path(), 256 * 1024);
        TWR_SKIP_UNLESS_MOUNTED(disk);
        Window f;
        f.w->txtFolder->setText(dir.path() + '/');
        const QString source = f.add({"long.mp3"}, 30)[0];
        const QByteArray old(64 * 1024, 'o');
        TestEnv::writeFile(dir.filePath("long.wav"), old);
        f.convert(3);

        QCOMPARE(TestEnv::files(dir.path()), QStringList({"long.wav"})); // no temporary file
        QCOMPARE(TestEnv::readFile(dir.filePath("long.wav")), old);
        QCOMPARE(f.row("long.mp3"), QString("Failed+"));
        QVERIFY2(f.messages().value(0).contains(source +
                                                ": long.wav cannot be written: the disk is full"),
                 qPrintable(f.messages().value(0)));
    }

    // The run keeps the output folder it started with: a folder typed meanwhile is for the
    // next run, and no folder is made from half-typed text.
    void theRunKeepsItsFolder()
    {
        Window f;
        f.add({"a.wav", "b.wav"});
        f.onConverting([&f](const QString &name) {
            if (name == "a.wav")
                f.w->txtFolder->setText(f.out + "q");
        });
        f.convert(3);
        QCOMPARE(TestEnv::files(f.out), QStringList({"a.wav", "b.wav"}));
        QVERIFY(!QFileInfo::exists(f.out + "q"));
        QCOMPARE(f.row("a.wav") + f.row("b.wav"), QString("FinishedFinished"));
    }

    // Two and four files at once: rows start in list order, each row in progress shows its
    // own bar, the questions come one at a time, and every file ends as it should.
    void severalFilesAtOnce_data()
    {
        QTest::addColumn<int>("workers");
        QTest::newRow("two") << 2;
        QTest::newRow("four") << 4;
    }
    void severalFilesAtOnce()
    {
        QFETCH(int, workers);
        Window f;
        f.w->options().general->spnJobs->setValue(workers);
        f.set(Ini::Output::Overwrite, "0");
        f.add({"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}, 3);
        QDir().mkpath(f.out);
        for (const char *kept : {"b.mp3", "d.mp3"})
            TestEnv::writeFile(f.out + kept, "an older output");
        f.platform->messageAnswers << MessageAnswer::No << MessageAnswer::No;
        int most = 0;
        QStringList started;
        f.onConverting([&](const QString &name) { started << name; });
        connect(&f.jobs, &JobListModel::dataChanged, [&] {
            int converting = 0;
            for (int r = 0; r < f.jobs.count(); ++r)
                converting += f.jobs.index(r, int(JobColumn::Status))
                                  .data(JobListModel::ProgressRole)
                                  .isValid();
            most = std::max(most, converting);
        });
        f.w->cmdConvert->click();
        QCOMPARE(most, workers); // as many bars as workers at once, from the start
        f.waitForTheEnd();

        QCOMPARE(started, QStringList({"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}));
        QCOMPARE(f.messages().size(), 2);
        for (const char *kept : {"b.mp3", "d.mp3"})
            QCOMPARE(TestEnv::readFile(f.out + kept), QByteArray("an older output"));
        for (const char *made : {"a.mp3", "c.mp3", "e.mp3"})
            QCOMPARE(codecOf(f.out + made), QString("mp3"));
        for (const char *name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"})
            QCOMPARE(f.row(name), QString("Finished"));
        QCOMPARE(f.panel(4), QString("Status: Idle"));
        QCOMPARE(f.w->ProgressConvert2->value(), 0);
    }

    // Cancel stops every worker: the rows in progress go back to "Ready" with their ticks,
    // nothing partial is left and an older output stays as it was.
    void cancelStopsEveryWorker()
    {
        Window f;
        f.w->options().general->spnJobs->setValue(2);
        f.add({"a.wav", "b.wav", "c.wav"}, 20);
        QDir().mkpath(f.out);
        TestEnv::writeFile(f.out + "b.ogg", "an older output");
        f.set(Ini::Output::Overwrite, "1");
        f.w->outputformat[2]->setChecked(true);
        f.w->cmdConvert->click();
        QCOMPARE(f.row("a.wav") + f.row("b.wav"), QString("Converting+Converting+"));
        f.w->cmdConvert->click();
        f.waitForTheEnd();

        QCOMPARE(TestEnv::files(f.out), QStringList({"b.ogg"}));
        QCOMPARE(TestEnv::readFile(f.out + "b.ogg"), QByteArray("an older output"));
        QCOMPARE(f.row("a.wav") + f.row("b.wav") + f.row("c.wav"), QString("Ready+Ready+Ready+"));
        QVERIFY(f.messages().isEmpty());
    }

    void closeDuringARunCancelsAndWaits()
    {
        Window f;
        f.add({"a.mp3", "b.mp3"}, 3);
        f.w->show();
        f.w->outputformat[3]->setChecked(true);
        f.w->cmdConvert->click(); // the run goes on after the click
        QVERIFY(!f.w->close());   // asks the run to stop and waits for it
        QVERIFY(f.w->Reader && f.w->Writer);
        QTRY_VERIFY_WITH_TIMEOUT(!f.w->Reader && !f.w->Writer && !f.w->AudioPlayer, 60000);
        QVERIFY(!f.w->isVisible());
        // The second file never started, and nothing half written is left.
        QVERIFY(TestEnv::files(f.out).isEmpty() || TestEnv::files(f.out) == QStringList{"a.wav"});
    }

    // The menu's and the popup's entries: each picks its format and converts, except while a
    // file plays. (Tags reaching every format are the conversion job's tests'.)
    void convertEntriesPickTheirFormat()
    {
        const QList<std::tuple<QString, int, QString>> entries{
            {"tomp3", 0, "mp3"},       {"ctw", 1, "wmav2"},   {"toogg", 2, "vorbis"},
            {"ctwav", 3, "pcm_s16le"}, {"toflac", 4, "flac"}, {"ctopus", 5, "opus"},
            {"tom4a", 6, "aac"}};
        for (const auto &[entry, button, codec] : entries) {
            Window f;
            f.add({"song.mp3"});
            f.w->outputformat[button == 0 ? 3 : 0]->setChecked(true);
            f.w->jobList().focus().CurrentFile = f.media.filePath("song.mp3");
            f.w->playback().PlaySource();
            QVERIFY(f.w->playback().isPlaying());
            f.activate(entry); // ignored while a file plays
            QVERIFY(!f.w->outputformat[button]->isChecked() && !f.w->conversionRun().isActive());
            f.w->playback().StopPlayback();
            f.activate(entry);
            f.waitForTheEnd();

            QVERIFY(f.w->outputformat[button]->isChecked());
            QCOMPARE(codecOf(f.out + TestEnv::files(f.out).value(0)), codec);
        }
    }
};

QTEST_MAIN(tst_ConversionRun)
#include "tst_conversionrun.moc"
