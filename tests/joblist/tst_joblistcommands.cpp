#include "joblistfixture.h"

#include "joblist/playlistexport.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QFile>
#include <QHeaderView>
#include <QTest>

namespace {

void fill(JobListFixture &f, int rows)
{
    for (int i = 1; i <= rows; ++i)
        f.jobs.AddJobRow(QString("%1.mp3").arg(i), "00:00:1", "1.M", "/m", "/o");
}

} // namespace

class tst_JobListCommands : public QObject
{
    Q_OBJECT

    TestConfigDir m_config;
    TestPlatform *m_platform = nullptr;

private slots:
    void init() { m_platform = TestPlatform::install(); }

    void clearAndRemoveRefusedWhilePlaying()
    {
        JobListFixture f;
        fill(f, 2);
        f.state.IsPlaying = true;
        f.controller->clearAll();
        f.controller->removeChecked();
        QCOMPARE(m_platform->count("messageBox"), 2);
        const PlatformCall call = m_platform->callsOf("messageBox").first();
        QCOMPARE(call.args, (QStringList{"Please stop playing at first   ", "Tonewright",
                                         QString::number(int(MessageButtons::OkCancel)),
                                         QString::number(int(MessageIcon::Information))}));
        QCOMPARE(f.jobs.count(), 2);
    }

    void clearAll()
    {
        JobListFixture f;
        fill(f, 3);
        f.state.CurrentFile = "/m/1.mp3";
        f.tagEditor.open = true;
        f.controller->clearAll();
        QCOMPARE(f.jobs.count(), 0);
        QCOMPARE(f.state.CurrentFile, QString());
        QCOMPARE(f.panel(2), QString("Total Selected Files: 0"));
        QCOMPARE(f.tagEditor.left, 1);
        f.controller->clearAll(); // tag editor closed now: left alone
        QCOMPARE(f.tagEditor.left, 1);
    }

    void removeChecked()
    {
        JobListFixture f;
        fill(f, 5);
        f.jobs.setChecked(2, false);
        f.jobs.setChecked(4, false);
        f.tagEditor.open = true;
        f.controller->removeChecked();
        QCOMPARE(f.names(), (QStringList{"3.mp3", "5.mp3"}));
        QVERIFY(!f.jobs.isChecked(0) && !f.jobs.isChecked(1));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 0"));
        QCOMPARE(f.tagEditor.left, 1);
    }

    void selectionCommands()
    {
        JobListFixture f;
        f.statusBar->setPanelText(2, "before");
        f.controller->selectAll();
        f.controller->selectNone();
        f.controller->invertSelection();
        QCOMPARE(f.panel(2), QString("before")); // empty list: nothing at all

        fill(f, 3);
        f.jobs.setChecked(0, false);
        f.jobs.setChecked(2, false);
        f.controller->invertSelection();
        QCOMPARE(f.panel(2), QString("Total Selected Files: 2"));
        QVERIFY(f.jobs.isChecked(0) && !f.jobs.isChecked(1) && f.jobs.isChecked(2));
        QCOMPARE(f.jobs.status(0), QString("Ready"));
        QCOMPARE(f.jobs.status(1), QString("Waitting"));
        f.controller->selectNone();
        QCOMPARE(f.panel(2), QString("Total Selected Files: 0"));
        QCOMPARE(f.jobs.checkedCount(), 0);
        QCOMPARE(f.jobs.status(2), QString("Waitting"));
        f.controller->selectAll();
        QCOMPARE(f.panel(2), QString("Total Selected Files: 3"));
        QCOMPARE(f.jobs.status(1), QString("Ready"));
    }

    void tickingThroughTheView()
    {
        JobListFixture f;
        fill(f, 3);
        f.jobs.setStatus(1, "Finished");
        QVERIFY(f.jobs.setData(f.jobs.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(f.jobs.status(1), QString("Waitting"));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 2"));
        QVERIFY(f.jobs.setData(f.jobs.index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(f.jobs.status(1), QString("Ready"));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 3"));
    }

    void headerClicksSortTheList()
    {
        JobListFixture f;
        f.jobs.AddJobRow("b.mp3", "", "10.M", "/m", "/o");
        f.jobs.AddJobRow("a.mp3", "", "2.M", "/m", "/o");
        emit f.view->header()->sectionClicked(int(JobColumn::Size));
        QCOMPARE(f.names(), (QStringList{"b.mp3", "a.mp3"}));
        emit f.view->header()->sectionClicked(int(JobColumn::Size));
        QCOMPARE(f.names(), (QStringList{"a.mp3", "b.mp3"}));
        QCOMPARE(f.view->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        f.window.show();
        QVERIFY(f.view->header()->height() > 0); // the headers are shown
        QCOMPARE(f.view->header()->sectionSize(1), JobListModel::columnWidth(1));
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
        QCOMPARE(f.state.HoverRow, 2);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, second);
        QCOMPARE(f.state.CurrentFile, QString("/m/2.mp3"));
        QCOMPARE(f.panel(1), QString("/m/2.mp3"));
        QCOMPARE(f.state.intCurItem, 2);
        QVERIFY(f.tagEditor.loaded.isEmpty());

        f.tagEditor.open = true;
        const QPoint third = f.view->visualRect(f.jobs.index(2, 1)).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, third);
        QCOMPARE(f.tagEditor.loaded, QStringList{"/m/3.mp3"});
        QCOMPARE(f.state.intCurItem, 3);

        QTest::mouseDClick(viewport, Qt::LeftButton, {}, third);
        QCOMPARE(f.tagEditor.entered, 1);

        QTest::mousePress(viewport, Qt::RightButton, {}, second);
        QCOMPARE(f.popups, QList<QMenu *>{f.rightmenu});

        // A click on the check box ticks through the view's delegate.
        const QRect box = f.view->visualRect(f.jobs.index(0, 0));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(box.left() + 10, box.center().y()));
        QVERIFY(!f.jobs.isChecked(0));
        QCOMPARE(f.jobs.status(0), QString("Waitting"));
        QCOMPARE(f.panel(2), QString("Total Selected Files: 2"));

        const QPoint below(second.x(), viewport->height() - 2);
        f.controller->mouseMoved(below);
        QCOMPARE(f.state.HoverRow, 0);
        QCOMPARE(f.tooltipsDestroyed, 1);
        f.state.CurrentFile.clear();
        f.controller->rowClicked(); // over no row: nothing
        QCOMPARE(f.state.CurrentFile, QString());
    }

    void exportEmptyList()
    {
        JobListFixture f;
        f.controller->outputPlaylist();
        QCOMPARE(m_platform->count("saveFile"), 0);
        const PlatformCall call = m_platform->callsOf("messageBox").value(0);
        QCOMPARE(call.args.value(0), QString("Please Add Files at first!   "));
        QCOMPARE(call.args.value(1), QString("Tonewright"));
    }

    void exportWritesEveryRowAndOpensIt()
    {
        JobListFixture f;
        fill(f, 2);
        f.jobs.AddJobRow("r.mp3", "", "", "/", "/o");
        f.jobs.setChecked(0, false);
        const QString target = f.dir.filePath("MyPlaylist");
        m_platform->saveFileAnswers << QString() << target;
        f.controller->outputPlaylist(); // cancelled
        QVERIFY(!QFile::exists(target));
        f.controller->outputPlaylist();

        const PlatformCall save = m_platform->callsOf("saveFile").first();
        QCOMPARE(save.args.mid(0, 3),
                 (QStringList{"Save Playlist as", "Play List File(*.M3U)|*.M3U", "MyPlaylist"}));
        QCOMPARE(TestEnv::readFile(target), QByteArray("/m/1.mp3\r\n/m/2.mp3\r\n/r.mp3\r\n"));
        QCOMPARE(m_platform->callsOf("openDocument").value(0).args, QStringList{target});
    }
};

QTEST_MAIN(tst_JobListCommands)
#include "tst_joblistcommands.moc"
