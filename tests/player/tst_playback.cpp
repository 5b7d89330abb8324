// Playback with real widgets, the engine's reader and SDL's disk driver, which writes what was
// played to a file that is compared with the decoded source; then on the real main window.
#include "engine/converter.h"
#include "joblist/joblistcommands.h"
#include "joblist/joblistmodel.h"
#include "joblist/listfocus.h"
#include "player/audioplayer.h"
#include "player/playback.h"
#include "player/playposition.h"
#include "ui/statusbar.h"

#include "tests/support/fixedoptions.h"
#include "tests/support/fixture.h"
#include "tests/support/loadedwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Rig
{
    explicit Rig(const QByteArray &driver, const QString &out = {})
    {
        qputenv("SDL_AUDIODRIVER", driver);
        qputenv("SDL_DISKAUDIODELAY", "46"); // half speed: slack for a busy machine
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(out));
        player = std::make_unique<AudioPlayer>();
        slider.setRange(0, 100);
        const std::vector<QAbstractButton *> buttons{&formats[0], &formats[1], &formats[2],
                                                     &formats[3]};
        p = std::make_unique<Playback>(
            PlaybackWidgets{jobs, window, bar, folder, play, pause, convert, slider, left, left0,
                            right, right0, convertmenu, playmenu, pauseEntry, pauseaEntry, buttons},
            focus, reader, *player, options);
        QObject::connect(p.get(), &Playback::popupRequested, [this] { ++popups; });
    }
    // Adds a row for `path`; its number.
    int add(const QString &path, bool checked = true)
    {
        jobs.AddJobRow(QFileInfo(path).fileName(), "", "", QFileInfo(path).path(), folder.text());
        jobs.setChecked(jobs.count() - 1, checked);
        return jobs.count();
    }
    void select(int row)
    {
        focus.intCurItem = row;
        focus.CurrentFile = jobs.fullPath(row - 1);
    }
    QString status(int row) const { return jobs.status(row - 1); }

    TestPlatform *platform = TestPlatform::install();
    QWidget window;
    StatusBar bar{&window};
    QLineEdit folder{"/out/", &window};
    QPushButton play{&window}, pause{&window}, convert{&window};
    QSlider slider{Qt::Horizontal, &window};
    QProgressBar left{&window}, left0{&window}, right{&window}, right0{&window};
    QMenu convertmenu, playmenu;
    QAction pauseEntry{"Pause"}, pauseaEntry{"Pause"};
    JobListModel jobs;
    ListFocus focus;
    Converter reader;
    QRadioButton formats[4]; // MP3, WMA, OGG, WAV
    std::unique_ptr<AudioPlayer> player;
    FixedOptions options;
    std::unique_ptr<Playback> p;
    int popups = 0;
};

// The window as Stop leaves it.
void verifyIdle(const Rig &r)
{
    QVERIFY(!r.p->isPlaying());
    QVERIFY(r.convert.isEnabled() && r.convertmenu.isEnabled() && r.play.isEnabled());
    QCOMPARE(r.bar.panelText(4), QString("Status: Idle"));
    QCOMPARE(r.pause.text() + r.pauseEntry.text() + r.pauseaEntry.text(), "PausePausePause");
}

// The samples of raw float output that are not silence.
QByteArray sound(const QByteArray &pcm)
{
    QByteArray out;
    for (qsizetype i = 0; i + 4 <= pcm.size(); i += 4)
        if (pcm.mid(i, 4) != QByteArray(4, '\0'))
            out += pcm.mid(i, 4);
    return out;
}

} // namespace

class tst_Playback : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_noise;  // 4 s of stereo float noise: every position can be recognised
    QByteArray m_pcm; // its samples, decoded by ffmpeg

private slots:
    void initTestCase()
    {
        m_noise = Fixture::make(m_dir.path(), "noise.wav",
                                {"-f", "lavfi", "-i", "anoisesrc=d=4:a=0.5:seed=7", "-ar", "44100",
                                 "-ac", "2", "-c:a", "pcm_f32le"});
        m_pcm = sound(Fixture::decode(m_noise));
        QVERIFY(QFile::copy(m_noise, m_dir.filePath("other.wav")));
    }

    // Played to the end, paused after 1 s and continued; 0.5 s later the slider, held for four
    // ticks, is released at 50.
    void pauseThenSeek()
    {
        const QString file = m_dir.filePath("seek.raw");
        QStringList whilePaused;
        int held = 0, afterSeek = -1;
        bool moved = false;
        qint64 pausedAt = 0;
        {
            Rig r("disk", file);
            r.select(r.add(m_noise));
            QObject::connect(r.player.get(), &AudioPlayer::Timer, [&](qint64 count) {
                if (pausedAt == 0 && count >= 44100) {
                    r.p->PauseOrContinue();
                    pausedAt = count;
                    QTest::mousePress(&r.play, Qt::LeftButton); // Play is off: no popup
                    whilePaused << r.pause.text() << r.pauseEntry.text() << r.pauseaEntry.text()
                                << r.status(1) << QString::number(r.popups) << r.bar.panelText(1);
                    QTimer::singleShot(300, [&r] { r.p->PauseOrContinue(); });
                } else if (pausedAt > 0 && held == 0 && count > 22050) {
                    QTest::mousePress(&r.slider, Qt::RightButton);
                    r.slider.setValue(50);
                    held = 1;
                } else if (held > 0 && held < 5) {
                    moved |= r.slider.value() != 50;
                    if (++held == 5)
                        QTest::mouseRelease(&r.slider, Qt::RightButton);
                } else if (held == 5 && afterSeek < 0) {
                    afterSeek = r.slider.value();
                }
            });
            r.p->PlaySource();
            QTRY_VERIFY_WITH_TIMEOUT(!r.p->isPlaying(), 60000);
            verifyIdle(r);
            QCOMPARE(r.status(1), QString("Ready"));
        }
        const QByteArray played = sound(TestEnv::readFile(file));
        QCOMPARE(whilePaused,
                 QStringList({"Continue", "Continue", "Continue", "Pause", "0", m_noise}));
        QVERIFY(held == 5 && !moved);
        // The played count starts again at the target, not where the seek began.
        QVERIFY2(afterSeek >= 50 && afterSeek < 56, qPrintable(QString::number(afterSeek)));
        // Without a gap or a repeat at the pause, the start of the source until the release;
        // then its second half.
        const QByteArray secondHalf = m_pcm.mid(m_pcm.size() / 2);
        QVERIFY(played.endsWith(secondHalf));
        const QByteArray head = played.chopped(secondHalf.size());
        QVERIFY(head.size() > (pausedAt + 22050) * 8 && head.size() < m_pcm.size() / 2);
        QVERIFY(m_pcm.startsWith(head));
    }

    // Stop lets the sound device go: the disk driver's file stops growing. Without a device the
    // window is left as after Stop, with a message naming the file and the driver.
    void stopClosesTheDeviceAndNoDeviceIsIdle()
    {
        const QString file = m_dir.filePath("stop.raw");
        {
            Rig r("disk", file);
            r.select(r.add(m_noise));
            r.p->PlaySource();
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > 0, 10000);
            r.p->StopPlayback();
            QTest::qWait(100);
            const qint64 stopped = QFileInfo(file).size();
            QTest::qWait(400);
            QCOMPARE(QFileInfo(file).size(), stopped);
        }
        Rig r("no-such-driver");
        r.select(r.add(m_noise));
        r.p->PlaySource();
        verifyIdle(r);
        QCOMPARE(r.status(1), QString("Ready"));
        const QString box = PlatformCalls::messages(*r.platform).value(0);
        QVERIFY2(box.contains(m_noise) && box.contains("no-such-driver"), qPrintable(box));

        // Ten hours at 192 kHz in 8-byte frames: the seconds and the slider do not overflow.
        r.player->SetFormat(192000, 8);
        const qint64 tenHours = qint64(192000) * 36000;
        r.p->ShowProgress(tenHours, 40, 100);
        QCOMPARE(r.bar.panelText(4), QString("Second: 36000"));
        QCOMPARE(PlayPosition::percent(tenHours / 2, tenHours), 50);
        QCOMPARE(PlayPosition::seekTarget(50, tenHours), tenHours / 2);
    }

    // Row, converted into its source folder, the output format → the file played or looked
    // for in vain, and whether it is there.
    void playConverted()
    {
        const QList<std::tuple<QString, bool, QString, QString, bool>> cases{
            {"x.MP3", false, "OGG", "out/x.ogg", false},
            {"track.flac", false, "OGG", "out/track.ogg", true},
            {"x.wav", true, "WAV", "src/x_back.wav", true}};
        for (const auto &[row, intoSource, format, expected, present] : cases) {
            QTemporaryDir dir;
            QVERIFY(QDir(dir.path()).mkpath("src") && QDir(dir.path()).mkpath("out"));
            Rig r("dummy");
            r.options.intoSourceFolder = intoSource;
            // Playing, ticked or not, when the converted file is asked for.
            r.add(m_noise, intoSource);
            TestEnv::writeFile(dir.filePath("src/" + row), "source");
            r.jobs.AddJobRow(row, "", "", dir.filePath("src"),
                             dir.filePath(intoSource ? "src" : "out"));
            const QString path = dir.filePath(expected);
            QVERIFY(QFile::copy(m_noise, present ? path : dir.filePath("out/" + row + ".ogg")));
            r.formats[QStringList({"MP3", "WMA", "OGG", "WAV"}).indexOf(format)].setChecked(true);
            r.select(1);
            r.p->PlaySource();
            r.select(2);
            r.p->PlayConverted();
            QCOMPARE(r.status(1), QString(intoSource ? "Ready" : "Waitting"));
            QCOMPARE(r.p->isPlaying(), present);
            QCOMPARE(r.bar.panelText(1), present ? path : QString("Save to '/out/'"));
            const QString message =
                "This file hasn't been converted, please convert it at first!   \n\n" + path;
            QCOMPARE(r.platform->callsOf("messageBox").value(0).args.mid(0, 2),
                     present ? QStringList() : QStringList({message, "Playing File"}));
        }
    }

    void pauseStopPlayAnotherSortStop()
    {
        Rig r("dummy");
        r.add(m_noise);
        r.select(r.add(m_dir.filePath("other.wav")));
        r.p->PlaySource();
        r.p->PauseOrContinue();
        r.p->StopPlayback();
        verifyIdle(r);
        r.select(1);
        r.p->PlaySource();
        r.p->PauseOrContinue();
        QCOMPARE(r.status(1) + r.status(2), QString("PauseReady"));

        // Stop finds the playing row where sorting put it; a row converted since keeps its word.
        r.jobs.setStatus(1, "Finished");
        r.jobs.setSorting(int(JobColumn::Name), Qt::DescendingOrder, true);
        r.p->StopPlayback();
        QCOMPARE(r.status(1) + r.status(2), QString("FinishedReady"));

        // Releasing the slider at the end leaves nothing to play.
        r.p->PlaySource();
        QTest::mousePress(&r.slider, Qt::RightButton);
        r.slider.setValue(100);
        QTest::mouseRelease(&r.slider, Qt::RightButton);
        verifyIdle(r);
    }

    void mainWindowEntriesReachThePlayer()
    {
        qputenv("SDL_AUDIODRIVER", "dummy");
        LoadedWindow f;
        frmDialog &w = *f.w;
        w.jobs->AddJobRow("noise.wav", "", "", m_dir.path(), w.txtFolder->text());
        w.jobList().focus().intCurItem = 1;
        w.jobList().focus().CurrentFile = m_noise;
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            QTest::mousePress(w.cmdPlay, button); // any button opens the popup
            QVERIFY(w.playmenu->isVisible());
            w.playmenu->close();
        }
        QStringList seen;
        for (const char *name : {"playsource", "pausea", "cmdPause", "stop", "playa", "pause",
                                 "cmdStop", "play", "stopa"}) {
            f.activate(name);
            // Converting is refused while a file plays and works again after Stop.
            seen << w.jobs->status(0) + (w.cmdConvert->isEnabled() ? "" : " convert off") +
                        (w.convertmenu->menuAction()->isEnabled() ? "" : " menu off");
        }
        const QString on = "Playing convert off menu off", off = "Pause convert off menu off";
        QCOMPARE(seen, QStringList({on, off, on, "Ready", on, off, "Ready", on, "Ready"}));
    }
};

QTEST_MAIN(tst_Playback)
#include "tst_playback.moc"
