#include "joblist/playlistfile.h"

#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_PlaylistFile : public QObject
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
    void lines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("CR only") << QByteArray("a\rb") << QStringList{"a", "b"};
        QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("LF after blank CR line")
            << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("not trimmed") << QByteArray(" a \r\n") << QStringList{" a "};
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF\xC3\xA9.mp3\r\n")
                                        << QStringList{QString::fromUtf8("\xC3\xA9.mp3")};
        QTest::newRow("Latin-1 fallback")
            << QByteArray("\xE9.mp3\r\n") << QStringList{"\u00e9.mp3"};
        QTest::newRow("code page per line")
            << QByteArray("\xC3\xA9\r\n\xE9") << QStringList{"\u00e9", "\u00e9"};
        QTest::newRow("too long for a path")
            << QByteArray(40000, 'x') + "\r\nb" << QStringList{"b"};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }
    void lines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, lines);
        QCOMPARE(PlaylistFile::lines(content), lines);
    }

    void readKeepsOnlyExistingFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected"); // relative to the temporary folder
        QTest::newRow("extended M3U")
            << QByteArray("#EXTM3U\r\n#EXTINF:7,Artist - A\r\nABS/a.mp3\r\n# comment\r\n"
                          "missing.mp3\r\nsub/b.ogg\r\n")
            << QStringList{"a.mp3", "sub/b.ogg"};
        QTest::newRow("PLS numbered keys")
            << QByteArray("[playlist]\nFile1=ABS/a.mp3\nTitle1=A\nfile2 = sub/b.ogg\n"
                          "File3=missing.mp3\nNumberOfEntries=3\n")
            << QStringList{"a.mp3", "sub/b.ogg"};
        QTest::newRow("LF-only lines")
            << QByteArray("ABS/a.mp3\nABS/sub/b.ogg\n") << QStringList{"a.mp3", "sub/b.ogg"};
        QTest::newRow("file URLs")
            << QByteArray("file://ABS/sub/b.ogg\n") << QStringList{"sub/b.ogg"};
        QTest::newRow("relative to the playlist's folder")
            << QByteArray("sub/b.ogg\r\n../outside.mp3\r\n") << QStringList{"sub/b.ogg"};
        QTest::newRow("folder is not a file") << QByteArray("ABS/sub\r\n") << QStringList{};
    }
    void readKeepsOnlyExistingFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        touch("a.mp3");
        touch("sub/b.ogg");
        const QString list = m_dir.filePath("list.M3U");
        TestEnv::writeFile(list, content.replace("ABS", m_dir.path().toUtf8()));
        QStringList wanted;
        for (const QString &relative : expected)
            wanted << m_dir.filePath(relative);
        QCOMPARE(PlaylistFile::read(list), wanted);
    }

    void unreadablePlaylistGivesNothing()
    {
        QCOMPARE(PlaylistFile::read(m_dir.filePath("nope.m3u")), QStringList());
    }

    void writeIsCrLfAndRoundTripsNonAscii()
    {
        const QStringList paths{touch(QString::fromUtf8("ch\xC3\xA2nson \xE6\x97\xA5.mp3")),
                                touch("plain.wav"), touch(QString::fromUtf8("\xC3\xBC/x.ogg"))};
        const QString list = m_dir.filePath("MyPlaylist");
        QVERIFY(PlaylistFile::write(list, paths));
        const QByteArray bytes = TestEnv::readFile(list);
        QCOMPARE(bytes.count("\r\n"), 3);
        QVERIFY(bytes.endsWith("x.ogg\r\n"));
        QVERIFY(!bytes.startsWith("#"));
        QCOMPARE(PlaylistFile::read(list), paths);
    }

    void missingFolderFailsTheWrite()
    {
        QVERIFY(!PlaylistFile::write(m_dir.filePath("no/such/folder/x.m3u"), {"/a.mp3"}));
    }

    // A read-only folder, a full disk: false, and the old list stays whole.
    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<int>("entries"); // of 100 bytes
        QTest::newRow("read-only folder") << false << 10;
        QTest::newRow("disk full, long list") << true << 200;
        QTest::newRow("disk full, list within the write buffer") << true << 60;
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(bool, full);
        QFETCH(int, entries);
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
        QVERIFY(!PlaylistFile::write(list, QStringList(entries, QString(98, u'p'))));
        QCOMPARE(TestEnv::readFile(list), QByteArray("old\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"keep.m3u"});
    }
};

QTEST_GUILESS_MAIN(tst_PlaylistFile)
#include "tst_playlistfile.moc"
