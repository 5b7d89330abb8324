#include "joblist/playlistfile.h"

#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

    void failedWriteKeepsTheOldFile()
    {
        QVERIFY(!PlaylistFile::write(m_dir.filePath("no/such/folder/x.m3u"), {"/a.mp3"}));
        const QString list = m_dir.filePath("keep.m3u");
        TestEnv::writeFile(list, "old\r\n");
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool written = PlaylistFile::write(list, {"/new.mp3"});
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (written)
            QSKIP("the folder stayed writable (running with elevated rights)");
        QCOMPARE(TestEnv::readFile(list), QByteArray("old\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_PlaylistFile)
#include "tst_playlistfile.moc"
