#include "joblistfixture.h"

#include "joblist/playlistfile.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

// Drops `paths` on the list as a file manager does.
bool dropOn(QTreeView *view, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at(view->viewport()->rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    if (!enter.isAccepted() || enter.dropAction() != Qt::CopyAction)
        return false;
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
    return drop.isAccepted();
}

} // namespace

class tst_AddFiles : public QObject
{
    Q_OBJECT

    TestConfigDir m_config;
    TestPlatform *m_platform = nullptr;

private slots:
    void init() { m_platform = TestPlatform::install(); }

    void cancelledDialogChangesNothing()
    {
        JobListFixture f;
        f.statusBar->setPanelText(2, "before");
        f.controller->addFiles();
        QCOMPARE(m_platform->count("openFiles"), 1);
        const PlatformCall call = m_platform->callsOf("openFiles").first();
        QCOMPARE(call.args.at(0), QString("Open Source files"));
        QCOMPARE(call.args.at(1),
                 QString("Wav files (*.wav)|*.wav|"
                         "MPEG files (*.mp3;*.mp2;*.mp1;*.mpeg)|*.mp3;*.mp2;*.mp1;*.mpeg|"
                         "Ogg Vorbis files (*.ogg)|*.ogg|WMA files (*.wma)|*.wma|"
                         "Playlist files (*.M3U;*.PLS)|*.M3U;*.PLS|"
                         "All Supported formats (*.mp3;*.wav;*.mpeg;*.ogg;*.wma)|"
                         "*.mp3;*.avi;*.mpg;*.rm;*.ra;*.mpeg;*.wav;*.mpeg;*.ogg;*.wma"));
        QCOMPARE(call.args.at(2), QString("6"));
        QCOMPARE(call.args.at(3), QString("multi"));
        QCOMPARE(f.jobs.count(), 0);
        QCOMPARE(f.probe.prepared, 0);
        QCOMPARE(f.panel(2), QString("before"));
    }

    void pickedFilesBecomeRows_data()
    {
        QTest::addColumn<QStringList>("files"); // name=ms
        QTest::addColumn<QStringList>("lengths");
        QTest::newRow("single 125 s, plain")
            << QStringList{"a.mp3=125000"} << QStringList{"00:2:05"};
        QTest::newRow("single 3600 s, plain")
            << QStringList{"a.mp3=3600000"} << QStringList{"1:00:00"};
        QTest::newRow("multiple, padded")
            << QStringList{"a.mp3=125000", "b.wav=3600000", "c.ogg=7500"}
            << QStringList{"00:02:05", "01:00:00", "00:00:7"};
    }
    void pickedFilesBecomeRows()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, lengths);
        JobListFixture f;
        QStringList paths;
        for (const QString &entry : files)
            paths << f.audio("in/" + entry.section('=', 0, 0), entry.section('=', 1).toLongLong());
        m_platform->openFilesAnswers << paths;
        f.controller->addFiles();

        QCOMPARE(f.probe.prepared, 1);
        QCOMPARE(f.jobs.count(), files.size());
        for (int row = 0; row < f.jobs.count(); ++row) {
            QCOMPARE(f.jobs.text(row, JobColumn::Length), lengths.at(row));
            QCOMPARE(f.jobs.text(row, JobColumn::Size), QString("0.M"));
            QCOMPARE(f.jobs.text(row, JobColumn::From), f.dir.filePath("in"));
            QCOMPARE(f.jobs.text(row, JobColumn::SaveTo), QString("/output"));
            QCOMPARE(f.jobs.fullPath(row), paths.at(row));
        }
        QCOMPARE(f.panel(2), "Total Selected Files: " + QString::number(files.size()));
        QCOMPARE(f.txtFolder->text(), QString("/output"));
    }

    void sourceFolderOptionMovesOutputFolder()
    {
        JobListFixture f;
        f.options.intoSourceFolder = true;
        m_platform->openFilesAnswers << QStringList{f.audio("src/a.mp3"), f.audio("src/b.mp3")};
        f.controller->addFiles();
        QCOMPARE(f.jobs.text(1, JobColumn::SaveTo), f.dir.filePath("src"));
        QCOMPARE(f.txtFolder->text(), f.dir.filePath("src"));
    }

    void unreadableAndDuplicateFiles()
    {
        JobListFixture f;
        const QString bad = f.notAudio("bad.mp3");
        const QString a = f.audio("one/a.mp3");
        const QString again = f.audio("two/a.mp3");
        m_platform->openFilesAnswers << QStringList{bad, a, again, f.dir.filePath("gone.mp3")};
        f.controller->addFiles();
        QCOMPARE(f.names(), QStringList{"a.mp3"});
        QCOMPARE(f.jobs.text(0, JobColumn::From), f.dir.filePath("one"));
        QCOMPARE(f.probe.probed, (QStringList{bad, a, again})); // the duplicate is still read
        QCOMPARE(f.panel(2), QString("Total Selected Files: 1"));
    }

    void playlistPick()
    {
        JobListFixture f;
        const QString a = f.audio("music/a.mp3", 125000);
        const QString b = f.audio(QString::fromUtf8("music/sub/\xC3\xA9t\xC3\xA9.ogg"), 3600000);
        const QString list = f.dir.filePath("music/party.M3U");
        QVERIFY(PlaylistFile::write(
            list, {"#EXTM3U", a, "sub/" + QFileInfo(b).fileName(), f.dir.filePath("missing.mp3")}));
        m_platform->openFilesAnswers << QStringList{list};
        f.controller->addFiles();
        QCOMPARE(f.jobs.fullPaths(), (QStringList{a, b}));
        QCOMPARE(f.jobs.text(0, JobColumn::Length), QString("00:2:05"));
        QCOMPARE(f.jobs.text(1, JobColumn::Length), QString("1:00:00"));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 2"));
    }

    void playlistEndingsAreCaseSensitiveAndSinglePickOnly()
    {
        JobListFixture f;
        const QString a = f.audio("a.mp3");
        const QString lower = f.dir.filePath("party.m3u");
        const QString upper = f.dir.filePath("other.M3U");
        QVERIFY(PlaylistFile::write(lower, {a}));
        QVERIFY(PlaylistFile::write(upper, {a}));

        m_platform->openFilesAnswers << QStringList{lower};
        f.controller->addFiles();
        QCOMPARE(f.probe.probed, QStringList{lower}); // read as audio, and refused
        QCOMPARE(f.jobs.count(), 0);

        f.probe.probed.clear();
        m_platform->openFilesAnswers << QStringList{f.audio("b.mp3"), upper};
        f.controller->addFiles();
        QCOMPARE(f.probe.probed, (QStringList{f.dir.filePath("b.mp3"), upper}));
        QCOMPARE(f.names(), QStringList{"b.mp3"});
    }

    void dropOnTheList()
    {
        JobListFixture f;
        f.window.show();
        f.jobs.AddJobRow("x.mp3", "", "", "/m", "/o");
        f.jobs.AddJobRow("y.mp3", "", "", "/m", "/o");
        f.jobs.AddJobRow("z.mp3", "", "", "/m", "/o");
        const QStringList dropped{f.audio("d/a.mp3", 125000), f.audio("d/b.Mp3"),
                                  f.audio("d/c.flac"), f.audio("d/e.wav")};
        QVERIFY(dropOn(f.view, dropped));
        QCOMPARE(f.names(), (QStringList{"x.mp3", "y.mp3", "z.mp3", "a.mp3", "e.wav"}));
        QCOMPARE(f.jobs.text(3, JobColumn::Length), QString("00:02:05")); // padded
        QCOMPARE(f.panel(2), QString("Total Selected Files: 5"));
        QCOMPARE(f.probe.prepared, 1);
    }

    // Opened from the desktop: the drop's step, with every type the engine reads.
    void openedFromDesktop()
    {
        JobListFixture f;
        f.jobs.AddJobRow("x.mp3", "", "", "/m", "/o");
        QVERIFY(QDir(f.dir.path()).mkpath("folder.mp3"));
        const QStringList opened{f.audio("d/a.flac", 125000), f.notAudio("d/notes.mp3"),
                                 f.dir.filePath("folder.mp3"), f.dir.filePath("d/missing.wav"),
                                 f.audio("d/b.Mp3")};
        f.controller->addPaths(opened);
        QCOMPARE(f.names(), (QStringList{"x.mp3", "a.flac", "b.Mp3"}));
        QCOMPARE(f.jobs.text(1, JobColumn::Length), QString("00:02:05"));
        QCOMPARE(f.jobs.text(1, JobColumn::SaveTo), QString("/output"));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 3"));
        QCOMPARE(f.probe.prepared, 1);
    }

    void dropWithoutFilesIsIgnored()
    {
        JobListFixture f;
        f.statusBar->setPanelText(2, "before");
        QMimeData text;
        text.setText("hello");
        QVERIFY(!f.controller->filesDropped(&text));
        QCOMPARE(f.panel(2), QString("before"));
        QCOMPARE(f.jobs.count(), 0);
    }
};

QTEST_MAIN(tst_AddFiles)
#include "tst_addfiles.moc"
