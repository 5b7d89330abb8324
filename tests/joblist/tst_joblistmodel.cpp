// The job list's data: its rows and their rules, length and size texts, playlist files.
#include "joblist/formatting.h"
#include "joblist/joblistmodel.h"
#include "joblist/playlistfile.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QtTest>

#include <memory>

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

    QTemporaryDir m_dir;

    QString touch(const QString &relative)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        TestEnv::writeFile(path, "x");
        return path;
    }

private slots:
    // Each row from its own folder, so only the name can collide: a name that is a prefix of a
    // listed text is refused, whatever the column.
    void duplicates()
    {
        const QList<std::pair<QStringList, QStringList>> cases{
            {{"a.mp3", "a.mp3"}, {"a.mp3"}},
            {{"song.mp3.wav", "song.mp3"}, {"song.mp3.wav"}},
            {{"song.mp3", "song.mp3.wav"}, {"song.mp3", "song.mp3.wav"}},
            {{"x.mp3", "Rea"}, {"x.mp3"}},
            {{"Song.mp3", "song.mp3"}, {"Song.mp3", "song.mp3"}}};
        for (const auto &[names, listed] : cases) {
            JobListModel jobs;
            addRows(jobs, names);
            QCOMPARE(column(jobs, JobColumn::Name), listed);
        }
        // The index follows edits and removals.
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
    }

    void headerClicks()
    {
        JobListModel jobs;
        jobs.AddJobRow("b.mp3", "00:2:05", "10.M", "/m", "/o");
        jobs.AddJobRow("a.mp3", "00:00:7", "2.5M", "/m", "/o");
        jobs.AddJobRow("c.mp3", "00:10:00", "1.M", "/m", "/o");
        const QStringList original = column(jobs, JobColumn::Name);

        jobs.headerClicked(0); // column 0 while sorting is off: the rows stay
        QCOMPARE(column(jobs, JobColumn::Name), original);
        // Sorted as text; a second click turns the order, another column starts ascending.
        const int size = int(JobColumn::Size);
        jobs.headerClicked(size);
        QCOMPARE(column(jobs, JobColumn::Size), (QStringList{"1.M", "10.M", "2.5M"}));
        jobs.headerClicked(size);
        QCOMPARE(column(jobs, JobColumn::Size), (QStringList{"2.5M", "10.M", "1.M"}));
        jobs.headerClicked(int(JobColumn::Length));
        QCOMPARE(column(jobs, JobColumn::Length), (QStringList{"00:00:7", "00:10:00", "00:2:05"}));

        // While sorted, a new row takes its sorted place.
        jobs.AddJobRow("d.mp3", "00:05:00", "1.M", "/m", "/o");
        QCOMPARE(jobs.text(1, JobColumn::Name), QString("d.mp3")); // "00:05:00" < "00:10:00"

        // Sorting keeps the ticks and persistent indexes with their rows.
        JobListModel sorted;
        addRows(sorted, {"c.mp3", "a.mp3", "b.mp3"});
        sorted.setChecked(0, false);
        const QPersistentModelIndex c(sorted.index(0, 1));
        sorted.setSorting(int(JobColumn::Name), Qt::AscendingOrder, true);
        QCOMPARE(column(sorted, JobColumn::Name), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
        QVERIFY(!sorted.isChecked(2) && sorted.isChecked(0));
        QCOMPARE(c.row(), 2);
    }

    // Milliseconds → padded and plain text; bytes → megabytes.
    void formatLengthAndSize()
    {
        const std::tuple<qint64, const char *, const char *> cases[] = {
            {0, "00:00:0", "00:00:0"},        {59900, "00:00:59", "00:00:59"},
            {60000, "00:01:00", "00:1:00"},   {3599999, "00:59:59", "00:59:59"},
            {3600000, "01:00:00", "1:00:00"}, {360000000, "100:00:00", "100:00:00"},
            {-5, "00:00:0", "00:00:0"},       {5000000000, "1388:53:20", "1388:53:20"}};
        for (const auto &[ms, padded, plain] : cases) {
            QCOMPARE(FormatLength(ms, LengthForm::Padded), QString(padded));
            QCOMPARE(FormatLength(ms, LengthForm::Plain), QString(plain));
        }
        QStringList shown; // rounded up to whole, 5 GiB without grouping
        for (qint64 bytes : {0LL, 1572864LL, 1000000LL, 1048576LL * 2 - 1, 5368709120LL})
            shown << FormatSize(bytes);
        QCOMPARE(shown, (QStringList{"0.M", "1.5M", "0.95M", "2.M", "5120.M"}));
    }

    // What a playlist lists that exists as a file: M3U with comments, PLS keys in any case,
    // file URLs, paths relative to the playlist's folder.
    void playlistEntriesAndLines()
    {
        const QString a = touch("a.mp3");
        const QString b = touch("sub/b.ogg");
        const QByteArray abs = m_dir.path().toUtf8();
        const QList<std::pair<QByteArray, QStringList>> cases{
            {"#EXTM3U\r\n#EXTINF:7,A\r\n" + abs +
                 "/a.mp3\r\n# comment\r\nmissing.mp3\r\nsub/b.ogg\r\n",
             {a, b}},
            {"[playlist]\nFile1=" + abs +
                 "/a.mp3\nTitle1=A\nfile2 = sub/b.ogg\nFile3=missing.mp3\n",
             {a, b}},
            {abs + "/a.mp3\n" + abs + "/sub/b.ogg\n", {a, b}},
            {"file://" + abs + "/sub/b.ogg\n", {b}},
            {"sub/b.ogg\r\n../outside.mp3\r\n", {b}},
            {abs + "/sub\r\n", {}}};
        const QString list = m_dir.filePath("list.M3U");
        for (const auto &[content, expected] : cases) {
            TestEnv::writeFile(list, content);
            QCOMPARE(PlaylistFile::read(list), expected);
        }
        QCOMPARE(PlaylistFile::read(m_dir.filePath("nope.m3u")), QStringList());
        QVERIFY(!PlaylistFile::write(m_dir.filePath("no/such/folder/x.m3u"), {"/a.mp3"}));
        // A playlist's lines: any line ending, UTF-8 or Latin-1 line by line, nothing trimmed.
        const QList<std::pair<QByteArray, QStringList>> lineCases{
            {"a\r\nb\r\n", {"a", "b"}},
            {"a\rb", {"a", "b"}},
            {"a\nb\n", {"a", "b"}},
            {"a\r\n\r\nb", {"a", "", "b"}},
            {" a \r\n", {" a "}},
            {"\xEF\xBB\xBF\xC3\xA9.mp3\r\n", {"\u00e9.mp3"}},
            {"\xE9.mp3\r\n", {"\u00e9.mp3"}},
            {"\xC3\xA9\r\n\xE9", {"\u00e9", "\u00e9"}},
            {"", {}},
            {QByteArray(40000, 'x') + "\r\nb", {"b"}}}; // too long
        for (const auto &[content, lines] : lineCases)
            QCOMPARE(PlaylistFile::lines(content), lines);
    }

    // A read-only folder, a full disk: false, and the old list stays whole.
    void failedWriteKeepsTheOldFile()
    {
        // Entries of 100 bytes: read-only; disk full, a long list and one within the write buffer.
        for (const auto &[full, entries] :
             QList<std::pair<bool, int>>{{false, 10}, {true, 200}, {true, 60}}) {
            const QByteArray row = QByteArray::number(entries) + " entries: ";
            QTemporaryDir folder;
            const QString list = folder.filePath("keep.m3u");
            // Full: two pages of room, one taken by the old list.
            std::unique_ptr<MountGuard> guard;
            if (full)
                guard = std::make_unique<TmpfsMount>(folder.path(), 2 * 4096);
            TestEnv::writeFile(list, "old\r\n");
            if (!full)
                guard = std::make_unique<ReadOnlyMount>(folder.path());
            TWR_SKIP_UNLESS_MOUNTED(*guard);
            QVERIFY2(!PlaylistFile::write(list, QStringList(entries, QString(98, u'p'))),
                     row.constData());
            QCOMPARE(row + TestEnv::readFile(list), row + "old\r\n");
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"keep.m3u"});
        }
    }
};

QTEST_GUILESS_MAIN(tst_JobListModel)
#include "tst_joblistmodel.moc"
