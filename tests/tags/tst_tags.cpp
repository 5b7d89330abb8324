// Tag round trips through FileInfo for each format, and what a save must never do.
#include "engine/converter.h"
#include "engine/engineerror.h"
#include "tags/fileinfo.h"
#include "tags/id3v2tagsize.h"
#include "tests/support/fixture.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Every field set; `unicode` puts text beyond Latin-1 into several of them.
FileInfo fullSet(int version, bool unicode)
{
    FileInfo e;
    e.TagVersion = version;
    e.Title = unicode ? QStringLiteral("Größe – 夜の歌") : QStringLiteral("Night Song");
    e.Artist = unicode ? QStringLiteral("Ærø Ensemble") : QStringLiteral("The Band");
    e.Album = QStringLiteral("Album One");
    e.Comment = unicode ? QStringLiteral("Привет, comment") : QStringLiteral("A comment");
    e.Genre = 8; // Jazz
    e.GenreS = QStringLiteral("Jazz Fusion");
    e.Year = 2004;
    e.Track = 7;
    e.Copyright = QStringLiteral("(c) 2004 Someone");
    e.Composer = unicode ? QStringLiteral("Dvořák") : QStringLiteral("Composer");
    e.URL = QStringLiteral("https://example.org/band");
    e.EncodedBy = QStringLiteral("Tonewright");
    e.OriginalArtist = QStringLiteral("First Artist");
    return e;
}

// All fields as texts, to compare at once; version 1 has no place for the last six.
QStringList fields(const TagFields &f, int version = 2)
{
    return Fixture::tagTexts(f).mid(0, version == 2 ? 13 : 7);
}

// A tag of `version` with only `title` set.
FileInfo titled(int version, const QString &title = {})
{
    FileInfo info;
    info.TagVersion = version;
    info.Title = title;
    return info;
}

FileInfo loaded(const QString &path, int version)
{
    FileInfo info = titled(version);
    info.Load(path);
    return info;
}

// The tag as an independent reader (mutagen) sees it: the tag type's name under "type", the
// number of pictures under "pictures", then each key with its values as texts ("7/0" for
// MP4's track pair, free-form atoms decoded).
QJsonObject mutagenTags(const QString &path)
{
    static const char *script = R"(
import json, sys, mutagen
f = mutagen.File(sys.argv[1])
out = {"type": type(f.tags).__name__}
out["pictures"] = len(getattr(f, "pictures", []) or f.tags.get("metadata_block_picture", [])
                      or f.tags.get("covr", []))
text = lambda v: "/".join(map(str, v)) if isinstance(v, tuple) else (
    v.decode("utf-8", "replace") if isinstance(v, bytes) else str(v))
out.update((key, [text(v) for v in values]) for key, values in f.tags.items())
print(json.dumps(out))
)";
    QByteArray out;
    return TestEnv::python({"-c", script, path}, &out) == 0 ? QJsonDocument::fromJson(out).object()
                                                            : QJsonObject();
}

} // namespace

class tst_Tags : public QObject
{
    Q_OBJECT

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QMap<QString, QString> m_sources;

    // One untagged file per kind, copied fresh (into `dir`, or the test's folder) for every test.
    QString source(const QString &name, const QString &dir = {})
    {
        const QString ext = QFileInfo(name).suffix();
        if (!m_sources.contains(ext)) {
            const QMap<QString, QStringList> codecs{
                {"ogg", {"-c:a", "libvorbis"}},
                {"wma", {"-c:a", "wmav2"}},
                {"opus", {"-c:a", "libopus"}},
                {"mp3", {"-b:a", "96k", "-write_id3v1", "0", "-id3v2_version", "0"}}};
            m_sources[ext] = Fixture::tone(m_dir.path(), "source." + ext, 1.5, codecs.value(ext));
        }
        const QString path = QDir(dir.isEmpty() ? m_dir.path() : dir).filePath(name);
        QFile::remove(path);
        return QFile::copy(m_sources[ext], path) ? path : QString();
    }

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("version");
        for (const char *ext : {"mp3", "ogg", "wav"})
            QTest::addRow("%s v1", ext) << QString(ext) << 1;
        for (const char *ext : {"mp3", "ogg", "wma", "wav", "flac", "opus", "m4a"})
            QTest::addRow("%s v2", ext) << QString(ext) << 2;
    }

    void roundTrip()
    {
        QFETCH(QString, ext);
        QFETCH(int, version);
        const QString path = source("round." + ext);
        QVERIFY(!path.isEmpty());
        const QByteArray audio = Fixture::audioMd5(path);
        QVERIFY(!audio.isEmpty());

        const FileInfo e = fullSet(version, version == 2);
        FileInfo(e).SaveTag(path);
        const qint64 sizeAfterFirst = QFile(path).size();

        FileInfo reader = loaded(path, version);
        QVERIFY(reader.isAudio());
        QCOMPARE(fields(reader), fields(e, version) + QStringList(version == 2 ? 0 : 6, QString()));

        // The audio is untouched, and saving the same tag again does not grow the file.
        QCOMPARE(Fixture::audioMd5(path), audio);
        reader.SaveTag(path);
        QCOMPARE(QFile(path).size(), sizeAfterFirst);
        QCOMPARE(Fixture::audioMd5(path), audio);

        // No ID3 block bolted onto formats that keep their own tag; no temporary file left over.
        const QByteArray bytes = TestEnv::readFile(path);
        QCOMPARE(bytes.startsWith("ID3") || bytes.right(128).startsWith("TAG"), ext == "mp3");
        QCOMPARE(TestEnv::files(m_dir.path()).filter(".round.").size(), 0);
        QCOMPARE(Fixture::tag(path, "title"), e.Title);
    }

    // A conversion writes the whole tag into the new formats' own tags, and the tag editor
    // saves them there without touching the audio.
    void newFormatsGetNativeTags_data()
    {
        QTest::addColumn<QString>("type"); // the row's name is the output's extension
        // Title, artist, album, date, track, comment, genre, copyright, composer, then the
        // ReplayGain and a field the editor does not show ("mood").
        QTest::addColumn<QStringList>("keys");
        const QStringList vorbis = QString("title artist album date tracknumber comment genre "
                                           "copyright composer replaygain_track_gain mood")
                                       .split(' ');
        QTest::newRow("flac") << QString("VCFLACDict") << vorbis;
        // Opus keeps the gain as R128 (Q7.8 dB, 5 dB below ReplayGain's reference).
        QStringList opus = vorbis;
        opus.replace(9, "r128_track_gain");
        QTest::newRow("opus") << QString("OggOpusVComment") << opus;
        const QString freeForm = "----:com.apple.iTunes:";
        QTest::newRow("m4a")
            << QString("MP4Tags")
            << (QString("\u00a9nam \u00a9ART \u00a9alb \u00a9day trkn \u00a9cmt \u00a9gen "
                        "cprt \u00a9wrt %1replaygain_track_gain %1MOOD")
                    .arg(freeForm)
                    .split(' '));
    }

    void newFormatsGetNativeTags()
    {
        const QString ext = QTest::currentDataTag();
        QFETCH(QString, type);
        QFETCH(QStringList, keys);
        // Tagged elsewhere with a cover and fields the tag editor does not show, then in it.
        const QString cover =
            Fixture::make(m_dir.path(), "cover.png",
                          {"-f", "lavfi", "-i", "testsrc=size=32x32", "-frames:v", "1"});
        const QString from = Fixture::make(
            m_dir.path(), "native-source.mp3",
            QStringList{"-f", "lavfi", "-i", "sine=duration=1.5", "-i", cover} +
                QString("-map 0 -map 1 -c:v copy -disposition:v attached_pic -id3v2_version 3 "
                        "-metadata mood=calm -metadata")
                    .split(' ') +
                QStringList{"REPLAYGAIN_TRACK_GAIN=-3.20 dB"});
        QVERIFY(!from.isEmpty());
        const FileInfo e = fullSet(2, true);
        FileInfo(e).SaveTag(from);

        const QString out = m_dir.filePath("native." + ext);
        Converter writer;
        QCOMPARE(Fixture::convert(writer, from, out), QString());
        QStringList expected{type, "1"}; // the tag's type, one picture, then the keys' values
        expected << e.Title << e.Artist << e.Album << QString::number(e.Year)
                 << (ext == "m4a" ? "7/0" : "7") << e.Comment << e.GenreS << e.Copyright
                 << e.Composer << (ext == "opus" ? "-2099" : "-3.20 dB") << "calm";
        auto seen = [&] {
            const QJsonObject tags = mutagenTags(out);
            QStringList got{tags.value("type").toString(),
                            QString::number(tags.value("pictures").toInt())};
            for (const QString &key : keys)
                got << tags.value(key).toArray().first().toString();
            return got;
        };
        QCOMPARE(seen(), expected);
        QCOMPARE(fields(loaded(out, 2)), fields(e));

        // The editor's save: the new title in the same native tag, the audio as it was.
        const QByteArray audio = Fixture::audioMd5(out);
        FileInfo edited = loaded(out, 2);
        edited.Title = expected[2] = QStringLiteral("Edited – 編集");
        edited.SaveTag(out);
        QCOMPARE(seen(), expected);
        QCOMPARE(Fixture::audioMd5(out), audio);
    }

    void mp3TagsAreIndependent()
    {
        const QString path = source("both.mp3");
        fullSet(2, true).SaveTag(path);
        FileInfo one = titled(1, "Old Title");
        one.Genre = 17;
        one.Track = 3;
        one.SaveTag(path);

        // ID3v2.3 as written, with the ID3v1 block at the end.
        const QByteArray bytes = TestEnv::readFile(path);
        QVERIFY(bytes.startsWith("ID3\x03"));
        QVERIFY(bytes.right(128).startsWith("TAG"));

        FileInfo read2 = loaded(path, 2);
        QCOMPARE(fields(read2), fields(fullSet(2, true)));
        QCOMPARE(fields(loaded(path, 1), 1), fields(one, 1));

        // Saving the v2 tag again leaves the v1 block byte for byte.
        read2.Album = "Changed";
        read2.SaveTag(path);
        QCOMPARE(TestEnv::readFile(path).right(128), bytes.right(128));

        // And clearing the v1 tag removes only that block.
        titled(1).SaveTag(path);
        QVERIFY(!TestEnv::readFile(path).right(128).startsWith("TAG"));
        QCOMPARE(loaded(path, 2).Album, QString("Changed"));
    }

    void id3v1Limits()
    {
        const QString path = source("limits.mp3");
        FileInfo info = titled(1, QString(40, 'T'));
        info.Comment = QString(30, 'c');
        info.Track = 12;
        info.Genre = 147;
        info.SaveTag(path);
        info.Load(path);
        QCOMPARE(info.Title, QString(30, 'T'));
        QCOMPARE(info.Comment, QString(28, 'c')); // the track byte takes the last two
        QCOMPARE(info.Track, qint16(12));
        QCOMPARE(info.Genre, 147);

        // Values out of range are not stored.
        info.Track = 300;
        info.Year = 12345;
        info.Genre = 200;
        info.SaveTag(path);
        info.Load(path);
        QCOMPARE(info.Track, qint16(0));
        QCOMPARE(info.Year, 0);
        QVERIFY(info.Genre < 0 || info.Genre > 147);
        QCOMPARE(QFile(path).size(), QFile(m_sources["mp3"]).size() + 128);
    }

    void genres()
    {
        // A number alone, a text naming a standard genre, one beyond the 148 standard names
        // (which TagLib stores as a number in ID3v2).
        const QString path = source("genre.mp3");
        const QList<std::tuple<int, QString, int, QString>> cases{
            {17, "", 17, "Rock"}, {-1, "rock", 17, "Rock"}, {-1, "Krautrock", -1, "Krautrock"}};
        for (const auto &[genre, text, expected, expectedText] : cases) {
            FileInfo info = titled(2, "x");
            info.Genre = genre;
            info.GenreS = text;
            info.SaveTag(path);
            QCOMPARE(loaded(path, 2).Genre, expected);
            QCOMPARE(loaded(path, 2).GenreS, expectedText);
        }

        // Written by another program, with a title but no genre: no genre is read.
        const QString other = Fixture::make(m_dir.path(), "nogenre.mp3",
                                            {"-f", "lavfi", "-i", "sine=duration=1", "-metadata",
                                             "title=Only a title", "-id3v2_version", "3"});
        for (int version : {1, 2}) {
            const FileInfo none = loaded(other, version);
            QVERIFY(none.Genre < 0 || none.Genre > 147);
            QCOMPARE(none.Title, version == 2 ? QString("Only a title") : QString());
        }
    }

    void badTargetsAreRefusedUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"read-only mp3", "missing", "text named mp3", "empty ogg",
                                 "read-only folder", "disk full"})
            QTest::newRow(kind) << QString(kind);
    }

    void badTargetsAreRefusedUntouched()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        std::unique_ptr<MountGuard> guard;
        if (kind == "disk full") // room for the file, its copy and a little
            guard = std::make_unique<TmpfsMount>(dir.path(),
                                                 2 * QFile(source("size.mp3")).size() + 3 * 4096);
        QString path = dir.filePath(kind == "empty ogg" ? "x.ogg" : "x.mp3");
        if (kind == "text named mp3" || kind == "empty ogg")
            TestEnv::writeFile(path, kind == "text named mp3" ? "plain text, no audio\n" : "");
        else if (kind != "missing")
            QVERIFY(!source("x.mp3", dir.path()).isEmpty());
        if (kind == "read-only mp3")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        if (kind == "read-only folder")
            guard = std::make_unique<ReadOnlyMount>(dir.path());
        if (guard)
            TWR_SKIP_UNLESS_MOUNTED(*guard);

        const QByteArray before = TestEnv::readFile(path);
        FileInfo info = titled(2, "Should not be written");
        info.Comment = QString(40000, u'c'); // more than the full disk holds
        QVERIFY_THROWS_EXCEPTION(EngineError, info.SaveTag(path));
        QCOMPARE(QFile::exists(path), kind != "missing");
        QCOMPARE(TestEnv::readFile(path), before);
        QCOMPARE(TestEnv::files(dir.path()).size(), kind == "missing" ? 0 : 1);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    // Version 1 on a format with its own tag touches only the seven basic fields; a save
    // through a link keeps the link and the file's permissions.
    void basicSaveThroughALink()
    {
        const QString path = source("basic.ogg");
        const FileInfo full = fullSet(2, true);
        FileInfo(full).SaveTag(path);
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, mode));
        const QString link = m_dir.filePath("link.ogg");
        QVERIFY(QFile::link(path, link));

        FileInfo basic = loaded(link, 1);
        QCOMPARE(fields(basic, 1), fields(full, 1));
        QVERIFY(basic.Composer.isEmpty());
        basic.Title = "Basic";
        basic.Genre = 17;
        basic.SaveTag(link);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), mode);
        FileInfo expected = full;
        expected.Title = "Basic";
        expected.Genre = 17; // the free text stays
        QCOMPARE(fields(loaded(path, 2)), fields(expected));
    }

    void id3v2TagSizeFromHeader()
    {
        // Sizes are synchsafe: seven bits a byte, so 01 7f stands for 255. A header with the
        // footer flag adds the footer; a size byte with its top bit set, a short header, or
        // none at all give 0.
        const QList<std::pair<const char *, qint64>> cases{
            {"4944330300000000017f", 10 + 255},
            {"4944330400100000017f", 10 + 255 + 10},
            {"4944330300007f7f7f7f", 10 + (1 << 28) - 1},
            {"494433030000000000100000", 26},
            {"49443303000000000180", 0},
            {"494433030000000001", 0},
            {"54414703000000000100", 0}};
        for (const auto &[hex, size] : cases)
            QCOMPARE(id3v2TagSize(QByteArray::fromHex(hex)), size);
    }
};

QTEST_GUILESS_MAIN(tst_Tags)
#include "tst_tags.moc"
