// Tag round trips through FileInfo for each format, and what a save must never do.
#include "engine/engineerror.h"
#include "engine/fileinfo.h"
#include "tst_fileinfo_fixtures.h"

#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Expected
{
    QString title, artist, album, comment, genreS, copyright, composer, url, encodedBy,
        originalArtist;
    int genre = -1;
    qint32 year = 0;
    qint16 track = 0;
};

void fill(FileInfo &info, const Expected &e)
{
    info.Title = e.title;
    info.Artist = e.artist;
    info.Album = e.album;
    info.Comment = e.comment;
    info.Genre = e.genre;
    info.Year = e.year;
    info.Track = e.track;
    info.GenreS = e.genreS;
    info.Copyright = e.copyright;
    info.Composer = e.composer;
    info.URL = e.url;
    info.EncodedBy = e.encodedBy;
    info.OriginalArtist = e.originalArtist;
}

Expected fullSet(bool unicode)
{
    Expected e;
    e.title = unicode ? QStringLiteral("Größe – 夜の歌") : QStringLiteral("Night Song");
    e.artist = unicode ? QStringLiteral("Ærø Ensemble") : QStringLiteral("The Band");
    e.album = QStringLiteral("Album One");
    e.comment = unicode ? QStringLiteral("Привет, comment") : QStringLiteral("A comment");
    e.genre = 8; // Jazz
    e.genreS = QStringLiteral("Jazz Fusion");
    e.year = 2004;
    e.track = 7;
    e.copyright = QStringLiteral("(c) 2004 Someone");
    e.composer = unicode ? QStringLiteral("Dvořák") : QStringLiteral("Composer");
    e.url = QStringLiteral("https://example.org/band");
    e.encodedBy = QStringLiteral("Tonewright");
    e.originalArtist = QStringLiteral("First Artist");
    return e;
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class tst_Tags : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void mp3TagsAreIndependent();
    void id3v1Limits();
    void genreFreeText_data();
    void genreFreeText();
    void fileWithoutGenre();
    void unmodelledDataSurvives_data();
    void unmodelledDataSurvives();
    void readOnlyFileIsRefusedUntouched();
    void badTargetsAreRefused_data();
    void badTargetsAreRefused();
    void permissionsAndLinksAreKept();
    void basicVersionLeavesOtherFieldsAlone();

private:
    QString source(const QString &name);

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QMap<QString, QString> m_sources;
};

void tst_Tags::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

// One untagged file per kind, copied fresh for every test.
QString tst_Tags::source(const QString &name)
{
    const QString ext = QFileInfo(name).suffix();
    if (!m_sources.contains(ext)) {
        QStringList codec;
        if (ext == "ogg")
            codec = {"-c:a", "libvorbis"};
        else if (ext == "wma")
            codec = {"-c:a", "wmav2"};
        else if (ext == "opus")
            codec = {"-c:a", "libopus"};
        else if (ext == "mp3")
            codec = {"-c:a",         "libmp3lame", "-b:a",           "96k",
                     "-write_id3v1", "0",          "-id3v2_version", "0"};
        m_sources[ext] = Fixture::tone(m_dir.path(), "source." + ext, 1.5, codec);
    }
    const QString path = m_dir.filePath(name);
    QFile::remove(path);
    return QFile::copy(m_sources[ext], path) ? path : QString();
}

void tst_Tags::roundTrip_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("version");
    QTest::newRow("mp3 v1") << "mp3" << 1;
    QTest::newRow("mp3 v2") << "mp3" << 2;
    QTest::newRow("ogg v2") << "ogg" << 2;
    QTest::newRow("ogg v1") << "ogg" << 1;
    QTest::newRow("wma v2") << "wma" << 2;
    QTest::newRow("wav v2") << "wav" << 2;
    QTest::newRow("wav v1") << "wav" << 1;
    QTest::newRow("flac v2") << "flac" << 2;
    QTest::newRow("opus v2") << "opus" << 2;
    QTest::newRow("m4a v2") << "m4a" << 2;
}

void tst_Tags::roundTrip()
{
    QFETCH(QString, ext);
    QFETCH(int, version);
    const QString path = source("round." + ext);
    QVERIFY(!path.isEmpty());
    const QByteArray audio = Fixture::audioMd5(path);
    QVERIFY(!audio.isEmpty());

    const Expected e = fullSet(version == 2);
    FileInfo writer;
    writer.TagVersion = version;
    fill(writer, e);
    writer.SaveTag(path);
    const qint64 sizeAfterFirst = QFile(path).size();

    FileInfo reader;
    reader.TagVersion = version;
    reader.Load(path);
    QCOMPARE(reader.Title, e.title);
    QCOMPARE(reader.Artist, e.artist);
    QCOMPARE(reader.Album, e.album);
    QCOMPARE(reader.Comment, e.comment);
    QCOMPARE(reader.Genre, e.genre);
    QCOMPARE(reader.Year, e.year);
    QCOMPARE(reader.Track, e.track);
    if (version == 2) {
        QCOMPARE(reader.GenreS, e.genreS);
        QCOMPARE(reader.Copyright, e.copyright);
        QCOMPARE(reader.Composer, e.composer);
        QCOMPARE(reader.URL, e.url);
        QCOMPARE(reader.EncodedBy, e.encodedBy);
        QCOMPARE(reader.OriginalArtist, e.originalArtist);
    } else {
        // Version 1 has no place for these.
        QVERIFY(reader.GenreS.isEmpty());
        QVERIFY(reader.Copyright.isEmpty());
        QVERIFY(reader.OriginalArtist.isEmpty());
    }
    QVERIFY(reader.isAudio());

    // The audio is untouched, and saving the same tag again does not grow the file.
    QCOMPARE(Fixture::audioMd5(path), audio);
    reader.SaveTag(path);
    QCOMPARE(QFile(path).size(), sizeAfterFirst);
    QCOMPARE(Fixture::audioMd5(path), audio);

    // No ID3 block bolted onto formats that keep their own tag; no temporary file left over.
    const QByteArray bytes = Fixture::readAll(path);
    if (ext != "mp3") {
        QVERIFY(!bytes.startsWith("ID3"));
        QVERIFY(bytes.size() < 128 || !bytes.right(128).startsWith("TAG"));
    }
    QCOMPARE(filesIn(m_dir.path()).filter(".round.").size(), 0);

    // Another reader sees the tag too.
    const QJsonObject probe = Fixture::probe(path);
    QJsonObject tags = probe.value("format").toObject().value("tags").toObject();
    if (tags.isEmpty()) // Ogg keeps its comments on the stream
        tags = Fixture::audioStream(path).value("tags").toObject();
    QString probedTitle;
    for (auto it = tags.begin(); it != tags.end(); ++it) {
        if (it.key().compare("title", Qt::CaseInsensitive) == 0)
            probedTitle = it.value().toString();
    }
    if (!(ext == "mp3" && version == 1)) // ffprobe prefers an ID3v2 tag; this file has none
        QCOMPARE(probedTitle, e.title);
}

void tst_Tags::mp3TagsAreIndependent()
{
    const QString path = source("both.mp3");
    Expected two = fullSet(true);
    FileInfo info;
    info.TagVersion = 2;
    fill(info, two);
    info.SaveTag(path);

    Expected one;
    one.title = "Old Title";
    one.artist = "Old Artist";
    one.genre = 17;
    one.year = 1999;
    one.track = 3;
    FileInfo v1;
    v1.TagVersion = 1;
    fill(v1, one);
    v1.SaveTag(path);

    // ID3v2.3 as written, with the ID3v1 block at the end.
    const QByteArray bytes = Fixture::readAll(path);
    QVERIFY(bytes.startsWith("ID3"));
    QCOMPARE(int(bytes[3]), 3);
    QVERIFY(bytes.right(128).startsWith("TAG"));

    FileInfo read2;
    read2.TagVersion = 2;
    read2.Load(path);
    QCOMPARE(read2.Title, two.title);
    QCOMPARE(read2.Genre, 8);
    QCOMPARE(read2.Year, 2004);
    FileInfo read1;
    read1.TagVersion = 1;
    read1.Load(path);
    QCOMPARE(read1.Title, one.title);
    QCOMPARE(read1.Genre, 17);
    QCOMPARE(read1.Track, qint16(3));

    // Saving the v2 tag again leaves the v1 block byte for byte.
    read2.Album = "Changed";
    read2.SaveTag(path);
    QCOMPARE(Fixture::readAll(path).right(128), bytes.right(128));

    // And clearing the v1 tag removes only that block.
    FileInfo empty;
    empty.TagVersion = 1;
    empty.SaveTag(path);
    QVERIFY(!Fixture::readAll(path).right(128).startsWith("TAG"));
    read2.Load(path);
    QCOMPARE(read2.Album, QString("Changed"));
}

void tst_Tags::id3v1Limits()
{
    const QString path = source("limits.mp3");
    FileInfo info;
    info.TagVersion = 1;
    info.Title = QString(40, 'T');
    info.Artist = "Artist";
    info.Comment = QString(30, 'c');
    info.Track = 12;
    info.Year = 2010;
    info.Genre = 147;
    info.SaveTag(path);
    info.Load(path);
    QCOMPARE(info.Title, QString(30, 'T'));
    QCOMPARE(info.Comment, QString(28, 'c')); // the track byte takes the last two
    QCOMPARE(info.Track, qint16(12));
    QCOMPARE(info.Genre, 147);

    // Values out of range are not stored.
    info.Comment = QString(30, 'c');
    info.Track = 300;
    info.Year = 12345;
    info.Genre = 200;
    info.SaveTag(path);
    info.Load(path);
    QCOMPARE(info.Comment, QString(28, 'c'));
    QCOMPARE(info.Track, qint16(0));
    QCOMPARE(info.Year, 0);
    QVERIFY(info.Genre < 0 || info.Genre > 147);
    QCOMPARE(QFile(path).size(), QFile(m_sources["mp3"]).size() + 128);
}

void tst_Tags::genreFreeText_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("genre");
    QTest::addColumn<QString>("genreS");
    QTest::addColumn<int>("expectedGenre");
    QTest::addColumn<QString>("expectedGenreS");
    for (const QString ext : {"mp3", "ogg", "wma"}) {
        const QByteArray e = ext.toLatin1();
        QTest::newRow(e + " number only") << ext << 17 << "" << 17 << "Rock";
        QTest::newRow(e + " number and text") << ext << 8 << "Jazz Fusion" << 8 << "Jazz Fusion";
        QTest::newRow(e + " text only") << ext << -1 << "Chiptune" << -1 << "Chiptune";
        QTest::newRow(e + " text naming a genre") << ext << -1 << "rock" << 17 << "Rock";
        // Beyond the 148 standard names: TagLib stores this one as a number in ID3v2.
        QTest::newRow(e + " extended genre") << ext << -1 << "Krautrock" << -1 << "Krautrock";
        QTest::newRow(e + " none") << ext << -1 << "" << -1 << "";
    }
}

void tst_Tags::genreFreeText()
{
    QFETCH(QString, ext);
    QFETCH(int, genre);
    QFETCH(QString, genreS);
    QFETCH(int, expectedGenre);
    QFETCH(QString, expectedGenreS);
    const QString path = source("genre." + ext);
    FileInfo info;
    info.TagVersion = 2;
    info.Title = "x";
    info.Genre = genre;
    info.GenreS = genreS;
    info.SaveTag(path);
    FileInfo read;
    read.TagVersion = 2;
    read.Load(path);
    QCOMPARE(read.Genre, expectedGenre);
    QCOMPARE(read.GenreS, expectedGenreS);
}

void tst_Tags::fileWithoutGenre()
{
    // Written by another program, with a title but no genre.
    const QString path = Fixture::make(m_dir.path(), "nogenre.mp3",
                                       {"-f", "lavfi", "-i", "sine=duration=1", "-metadata",
                                        "title=Only a title", "-id3v2_version", "3"});
    for (int version : {1, 2}) {
        FileInfo info;
        info.TagVersion = version;
        info.Load(path);
        QVERIFY(info.Genre < 0 || info.Genre > 147);
        QCOMPARE(info.Title, version == 2 ? QString("Only a title") : QString());
    }
}

void tst_Tags::unmodelledDataSurvives_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<bool>("picture");
    QTest::newRow("mp3") << "mp3" << true;
    QTest::newRow("mp3 with ID3v2.4") << "mp3-24" << true;
    QTest::newRow("flac") << "flac" << true;
    QTest::newRow("ogg") << "ogg" << false;
    QTest::newRow("wma") << "wma" << false;
}

void tst_Tags::unmodelledDataSurvives()
{
    QFETCH(QString, ext);
    QFETCH(bool, picture);
    const bool v24 = ext == "mp3-24";
    if (v24)
        ext = "mp3";
    // A file tagged elsewhere, with a field of its own and (where ffmpeg can) a cover.
    const QString cover = Fixture::make(
        m_dir.path(), "cover.png", {"-f", "lavfi", "-i", "testsrc=size=32x32", "-frames:v", "1"});
    QStringList args{"-f", "lavfi", "-i", "sine=duration=1"};
    if (picture)
        args << "-i" << cover << "-map"
             << "0"
             << "-map"
             << "1"
             << "-c:v"
             << "copy"
             << "-disposition:v"
             << "attached_pic";
    if (ext == "ogg")
        args << "-c:a"
             << "libvorbis";
    if (ext == "wma")
        args << "-c:a"
             << "wmav2";
    if (ext == "mp3")
        args << "-id3v2_version" << QString(v24 ? "4" : "3");
    args << "-metadata"
         << "mood=calm"
         << "-metadata"
         << "title=Before";
    const QString path = Fixture::make(m_dir.path(), "extra." + ext, args);
    QVERIFY(!path.isEmpty());
    const QByteArray audio = Fixture::audioMd5(path);
    auto pictureBytes = [&] {
        if (!picture)
            return QByteArray();
        const QString out = m_dir.filePath("pic-" + ext + ".png");
        QFile::remove(out);
        Fixture::make(m_dir.path(), "pic-" + ext + ".png",
                      {"-i", path, "-map", "0:v", "-c", "copy", "-f", "image2"});
        return Fixture::readAll(out);
    };
    const QByteArray before = pictureBytes();
    QVERIFY(!picture || !before.isEmpty());

    FileInfo info;
    info.TagVersion = 2;
    info.Load(path);
    QCOMPARE(info.Title, QString("Before"));
    info.Title = "After";
    info.Artist = "Someone";
    info.SaveTag(path);

    QCOMPARE(Fixture::audioMd5(path), audio);
    QCOMPARE(pictureBytes(), before);
    if (ext == "mp3") // an ID3v2.4 tag stays 2.4, so nothing 2.3 lacks is dropped
        QCOMPARE(int(Fixture::readAll(path).at(3)), v24 ? 4 : 3);
    const QJsonObject format = Fixture::probe(path).value("format").toObject();
    QJsonObject tags = format.value("tags").toObject();
    if (ext == "ogg")
        tags = Fixture::audioStream(path).value("tags").toObject();
    QString mood;
    for (auto it = tags.begin(); it != tags.end(); ++it) {
        if (it.key().compare("mood", Qt::CaseInsensitive) == 0)
            mood = it.value().toString();
    }
    QCOMPARE(mood, QString("calm"));
    info.Load(path);
    QCOMPARE(info.Title, QString("After"));
}

void tst_Tags::readOnlyFileIsRefusedUntouched()
{
    const QString path = source("readonly.mp3");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = Fixture::readAll(path);
    const QStringList filesBefore = filesIn(m_dir.path());
    FileInfo info;
    info.TagVersion = 2;
    info.Title = "Should not be written";
    QVERIFY_THROWS_EXCEPTION(EngineError, info.SaveTag(path));
    QCOMPARE(Fixture::readAll(path), before);
    QCOMPARE(filesIn(m_dir.path()), filesBefore);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

void tst_Tags::badTargetsAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("text named mp3") << "text";
    QTest::newRow("empty ogg") << "empty";
}

void tst_Tags::badTargetsAreRefused()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == "empty" ? "x.ogg" : "x.mp3");
    QByteArray content = kind == "text" ? QByteArray("plain text, no audio\n") : QByteArray();
    if (kind != "missing") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    FileInfo info;
    info.TagVersion = 2;
    info.Title = "x";
    QVERIFY_THROWS_EXCEPTION(EngineError, info.SaveTag(path));
    QCOMPARE(QFile::exists(path), kind != "missing");
    if (kind != "missing")
        QCOMPARE(Fixture::readAll(path), content);
    QCOMPARE(filesIn(dir.path()).size(), kind == "missing" ? 0 : 1);
}

void tst_Tags::permissionsAndLinksAreKept()
{
    const QString path = source("perm.ogg");
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, mode));
    const QString link = m_dir.filePath("link.ogg");
    QVERIFY(QFile::link(path, link));
    FileInfo info;
    info.TagVersion = 2;
    info.Title = "Through a link";
    info.SaveTag(link);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), mode);
    FileInfo read;
    read.TagVersion = 2;
    read.Load(path);
    QCOMPARE(read.Title, QString("Through a link"));
}

void tst_Tags::basicVersionLeavesOtherFieldsAlone()
{
    // Version 1 on a format with its own tag touches only the seven basic fields.
    const QString path = source("basic.ogg");
    FileInfo full;
    full.TagVersion = 2;
    fill(full, fullSet(true));
    full.SaveTag(path);

    FileInfo basic;
    basic.TagVersion = 1;
    basic.Load(path);
    QCOMPARE(basic.Title, fullSet(true).title);
    QVERIFY(basic.Composer.isEmpty());
    basic.Title = "Basic";
    basic.Genre = 17;
    basic.SaveTag(path);

    FileInfo read;
    read.TagVersion = 2;
    read.Load(path);
    QCOMPARE(read.Title, QString("Basic"));
    QCOMPARE(read.Genre, 17);
    QCOMPARE(read.GenreS, QString("Jazz Fusion")); // the free text stays
    QCOMPARE(read.Composer, fullSet(true).composer);
    QCOMPARE(read.URL, fullSet(true).url);
}

QTEST_GUILESS_MAIN(tst_Tags)
#include "tst_tags.moc"
