// Playback with real widgets, the engine's reader and SDL's disk driver, which writes what was
// played to a file that is compared with the decoded source.
#include "app/mainstate.h"
#include "engine/converter.h"
#include "joblist/joblistmodel.h"
#include "options/outputoptions.h"
#include "player/audioplayer.h"
#include "player/playback.h"
#include "player/playposition.h"
#include "ui/statusbar.h"

#include "tests/support/audiofixtures.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr qsizetype FrameBytes = 8; // stereo float

struct SourceFolderOption : OutputOptions
{
    bool intoSource = false;
    QString outputFolder() override { return {}; }
    bool convertIntoSourceFolder() override { return intoSource; }
    bool openFolderAfterRun() override { return false; }
};

// The driver is chosen when the player is made, so this member comes before it.
struct Driver
{
    Driver(const QByteArray &name, const QString &file)
    {
        qputenv("SDL_AUDIODRIVER", name);
        qputenv("SDL_DISKAUDIODELAY", "46"); // half speed: slack for a busy machine
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(file));
    }
};

struct Rig
{
    explicit Rig(const QString &out, const QByteArray &driver = "disk")
        : driver(driver, out)
    {
        for (QProgressBar *bar : {&left, &left0, &right, &right0})
            bar->setRange(0, 600);
        slider.setRange(0, 100);
        slider.resize(200, 20);
        connect();
    }
    void connect()
    {
        p = std::make_unique<Playback>(
            PlaybackWidgets{jobs, window, bar, folder, play, pause, convert, slider, left, left0,
                            right, right0, convertmenu, playmenu, pauseEntry, pauseaEntry},
            state, reader, writer, player, options);
        QObject::connect(p.get(), &Playback::popupRequested,
                         [this](QMenu *menu, const QPoint &at) { popups << qMakePair(menu, at); });
    }
    void add(const QString &path, bool checked = true)
    {
        const QFileInfo info(path);
        jobs.AddJobRow(info.fileName(), "", "", info.path(), folder.text());
        jobs.setChecked(jobs.count() - 1, checked);
    }
    void select(int row)
    {
        state.intCurItem = row;
        state.CurrentFile = jobs.fullPath(row - 1);
    }
    bool waitStopped()
    {
        QElapsedTimer t;
        t.start();
        while (state.IsPlaying && t.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !state.IsPlaying;
    }
    QString status(int row) const { return jobs.status(row - 1); }

    TestPlatform *platform = TestPlatform::install();
    Driver driver;
    QWidget window;
    StatusBar bar{&window};
    QLineEdit folder{"/out/", &window};
    QPushButton play{&window}, pause{&window}, convert{&window};
    QSlider slider{Qt::Horizontal, &window};
    QProgressBar left{&window}, left0{&window}, right{&window}, right0{&window};
    QMenu convertmenu, playmenu;
    QAction pauseEntry{"Pause"}, pauseaEntry{"Pause"};
    JobListModel jobs;
    MainState state;
    Converter reader, writer;
    AudioPlayer player;
    SourceFolderOption options;
    std::unique_ptr<Playback> p;
    QList<QPair<QMenu *, QPoint>> popups;
};

QStringList captions(const Rig &r)
{
    return {r.pause.text(), r.pauseEntry.text(), r.pauseaEntry.text()};
}

// The window as Stop leaves it.
void verifyIdle(const Rig &r)
{
    QVERIFY(!r.state.IsPlaying);
    QVERIFY(r.convert.isEnabled() && r.convertmenu.isEnabled() && r.play.isEnabled());
    QCOMPARE(r.bar.panelText(4), QString("Status: Idle"));
    QVERIFY(r.left0.isVisibleTo(&r.window) && !r.left.isVisibleTo(&r.window));
    QCOMPARE(captions(r), QStringList(3, "Pause"));
}

// Sound in the device output, without the silence around it: before and after the first
// silent stretch inside it (silence where the output waited).
QPair<QByteArray, QByteArray> aroundSilence(const QByteArray &out)
{
    const auto silentAt = [&](qsizetype i) {
        return out.mid(i, 4) == QByteArray(4, '\0');
    };
    qsizetype start = 0;
    qsizetype end = out.size();
    while (start < end && silentAt(start))
        start += 4;
    while (end > start && silentAt(end - 4))
        end -= 4;
    qsizetype gap = out.indexOf(QByteArray(FrameBytes * 64, '\0'), start);
    gap = gap < 0 ? end : gap;
    qsizetype resume = gap;
    while (resume < end && silentAt(resume))
        resume += 4;
    return {out.mid(start, gap - start), out.mid(resume, end - resume)};
}

} // namespace

class tst_Playback : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_noise; // 2 s of stereo float noise: every position can be recognised
    QByteArray m_pcm;
    int m_run = 0;
    QString out() { return m_dir.filePath(QString("out%1.raw").arg(++m_run)); }

private slots:
    void initTestCase()
    {
        m_noise = Fixture::make(m_dir.path(), "noise.wav",
                                {"-f", "lavfi", "-i", "anoisesrc=d=2:a=0.5:seed=7", "-ar", "44100",
                                 "-ac", "2", "-c:a", "pcm_f32le"});
        m_pcm = AudioFixtures::decode(m_noise);
        QVERIFY(m_pcm.size() > 44100 * FrameBytes);
        QVERIFY(QFile::copy(m_noise, m_dir.filePath("other.wav")));
    }

    void playsTheSourceToTheEnd()
    {
        const QString file = out();
        {
            Rig r(file);
            r.add(m_noise);
            r.select(1);
            QStringList seconds;
            QObject::connect(&r.player, &AudioPlayer::Timer, [&] {
                seconds << r.bar.panelText(4);
                QVERIFY(r.left.isVisibleTo(&r.window) && !r.left0.isVisibleTo(&r.window));
            });
            r.p->PlaySource();
            QVERIFY(r.state.IsPlaying);
            QCOMPARE(r.status(1), QString("Playing"));
            QCOMPARE(r.bar.panelText(1), m_noise);
            QVERIFY(!r.convert.isEnabled() && !r.convertmenu.isEnabled());
            QVERIFY(r.waitStopped());
            verifyIdle(r);
            QCOMPARE(r.status(1), QString("Ready"));
            QCOMPARE(r.bar.panelText(1), QString("Save to '/out/'"));
            QVERIFY2(seconds.contains("Second: 1"), qPrintable(seconds.join(',')));
        }
        QVERIFY(aroundSilence(Fixture::readAll(file)).first == m_pcm);
    }

    void pauseContinuesWhereItPaused()
    {
        const QString file = out();
        {
            Rig r(file);
            r.add(m_noise);
            r.select(1);
            QStringList whilePaused;
            QObject::connect(&r.player, &AudioPlayer::Timer, [&](qint64 count) {
                if (!whilePaused.isEmpty() || count < 44100)
                    return;
                r.p->PauseOrContinue();
                QTest::mousePress(&r.play, Qt::LeftButton); // no popup while paused
                whilePaused = captions(r) << r.status(1) << QString::number(r.popups.size());
                QTimer::singleShot(300, [&r] { r.p->PauseOrContinue(); });
            });
            r.p->PlaySource();
            QVERIFY(r.waitStopped());
            QCOMPARE(whilePaused, QStringList({"Continue", "Continue", "Continue", "Pause", "0"}));
        }
        const auto [before, after] = aroundSilence(Fixture::readAll(file));
        QVERIFY(before.size() >= 44100 * FrameBytes);
        QVERIFY(before + after == m_pcm);
    }

    void releasingTheSliderSeeks()
    {
        const QString file = out();
        const qsizetype half = m_pcm.size() / FrameBytes / 2 * FrameBytes;
        {
            Rig r(file);
            r.add(m_noise);
            r.select(1);
            int heldTicks = 0;
            bool moved = false;
            QPoint handle;
            QObject::connect(&r.player, &AudioPlayer::Timer, [&](qint64 count) {
                if (r.slider.isSliderDown()) {
                    moved |= r.slider.value() != 50;
                    if (++heldTicks == 4)
                        QTest::mouseRelease(&r.slider, Qt::LeftButton, {}, handle);
                }
                if (heldTicks > 0 || count == 0)
                    return;
                QStyleOptionSlider o;
                o.initFrom(&r.slider);
                o.maximum = 100;
                o.sliderPosition = r.slider.value();
                handle =
                    r.slider.style()
                        ->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, &r.slider)
                        .center();
                QTest::mousePress(&r.slider, Qt::LeftButton, {}, handle);
                r.slider.setValue(50);
            });
            r.p->PlaySource();
            QVERIFY(r.waitStopped());
            QCOMPARE(heldTicks, 4);
            QVERIFY(!moved);
        }
        // What played before the release is the start of the source; then the second half.
        const auto [sound, rest] = aroundSilence(Fixture::readAll(file));
        const QByteArray played = sound + rest;
        QVERIFY(played.endsWith(m_pcm.mid(half)));
        const QByteArray head = played.chopped(m_pcm.size() - half);
        QVERIFY(!head.isEmpty() && head.size() < half && m_pcm.startsWith(head));
    }

    void releasedAtTheEndStops()
    {
        Rig r(out(), "dummy");
        r.add(m_noise);
        r.select(1);
        r.p->PlaySource();
        QTest::mousePress(&r.slider, Qt::RightButton);
        r.slider.setValue(100);
        QTest::mouseRelease(&r.slider, Qt::RightButton);
        verifyIdle(r);
        QCOMPARE(r.status(1), QString("Ready"));
    }

    void meters_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("length");
        QTest::newRow("silent still shows a step") << 0 << 12;
        QTest::newRow("40") << 40 << 12;
        QTest::newRow("43") << 43 << 30;
        QTest::newRow("100 fills the bar") << 100 << 600;
    }

    void meters()
    {
        QFETCH(int, level);
        QFETCH(int, length);
        Rig r(out(), "dummy");
        r.p->ShowProgress(0, level, level);
        QCOMPARE(r.left.value(), length);
        QCOMPARE(r.right.value(), length);
        QVERIFY(r.right.isVisibleTo(&r.window) && !r.right0.isVisibleTo(&r.window));
    }

    void tenHoursAt192kHz()
    {
        Rig r(out(), "dummy");
        r.player.SetFormat(192000, FrameBytes);
        const qint64 tenHours = qint64(192000) * 36000;
        r.p->ShowProgress(tenHours, 50, 50);
        QCOMPARE(r.bar.panelText(4), QString("Second: 36000"));
        QCOMPARE(PlayPosition::percent(tenHours / 2, tenHours), 50);
        QCOMPARE(PlayPosition::seekTarget(50, tenHours), tenHours / 2);
        QCOMPARE(PlayPosition::seekTarget(50, 2000000), 1000000);
    }

    void playConverted_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("intoSource");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("present");  // made in the row's "Save to..." folder
        QTest::addColumn<QString>("expected"); // played, or looked for in vain
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("firstChecked");
        QTest::newRow("missing") << "x.MP3" << false << "OGG"
                                 << "out/x.MP3.ogg"
                                 << "out/x.ogg" << false << true;
        QTest::newRow("last extension") << "track.flac" << false << "OGG"
                                        << "out/track.ogg"
                                        << "out/track.ogg" << true << false;
        QTest::newRow("source folder, own name") << "x.wav" << true << "WAV"
                                                 << "src/x_back.wav"
                                                 << "src/x_back.wav" << true << true;
    }

    void playConverted()
    {
        QFETCH(QString, row);
        QFETCH(bool, intoSource);
        QFETCH(QString, format);
        QFETCH(QString, present);
        QFETCH(QString, expected);
        QFETCH(bool, found);
        QFETCH(bool, firstChecked);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("src") && QDir(dir.path()).mkpath("out"));
        Rig r(out(), "dummy");
        r.options.intoSource = intoSource;
        r.folder.setText(dir.filePath("out/"));
        r.add(m_noise, firstChecked);
        TestEnv::writeFile(dir.filePath("src/" + row), "source");
        r.jobs.AddJobRow(row, "", "", dir.filePath("src"),
                         dir.filePath(intoSource ? "src" : "out"));
        QVERIFY(QFile::copy(m_noise, dir.filePath(present)));
        r.bar.setPanelText(3, "Output Format: " + format);

        r.select(1);
        r.p->PlaySource();
        r.select(2);
        r.p->PlayConverted(); // the first row stops and shows its tick again
        QCOMPARE(r.status(1), QString(firstChecked ? "Ready" : "Waitting"));
        QCOMPARE(r.state.IsPlaying, found);
        const QString path = dir.filePath(expected);
        QCOMPARE(r.bar.panelText(1), found ? path : "Save to '" + r.folder.text() + "'");
        QStringList texts;
        for (const PlatformCall &call : r.platform->callsOf("messageBox"))
            texts << call.args.mid(0, 2).join('|');
        QCOMPARE(texts, found ? QStringList()
                              : QStringList(Playback::NotConvertedMessage + QString("\n\n") + path +
                                            "|Playing File"));
    }

    void pauseStopThenPlayAnother()
    {
        Rig r(out(), "dummy");
        r.add(m_noise);
        r.add(m_dir.filePath("other.wav"));
        r.select(2);
        r.p->PlaySource();
        r.p->PauseOrContinue();
        r.p->StopPlayback();
        verifyIdle(r);
        r.select(1);
        r.p->PlaySource();
        r.p->PauseOrContinue();
        QVERIFY(r.state.paused);
        QCOMPARE(r.status(1), QString("Pause"));
        QCOMPARE(r.status(2), QString("Ready"));

        // The playing row is followed when the list is sorted; a row converted since keeps
        // its word when Stop is pressed again.
        r.jobs.setStatus(1, "Finished");
        r.jobs.setSorting(int(JobColumn::Name), Qt::DescendingOrder, true);
        r.p->StopPlayback();
        QCOMPARE(r.jobs.status(0), QString("Finished"));
        QCOMPARE(r.jobs.status(1), QString("Ready"));
        r.jobs.setStatus(1, "Finished");
        r.p->StopPlayback();
        QCOMPARE(r.jobs.status(1), QString("Finished"));
    }

    void noDeviceLeavesTheWindowAsAfterStop()
    {
        Rig r(out(), "no-such-driver");
        r.add(m_noise);
        r.select(1);
        r.p->PlaySource();
        verifyIdle(r);
        QCOMPARE(r.status(1), QString("Ready"));
        const QStringList box = r.platform->callsOf("messageBox").value(0).args;
        QCOMPARE(box.value(1), QString("Playing File"));
        QVERIFY2(box.value(0).contains(m_noise) && box.value(0).contains("no-such-driver"),
                 qPrintable(box.value(0)));
    }

    void popupBelowThePlayButton_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void popupBelowThePlayButton()
    {
        QFETCH(Qt::MouseButton, button);
        Rig r(out(), "dummy");
        r.play.setGeometry(40, 30, 70, 24);
        QSignalSpy clicked(&r.play, &QPushButton::clicked);
        QTest::mouseClick(&r.play, button);
        QCOMPARE(r.popups.size(), 1);
        QCOMPARE(r.popups[0].first, &r.playmenu);
        const QPoint corner = r.play.mapToGlobal(QPoint(0, 0));
        const QPoint d = r.popups[0].second - corner;
        QVERIFY2(d.x() > 0 && d.x() < 20 && d.y() >= 24 && d.y() < 30,
                 qPrintable(QString("%1,%2").arg(d.x()).arg(d.y())));
        QCOMPARE(clicked.count(), 0);
    }
};

QTEST_MAIN(tst_Playback)
#include "tst_playback.moc"
