// The job list commands: on a window of their own (adding files, selection, pointer, export)
// and on the real main window with audio files read by the engine.
#include "joblistfixture.h"

#include "joblist/formatting.h"
#include "joblist/playlistfile.h"
#include "options/frmoption.h"
#include "tests/support/fixture.h"
#include "tests/support/loadedwindow.h"
#include "tests/support/readonlymount.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void fill(JobListFixture &f, int rows)
{
    for (int i = 1; i <= rows; ++i)
        f.jobs.AddJobRow(QString("%1.mp3").arg(i), "00:00:1", "1.M", "/m", "/o");
}

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

class tst_JobListCommands : public QObject
{
    Q_OBJECT

    TestConfigDir m_config;
    TestPlatform *m_platform = nullptr;

private slots:
    void init() { m_platform = TestPlatform::install(); }

    // On an empty list nothing at all happens: no panel, no dialog, nothing dropped. The texts
    // whose odd spelling is easy to lose; refused commands change nothing.
    void emptyListAndOddlySpelledTexts()
    {
        JobListFixture f;
        f.statusBar->setPanelText(2, "before");
        f.controller->selectAll();
        f.controller->selectNone();
        f.controller->invertSelection();
        f.controller->addFiles(); // cancelled
        QMimeData text;
        text.setText("hello");
        QVERIFY(!f.controller->filesDropped(&text));
        QCOMPARE(f.panel(2), QString("before"));
        f.controller->outputPlaylist(); // nothing to export
        fill(f, 2);
        f.playing = true;
        f.controller->clearAll();
        f.controller->removeChecked();
        f.playing = false;
        f.controller->selectNone();
        QCOMPARE(PlatformCalls::messages(*m_platform) << f.jobs.status(0),
                 (QStringList{"Please Add Files at first!   ", "Please stop playing at first   ",
                              "Please stop playing at first   ", "Waitting"}));
        QCOMPARE(m_platform->count("saveFile"), 0);
        QCOMPARE(f.jobs.count(), 2);
    }

    // Both close an open tag editor; clearing also forgets the current file. The tag editor
    // opens only on a listed row: not before the pointer was over one, nor on a position left
    // over from removed rows.
    void clearAllRemoveCheckedAndTagEditor()
    {
        JobListFixture f;
        f.controller->EnterTagMode();
        fill(f, 5);
        f.jobs.setChecked(2, false);
        f.jobs.setChecked(4, false);
        f.tagEditor.open = true;
        f.controller->removeChecked();
        QCOMPARE(f.names(), (QStringList{"3.mp3", "5.mp3"}));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 0"));
        QCOMPARE(f.tagEditor.left, 1);

        f.focus().CurrentFile = "/m/3.mp3";
        f.tagEditor.open = true;
        f.controller->clearAll();
        QCOMPARE(f.jobs.count(), 0);
        QCOMPARE(f.focus().CurrentFile, QString());
        QCOMPARE(f.tagEditor.left, 2);
        fill(f, 2);
        f.focus().HoverRow = 2;
        f.jobs.clearAll();
        f.controller->EnterTagMode();
        QCOMPARE(f.tagEditor.entered, 0);
        QVERIFY(f.focus().CurrentFile.isEmpty());

        // The current row is the file that was picked: it follows a sort and an insertion, and
        // once it is removed there is no current file for Play or Properties to act on.
        fill(f, 3);
        f.focus().HoverRow = 1;
        f.controller->rowClicked();
        QCOMPARE(f.focus().CurrentFile, QString("/m/1.mp3"));
        f.jobs.setSorting(int(JobColumn::Name), Qt::DescendingOrder, true);
        QCOMPARE(f.focus().intCurItem, 3);
        f.jobs.AddJobRow("0.mp3", "00:00:1", "1.M", "/m", "/o"); // sorted in after it
        QCOMPARE(f.focus().intCurItem, 3);
        f.jobs.removeRow(0);
        QCOMPARE(f.focus().intCurItem, 2);
        QCOMPARE(f.focus().CurrentFile, QString("/m/1.mp3"));
        f.jobs.removeRow(1);
        QCOMPARE(f.focus().intCurItem, 0);
        QCOMPARE(f.focus().CurrentFile, QString());
    }

    void pointerAndClicks()
    {
        JobListFixture f;
        fill(f, 3);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QWidget *viewport = f.view->viewport();
        const QPoint second = f.view->visualRect(f.jobs.index(1, 1)).center();

        QTest::mouseMove(viewport, second);
        f.controller->mouseMoved(second); // offscreen windows may not deliver moves
        QCOMPARE(f.focus().HoverRow, 2);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, second);
        QCOMPARE(f.panel(1), QString("/m/2.mp3"));
        QVERIFY(f.tagEditor.loaded.isEmpty());

        f.tagEditor.open = true;
        const QPoint third = f.view->visualRect(f.jobs.index(2, 1)).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, third);
        QCOMPARE(f.tagEditor.loaded, QStringList{"/m/3.mp3"});

        QTest::mouseDClick(viewport, Qt::LeftButton, {}, third);
        QCOMPARE(f.tagEditor.entered, 1);
        QCOMPARE(f.focus().CurrentFile, f.jobs.fullPath(int(f.focus().HoverRow) - 1));

        QTest::mousePress(viewport, Qt::RightButton, {}, second);
        QCOMPARE(f.popups, QList<QMenu *>{f.rightmenu});

        // A click on the check box ticks through the view's delegate.
        const QRect box = f.view->visualRect(f.jobs.index(0, 0));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(box.left() + 10, box.center().y()));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 2"));

        f.controller->mouseMoved(QPoint(second.x(), viewport->height() - 2));
        QCOMPARE(f.tooltipsDestroyed, 1);
        f.focus().CurrentFile.clear();
        f.controller->rowClicked(); // over no row: nothing
        QCOMPARE(f.focus().CurrentFile, QString());

        // The keyboard drives the list as the mouse does: the arrows move the current row (the
        // current file and panel 1 follow), Space ticks it, Menu opens its popup; a right-click
        // makes the clicked row current first.
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          f.view->visualRect(f.jobs.index(0, 1)).center());
        QTest::keyClick(f.view, Qt::Key_Down);
        QTRY_COMPARE(f.focus().CurrentFile, QString("/m/2.mp3"));
        QCOMPARE(f.panel(1), QString("/m/2.mp3"));
        QCOMPARE(f.focus().intCurItem, 2);
        QTest::keyClick(f.view, Qt::Key_Space);
        QVERIFY(!f.jobs.isChecked(1));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 1")); // the first was unticked above
        f.popups.clear();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QCoreApplication::sendEvent(f.view, &menuKey);
        QCOMPARE(f.popups, QList<QMenu *>{f.rightmenu});
        f.controller->mouseMoved(third);
        QTest::mousePress(viewport, Qt::RightButton, {}, third);
        QCOMPARE(f.focus().CurrentFile, QString("/m/3.mp3"));
    }

    void exportWritesEveryRowAndOpensIt()
    {
        JobListFixture f;
        fill(f, 2);
        f.jobs.AddJobRow("r.mp3", "", "", "/", "/o");
        f.jobs.setChecked(0, false);
        // The accepted proposed name gets the filter's extension.
        m_platform->saveFileAnswers << QString() << f.dir.filePath("MyPlaylist");
        const QString target = f.dir.filePath("MyPlaylist.M3U");
        f.controller->outputPlaylist(); // cancelled
        QVERIFY(!QFile::exists(target));
        f.controller->outputPlaylist();

        QCOMPARE(TestEnv::readFile(target), QByteArray("/m/1.mp3\r\n/m/2.mp3\r\n/r.mp3\r\n"));
        QCOMPARE(m_platform->callsOf("openDocument").value(0).args, QStringList{target});

        // A full disk keeps the old list, says which file was not saved, and opens nothing.
        TmpfsMount disk(f.dir.path(), 4096); // one page, which the old list takes
        TWR_SKIP_UNLESS_MOUNTED(disk);
        TestEnv::writeFile(target, "old\r\n");
        m_platform->saveFileAnswers << target;
        f.controller->outputPlaylist();
        QCOMPARE(TestEnv::readFile(target), QByteArray("old\r\n"));
        QCOMPARE(
            PlatformCalls::messages(*m_platform),
            QStringList{"The playlist could not be saved as " + target + ": the disk is full"});
        QCOMPARE(m_platform->count("openDocument"), 1);
    }

    // One picked file shows its length plain, several show theirs padded.
    void pickedFilesBecomeRows()
    {
        const QList<std::pair<QList<qint64>, QStringList>> picks{
            {{125000}, {"00:2:05"}},
            {{125000, 3600000, 7500}, {"00:02:05", "01:00:00", "00:00:7"}}};
        for (const auto &[lengths, shown] : picks) {
            JobListFixture f;
            QStringList paths;
            for (qint64 ms : lengths)
                paths << f.audio(QStringLiteral("in/%1.mp3").arg(paths.size()), ms);
            m_platform->openFilesAnswers << paths;
            f.controller->addFiles();
            QCOMPARE(f.jobs.fullPaths(), paths);
            for (int row = 0; row < f.jobs.count(); ++row)
                QCOMPARE(f.jobs.text(row, JobColumn::Length), shown.at(row));
            QCOMPARE(f.jobs.text(0, JobColumn::SaveTo), QString("/output"));
        }
        // Unreadable, missing and same-named files get no row.
        JobListFixture f;
        const QString bad = f.notAudio("bad.mp3");
        const QString a = f.audio("one/a.mp3");
        const QString again = f.audio("two/a.mp3");
        m_platform->openFilesAnswers << QStringList{bad, a, again, f.dir.filePath("gone.mp3")};
        f.controller->addFiles();
        QCOMPARE(f.names(), QStringList{"a.mp3"});
        QCOMPARE(f.jobs.text(0, JobColumn::From), f.dir.filePath("one"));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 1"));
    }

    // A single picked playlist (".M3U" or ".m3u") adds its existing entries; a playlist among
    // other picks is read as audio and refused; one that adds no row says so.
    void playlistPicks()
    {
        JobListFixture f;
        const QString a = f.audio("music/a.mp3", 125000);
        const QString b = f.audio(QString::fromUtf8("music/sub/\xC3\xA9t\xC3\xA9.ogg"), 3600000);
        const QString list = f.dir.filePath("music/party.M3U");
        const QString lower = f.dir.filePath("music/party.m3u");
        QVERIFY(PlaylistFile::write(
            list, {"#EXTM3U", a, "sub/" + QFileInfo(b).fileName(), f.dir.filePath("missing.mp3")}));
        QVERIFY(QFile::copy(list, lower));
        m_platform->openFilesAnswers << QStringList{lower} << QStringList{a, list};
        f.controller->addFiles();
        QCOMPARE(f.jobs.fullPaths(), (QStringList{a, b}));
        f.jobs.clearAll();
        f.controller->addFiles();
        QCOMPARE(f.probe.probed, (QStringList{a, b, a, list}));
        QCOMPARE(f.names(), QStringList{"a.mp3"});
        QVERIFY(PlatformCalls::messages(*m_platform).isEmpty());

        const QString none = f.dir.filePath("music/none.pls");
        QVERIFY(PlaylistFile::write(none, {"[playlist]", "File1=" + a}));
        m_platform->openFilesAnswers << QStringList{none};
        f.controller->addFiles();
        QCOMPARE(PlatformCalls::messages(*m_platform),
                 QStringList{"The playlist none.pls lists no file that can be added."});
        m_platform->calls.clear();

        m_platform->openFilesAnswers << QStringList{list};
        f.jobs.clearAll();
        f.controller->addFiles();
        QCOMPARE(f.jobs.fullPaths(), (QStringList{a, b}));
        QCOMPARE(f.jobs.text(1, JobColumn::Length), QString("1:00:00")); // plain, as for one file

        // One too large to be a playlist adds nothing and says so.
        f.jobs.clearAll();
        const QString huge = f.dir.filePath("music/huge.M3U");
        TestEnv::writeFile(huge, QByteArray(17 * 1024 * 1024, '#'));
        m_platform->openFilesAnswers << QStringList{huge};
        f.controller->addFiles();
        QCOMPARE(f.jobs.count(), 0);
        QCOMPARE(PlatformCalls::messages(*m_platform),
                 QStringList{"The playlist cannot be imported: huge.M3U is too large to be a "
                             "playlist (more than 16 MiB)"});
    }

    // Dropped on the list, or opened from the desktop (the drop's step, with every type the
    // engine reads): the rows that join, the first with its padded length.
    void dropAndOpenFromDesktop()
    {
        for (const bool drop : {true, false}) {
            JobListFixture f;
            f.window.show();
            f.jobs.AddJobRow("x.mp3", "", "", "/m", "/o");
            QVERIFY(QDir(f.dir.path()).mkpath("folder.mp3"));
            const QStringList paths{f.audio("d/a.mp3", 125000),   f.notAudio("d/notes.mp3"),
                                    f.dir.filePath("folder.mp3"), f.dir.filePath("d/missing.wav"),
                                    f.audio("d/b.Mp3"),           f.audio("d/c.flac"),
                                    f.audio("d/e.wav"),           f.audio("d/g.AIFF")};
            QVERIFY(drop ? dropOn(f.view, paths) : (f.controller->addPaths(paths), true));
            QCOMPARE(f.names(),
                     (drop ? QStringList{"x.mp3", "a.mp3", "c.flac", "e.wav", "g.AIFF"}
                           : QStringList{"x.mp3", "a.mp3", "b.Mp3", "c.flac", "e.wav", "g.AIFF"}));
            QCOMPARE(f.jobs.text(1, JobColumn::Length), QString("00:02:05")); // padded
            QCOMPARE(f.panel(2), QString("Total Selected Files: %1").arg(drop ? 5 : 6));
        }
    }

    // A folder is walked at any depth off the window's thread: what the program converts gets
    // a row below its root in the output folder; hidden entries, other kinds, unreadable files
    // and a link back up add nothing; equal names in two folders both get rows; a folder that
    // cannot be read is named once at the end. A dropped folder takes the same walk.
    void addFolderAndEscape()
    {
        JobListFixture f;
        f.audio("lib/A/B/x.mp3", 125000);
        f.audio("lib/A/y.flac");
        f.audio("lib/C/y.flac");
        f.audio("lib/.hidden/h.mp3");
        f.audio("lib/.h.mp3");
        f.audio("lib/notes.txt");
        f.notAudio("lib/bad.mp3");
        f.audio("lib/locked/z.mp3");
        const QString lib = f.dir.filePath("lib");
        QVERIFY(QFile::link(lib, lib + "/A/loop"));
        // Root reads any folder: the walk runs as another user for the locked one to count.
        QVERIFY(::chmod(QFile::encodeName(f.dir.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(lib + "/locked").constData(), 0) == 0);
        const bool asRoot = ::geteuid() == 0;
        if (asRoot)
            QVERIFY(::seteuid(65534) == 0);
        m_platform->folderAnswers << lib;
        f.controller->addFolder();
        QTRY_COMPARE(f.panel(4), QString("Status: Idle"));
        if (asRoot)
            QVERIFY(::seteuid(0) == 0);

        QCOMPARE(f.names(), (QStringList{"x.mp3", "y.flac", "y.flac"}));
        QCOMPARE(f.jobs.text(0, JobColumn::Length), QString("00:02:05"));
        QStringList saveTo;
        for (int row = 0; row < f.jobs.count(); ++row)
            saveTo << f.jobs.text(row, JobColumn::SaveTo);
        QCOMPARE(saveTo, (QStringList{"/output/A/B/", "/output/A/", "/output/C/"}));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 3"));
        const QStringList shown = PlatformCalls::messages(*m_platform);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].endsWith("not added:\n\n" + lib + "/locked"), qPrintable(shown[0]));

        QVERIFY(dropOn(f.view, {lib}));
        QTRY_COMPARE(f.panel(4), QString("Status: Idle"));
        QCOMPARE(f.jobs.count(), 3);

        // Escape ends a long walk; the rows added until then stay and the list takes no more.
        JobListFixture big;
        for (int i = 0; i < 3000; ++i)
            big.audio(QString("big/%1/%2.mp3").arg(i / 100).arg(i));
        big.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&big.window));
        big.controller->addPaths({big.dir.filePath("big")});
        QTest::keyClick(&big.window, Qt::Key_Escape);
        QTRY_COMPARE(big.panel(4), QString("Status: Idle"));
        const int kept = big.jobs.count();
        QVERIFY2(kept < 3000, qPrintable(QString::number(kept)));
        QTest::qWait(100);
        QCOMPARE(big.jobs.count(), kept);
    }

    // The real window with files the engine reads: the rows, the source-folder option and the
    // playlist round trip through the menu entries.
    void inTheWindow()
    {
        QTemporaryDir media;
        const QString dir = media.filePath(QString::fromUtf8("d\xC3\xA9j\xC3\xA0"));
        QVERIFY(QDir().mkpath(dir));
        const QString shortWav = Fixture::tone(media.path(), "short.wav", 7.5, {}, 8000, 1);
        const QString longMp3 = Fixture::tone(dir, "long.mp3", 125, {"-b:a", "8k"}, 8000, 1);
        QVERIFY(!shortWav.isEmpty() && !longMp3.isEmpty());
        const QString corrupt = dir + "/corrupt.mp3"; // named .mp3, holds text
        TestEnv::writeFile(corrupt, "this is not audio at all");
        LoadedWindow f;
        f.platform->openFilesAnswers << QStringList{shortWav} << QStringList{corrupt, longMp3};
        f.w->cmdOpenFile->click();
        f.w->cmdOpenFile->click();
        JobListModel &jobs = *f.w->jobs;
        QCOMPARE(jobs.count(), 2); // the unreadable file has no row
        // The dialog offers every kind the engine decodes, and then every file.
        const QString filter = f.platform->callsOf("openFiles").value(0).args.value(1);
        QVERIFY2(filter.contains("*.flac;") && filter.contains("*.opus;") &&
                     filter.endsWith("|All files (*)|*"),
                 qPrintable(filter));
        QCOMPARE(jobs.text(0, JobColumn::Length), QString("00:00:7"));
        QCOMPARE(jobs.text(0, JobColumn::Size), FormatSize(QFileInfo(shortWav).size()));
        QCOMPARE(jobs.text(1, JobColumn::Length), QString("00:02:05"));
        f.activate("invert"); // the menu entries reach the list
        QCOMPARE(f.panel(2), QString("Total Selected Files: 0"));

        f.activate("cleara");
        f.w->options().chkOldfolder->setChecked(true);
        f.platform->openFilesAnswers << QStringList{longMp3, shortWav};
        f.activate("addf");
        QCOMPARE(f.w->txtFolder->text(), QFileInfo(longMp3).absolutePath());
        QCOMPARE(jobs.text(1, JobColumn::SaveTo), media.path());
        // The proposed name, accepted as it is, comes back through Add Files.
        f.platform->saveFileAnswers << media.filePath("MyPlaylist");
        f.activate("playlist");
        const QString list = media.filePath("MyPlaylist.M3U");
        QCOMPARE(PlaylistFile::read(list), (QStringList{longMp3, shortWav}));
        f.activate("cleara");
        f.platform->openFilesAnswers << QStringList{list};
        f.activate("addf");
        QCOMPARE(jobs.fullPaths(), (QStringList{longMp3, shortWav}));
    }
};

QTEST_MAIN(tst_JobListCommands)
#include "tst_joblistcommands.moc"
