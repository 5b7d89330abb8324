#include "joblist/joblistmodel.h"

#include <QTest>

namespace {

// Adds rows named after `names`, each from its own folder so only the name can collide.
void addRows(JobListModel &jobs, const QStringList &names)
{
    for (const QString &name : names)
        jobs.AddJobRow(name, "00:00:1", "1.M", "/music/" + name + "-dir", "/out");
}

QStringList column(const JobListModel &jobs, JobColumn c)
{
    QStringList texts;
    for (int row = 0; row < jobs.count(); ++row)
        texts << jobs.text(row, c);
    return texts;
}

} // namespace

class tst_JobListModel : public QObject
{
    Q_OBJECT

private slots:
    void newRowIsCheckedAndReady()
    {
        JobListModel jobs;
        QVERIFY(jobs.AddJobRow("a.mp3", "00:00:7", "3.M", "/music", "/out"));
        QCOMPARE(jobs.count(), 1);
        QVERIFY(jobs.isChecked(0));
        QCOMPARE(jobs.status(0), QString("Ready"));
        QCOMPARE(jobs.text(0, JobColumn::Res), QString());
        QCOMPARE(jobs.text(0, JobColumn::FormatString), QString());
        QCOMPARE(jobs.fullPath(0), QString("/music/a.mp3"));
        QCOMPARE(jobs.data(jobs.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void duplicates_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("same name, other folder")
            << QStringList{"a.mp3", "a.mp3"} << QStringList{"a.mp3"};
        QTest::newRow("prefix of a listed name is refused")
            << QStringList{"song.mp3.wav", "song.mp3"} << QStringList{"song.mp3.wav"};
        QTest::newRow("longer name after its prefix is accepted")
            << QStringList{"song.mp3", "song.mp3.wav"} << QStringList{"song.mp3", "song.mp3.wav"};
        QTest::newRow("prefix of another column's text")
            << QStringList{"x.mp3", "Rea"} << QStringList{"x.mp3"};
        QTest::newRow("case differs")
            << QStringList{"Song.mp3", "song.mp3"} << QStringList{"Song.mp3", "song.mp3"};
    }
    void duplicates()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, listed);
        JobListModel jobs;
        addRows(jobs, names);
        QCOMPARE(column(jobs, JobColumn::Name), listed);
    }

    void duplicateIndexFollowsEditsAndRemovals()
    {
        JobListModel jobs;
        addRows(jobs, {"a.mp3"});
        jobs.setStatus(0, JobStatus::Finished);
        QVERIFY(jobs.isListed("Fin"));
        QVERIFY(!jobs.isListed("Rea")); // the old status text left the index
        jobs.setChecked(0, true);
        jobs.removeChecked();
        QVERIFY(!jobs.isListed("a.mp3"));
        addRows(jobs, {"a.mp3", "b.mp3"});
        jobs.clearAll();
        QVERIFY(jobs.AddJobRow("a.mp3", "", "", "/x", "/y"));
    }

    void countsBeyondSixteenBits()
    {
        JobListModel jobs;
        for (int i = 0; i < 40000; ++i)
            jobs.AddJobRow(QString::number(i) + ".mp3", "", "", "/m", "/o");
        // Names like "1.mp3" are not prefixes of "10.mp3", so every row is listed.
        QCOMPARE(jobs.count(), 40000);
        jobs.setChecked(0, false);
        QCOMPARE(jobs.invertSelection(), 1);
        QCOMPARE(jobs.selectAll(), 40000);
        QCOMPARE(jobs.checkedCount(), 40000);
    }

    void headerClicks()
    {
        JobListModel jobs;
        jobs.AddJobRow("b.mp3", "00:2:05", "10.M", "/m", "/o");
        jobs.AddJobRow("a.mp3", "00:00:7", "2.5M", "/m", "/o");
        jobs.AddJobRow("c.mp3", "00:10:00", "1.M", "/m", "/o");
        const QStringList original = column(jobs, JobColumn::Name);

        // Column 0 while sorting is off: only the direction flips.
        jobs.headerClicked(0);
        QVERIFY(!jobs.isSorted());
        QCOMPARE(jobs.sortOrder(), Qt::DescendingOrder);
        QCOMPARE(column(jobs, JobColumn::Name), original);

        const int size = int(JobColumn::Size);
        jobs.headerClicked(size);
        QVERIFY(jobs.isSorted());
        QCOMPARE(jobs.sortOrder(), Qt::AscendingOrder);
        QCOMPARE(column(jobs, JobColumn::Size), (QStringList{"1.M", "10.M", "2.5M"})); // as text
        jobs.headerClicked(size);
        QCOMPARE(column(jobs, JobColumn::Size), (QStringList{"2.5M", "10.M", "1.M"}));

        jobs.headerClicked(int(JobColumn::Length));
        QCOMPARE(jobs.sortOrder(), Qt::AscendingOrder);
        QCOMPARE(column(jobs, JobColumn::Length), (QStringList{"00:00:7", "00:10:00", "00:2:05"}));

        // While sorted, a new row takes its sorted place.
        jobs.AddJobRow("d.mp3", "00:05:00", "1.M", "/m", "/o");
        QCOMPARE(jobs.text(1, JobColumn::Name), QString("d.mp3")); // "00:05:00" < "00:10:00"
    }

    void sortKeepsTicksAndPersistentIndexes()
    {
        JobListModel jobs;
        addRows(jobs, {"c.mp3", "a.mp3", "b.mp3"});
        jobs.setChecked(0, false);
        const QPersistentModelIndex c(jobs.index(0, 1));
        jobs.setSorting(int(JobColumn::Name), Qt::AscendingOrder, true);
        QCOMPARE(column(jobs, JobColumn::Name), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
        QVERIFY(!jobs.isChecked(2) && jobs.isChecked(0));
        QCOMPARE(c.row(), 2);
    }

    void fullPathJoinsWithOneSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("folder") << "/music"
                                << "/music/a.mp3";
        QTest::newRow("root") << "/"
                              << "/a.mp3";
        QTest::newRow("trailing separator") << "/music/"
                                            << "/music/a.mp3";
    }
    void fullPathJoinsWithOneSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        JobListModel jobs;
        jobs.AddJobRow("a.mp3", "", "", folder, "/o");
        QCOMPARE(jobs.fullPath(0), path);
        QCOMPARE(jobs.fullPaths(), QStringList{path});
    }
};

QTEST_GUILESS_MAIN(tst_JobListModel)
#include "tst_joblistmodel.moc"
