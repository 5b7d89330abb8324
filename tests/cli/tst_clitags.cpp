// twr-convert carries the source's tag over to every output format.
#include "engine/fileinfo.h"
#include "tests/support/audiofixtures.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_CliTags : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tagIsCarriedOver_data();
    void tagIsCarriedOver();
    void untaggedSourceGivesUntaggedOutput();

private:
    int convert(const QStringList &args);

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_tagged;
    QByteArray m_taggedBytes;
};

int tst_CliTags::convert(const QStringList &args)
{
    QProcess p;
    p.start(QDir(TestEnv::binDir()).filePath("twr-convert"), args);
    if (!p.waitForFinished(120000))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void tst_CliTags::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_tagged = AudioFixtures::make(m_dir.path(), "tagged.mp3", 1.5, 44100, 2,
                                   {"-c:a", "libmp3lame", "-b:a", "128k"});
    QVERIFY(!m_tagged.isEmpty());
    FileInfo info;
    info.TagVersion = 2;
    info.Title = QStringLiteral("Über den Wolken");
    info.Artist = QStringLiteral("Artist 歌");
    info.Album = QStringLiteral("Album");
    info.Genre = 17;
    info.GenreS = QStringLiteral("Krautrock");
    info.Year = 1975;
    info.Comment = QStringLiteral("Comment");
    info.Track = 4;
    info.Copyright = QStringLiteral("(c) 1975");
    info.Composer = QStringLiteral("Composer");
    info.URL = QStringLiteral("https://example.org/");
    info.EncodedBy = QStringLiteral("Encoder");
    info.OriginalArtist = QStringLiteral("Original");
    info.SaveTag(m_tagged);
    m_taggedBytes = TestEnv::readFile(m_tagged);
}

void tst_CliTags::tagIsCarriedOver_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("mp3") << "mp3";
    QTest::newRow("ogg") << "ogg";
    QTest::newRow("wma") << "wma";
    QTest::newRow("wav") << "wav";
}

void tst_CliTags::tagIsCarriedOver()
{
    QFETCH(QString, format);
    QTemporaryDir out;
    QCOMPARE(convert({"--format", format, "--output-dir", out.path(), m_tagged}), 0);
    const QString output = out.filePath("tagged." + format);
    QVERIFY(QFile::exists(output));

    FileInfo source;
    source.TagVersion = 2;
    source.Load(m_tagged);
    FileInfo copy;
    copy.TagVersion = 2;
    copy.Load(output);
    QVERIFY(copy.isAudio());
    QCOMPARE(copy.Title, source.Title);
    QCOMPARE(copy.Artist, source.Artist);
    QCOMPARE(copy.Album, source.Album);
    QCOMPARE(copy.Genre, 17);
    QCOMPARE(copy.GenreS, QString("Krautrock"));
    QCOMPARE(copy.Year, 1975);
    QCOMPARE(copy.Comment, source.Comment);
    QCOMPARE(copy.Track, qint16(4));
    QCOMPARE(copy.Copyright, source.Copyright);
    QCOMPARE(copy.Composer, source.Composer);
    QCOMPARE(copy.URL, source.URL);
    QCOMPARE(copy.EncodedBy, source.EncodedBy);
    QCOMPARE(copy.OriginalArtist, source.OriginalArtist);

    // Another reader agrees, and the source was only read.
    QCOMPARE(AudioFixtures::probe(output).value("codec_name").toString().isEmpty(), false);
    QCOMPARE(TestEnv::readFile(m_tagged), m_taggedBytes);
}

void tst_CliTags::untaggedSourceGivesUntaggedOutput()
{
    const QString plain = AudioFixtures::make(m_dir.path(), "plain.wav", 1.0);
    QTemporaryDir out;
    QCOMPARE(convert({"--format", "mp3", "--output-dir", out.path(), plain}), 0);
    FileInfo copy;
    copy.TagVersion = 2;
    copy.Load(out.filePath("plain.mp3"));
    QVERIFY(copy.isAudio());
    QVERIFY(copy.Title.isEmpty());
    QVERIFY(copy.Genre < 0);
}

QTEST_GUILESS_MAIN(tst_CliTags)
#include "tst_clitags.moc"
