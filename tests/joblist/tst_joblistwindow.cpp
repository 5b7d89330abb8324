// The job list commands on the real main window, with real audio files read by the engine.
#include "app/frmdialog.h"
#include "joblist/formatting.h"
#include "joblist/joblistmodel.h"
#include "options/frmoption.h"
#include "ui/statusbar.h"

#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>

class tst_JobListWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_media;
    QString m_short;   // 7.5 s WAV
    QString m_long;    // 125 s MP3
    QString m_corrupt; // named .mp3, holds text

    bool makeAudio(const QString &path, const QString &seconds, const QStringList &codec)
    {
        const QStringList args = QStringList{"-v",
                                             "error",
                                             "-y",
                                             "-f",
                                             "lavfi",
                                             "-i",
                                             "sine=frequency=440:duration=" + seconds,
                                             "-ac",
                                             "1",
                                             "-ar",
                                             "8000"} +
                                 codec + QStringList{path};
        return TestEnv::run("ffmpeg", args) == 0 && QFileInfo(path).size() > 0;
    }

    struct Window
    {
        TestConfigDir config;
        TestPlatform *platform = TestPlatform::install();
        std::unique_ptr<frmDialog> w = std::make_unique<frmDialog>();

        Window() { w->Form_Load(); }
        void trigger(const char *action)
        {
            auto *a = w->findChild<QAction *>(action);
            QVERIFY2(a, action);
            a->trigger();
        }
        QString panel2() const { return w->StatusBar1->panelText(2); }
    };

private slots:
    void initTestCase()
    {
        m_short = m_media.filePath("short.wav");
        m_long = m_media.filePath(QString::fromUtf8("d\xC3\xA9j\xC3\xA0/long.mp3"));
        QDir().mkpath(QFileInfo(m_long).absolutePath());
        QVERIFY(makeAudio(m_short, "7.5", {"-c:a", "pcm_s16le"}));
        QVERIFY(makeAudio(m_long, "125", {"-c:a", "libmp3lame", "-b:a", "8k"}));
        m_corrupt = m_media.filePath(QString::fromUtf8("d\xC3\xA9j\xC3\xA0/corrupt.mp3"));
        QFile corrupt(m_corrupt);
        QVERIFY(corrupt.open(QIODevice::WriteOnly));
        corrupt.write("this is not audio at all");
    }

    void buttonAddsEngineReadRows()
    {
        Window f;
        f.platform->openFilesAnswers << QStringList{m_short} << QStringList{m_corrupt, m_long};
        f.w->cmdOpenFile->click();
        f.w->cmdOpenFile->click();
        JobListModel &jobs = *f.w->jobs;
        QCOMPARE(jobs.count(), 2); // the unreadable file has no row
        QCOMPARE(jobs.text(0, JobColumn::Length), QString("00:00:7"));
        QCOMPARE(jobs.text(0, JobColumn::Size), FormatSize(QFileInfo(m_short).size()));
        QCOMPARE(jobs.text(1, JobColumn::Length), QString("00:02:05"));
        QCOMPARE(jobs.fullPath(1), m_long);
        QCOMPARE(jobs.text(1, JobColumn::SaveTo), f.w->txtFolder->text());
        QCOMPARE(f.panel2(), QString("Total Selected Files: 2"));

        f.trigger("invert"); // the menu entries reach the list
        QCOMPARE(f.panel2(), QString("Total Selected Files: 0"));
    }

    void dropOnTheWindowsList()
    {
        Window f;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(m_corrupt), QUrl::fromLocalFile(m_long)});
        QWidget *viewport = f.w->viewEvent->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(f.w->jobs->count(), 1);
        QCOMPARE(f.w->jobs->text(0, JobColumn::Length), QString("00:02:05"));
        QCOMPARE(f.panel2(), QString("Total Selected Files: 1"));
    }

    void sourceFolderOptionAndPlaylistRoundTrip()
    {
        Window f;
        f.w->options().chkOldfolder->setChecked(true);
        f.platform->openFilesAnswers << QStringList{m_long, m_short};
        f.trigger("addf");
        QCOMPARE(f.w->jobs->count(), 2);
        QCOMPARE(f.w->txtFolder->text(), QFileInfo(m_long).absolutePath());
        QCOMPARE(f.w->jobs->text(1, JobColumn::SaveTo), m_media.path());

        const QString list = m_media.filePath("saved.M3U");
        f.platform->saveFileAnswers << list;
        f.trigger("playlist");
        QCOMPARE(f.platform->callsOf("openDocument").value(0).args, QStringList{list});
        f.trigger("cleara");
        QCOMPARE(f.w->jobs->count(), 0);
        QCOMPARE(f.w->state().CurrentFile, QString());

        f.platform->openFilesAnswers << QStringList{list};
        f.trigger("add");
        QCOMPARE(f.w->jobs->fullPaths(), (QStringList{m_long, m_short}));
        QCOMPARE(f.w->jobs->text(0, JobColumn::Length), QString("00:2:05")); // plain form
    }
};

QTEST_MAIN(tst_JobListWindow)
#include "tst_joblistwindow.moc"
