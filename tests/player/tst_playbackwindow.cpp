// Playback on the real main window: its buttons, menu entries and popup reach the player.
#include "app/frmdialog.h"
#include "joblist/joblistmodel.h"
#include "ui/statusbar.h"

#include "tests/support/fixture.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class tst_PlaybackWindow : public QObject
{
    Q_OBJECT

private slots:
    void commandsReachThePlayer()
    {
        QTemporaryDir media;
        const QString tone = Fixture::tone(media.path(), "tone.wav", 20);
        QVERIFY(!tone.isEmpty());
        TestConfigDir config;
        TestPlatform::install();
        frmDialog w;
        w.Form_Load();
        w.jobs->AddJobRow("tone.wav", "", "", media.path(), w.txtFolder->text());
        w.state().intCurItem = 1;
        w.state().CurrentFile = tone;

        // Any button on Play opens its popup through the skin; its first entry plays.
        QTest::mousePress(w.cmdPlay, Qt::RightButton);
        QVERIFY(w.playmenu->isVisible());
        w.playmenu->close();
        const auto trigger = [&w](const char *name) {
            w.findChild<QAction *>(name)->trigger();
        };
        const auto shows = [&w](bool playing, const char *status, const char *pauseCaption) {
            QCOMPARE(w.state().IsPlaying, playing);
            QCOMPARE(w.jobs->status(0), QString(status));
            QCOMPARE(w.cmdPause->text(), QString(pauseCaption));
            // Converting is refused while a file plays and works again after Stop.
            QCOMPARE(w.cmdConvert->isEnabled(), !playing);
            QCOMPARE(w.convertmenu->menuAction()->isEnabled(), !playing);
        };
        trigger("playsource");
        shows(true, "Playing", "Pause");
        trigger("pausea");
        shows(true, "Pause", "Continue");
        w.cmdPause->click();
        shows(true, "Playing", "Pause");
        trigger("stop");
        shows(false, "Ready", "Pause");
        trigger("playa");
        shows(true, "Playing", "Pause");
        trigger("pause");
        w.cmdStop->click();
        shows(false, "Ready", "Pause");
        trigger("play");
        trigger("stopa");
        shows(false, "Ready", "Pause");
        QCOMPARE(w.StatusBar1->panelText(4), QString("Status: Idle"));
    }
};

QTEST_MAIN(tst_PlaybackWindow)
#include "tst_playbackwindow.moc"
