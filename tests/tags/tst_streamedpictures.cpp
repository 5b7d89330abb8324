// Pictures written as a stream into Ogg Vorbis and Opus comment headers, checked page by page
// by a walker of the test's own (its own CRC too) and by readers we did not write.
#include "engine/engineerror.h"
#include "tags/streamedpictures.h"
#include "tests/support/fixture.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <taglib/fileref.h>
#include <taglib/wavfile.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

// Bit by bit, unlike the program's table: polynomial 0x04C11DB7 from zero.
quint32 oggCrc(const QByteArray &bytes)
{
    quint32 crc = 0;
    for (char c : bytes) {
        crc ^= quint32(uchar(c)) << 24;
        for (int i = 0; i < 8; ++i)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// The packets of an Ogg file with one stream; a fault of its page structure fails the test.
QList<QByteArray> packetsOf(const QString &path)
{
    const QByteArray file = TestEnv::readFile(path);
    QList<QByteArray> packets{{}};
    qint64 at = 0;
    bool open = false; // the last page ended inside a packet
    for (quint32 sequence = 0; at < file.size(); ++sequence) {
        const auto *h = reinterpret_cast<const uchar *>(file.constData() + at);
        if (file.mid(at, 4) != "OggS" || at + 27 > file.size())
            qFatal("no page at byte %lld", at);
        const int segments = h[26];
        qint64 size = 27 + segments;
        for (int s = 0; s < segments; ++s)
            size += h[27 + s];
        QByteArray page = file.mid(at, size);
        const quint32 crc = qFromLittleEndian<quint32>(h + 22);
        page.replace(22, 4, QByteArray(4, '\0'));
        if (crc != oggCrc(page) || qFromLittleEndian<quint32>(h + 18) != sequence ||
            bool(h[5] & 1) != open)
            qFatal("page %u: checksum, number or continuation wrong", sequence);
        qint64 body = at + 27 + segments;
        bool ends = false;
        for (int s = 0; s < segments; ++s) {
            packets.last() += file.mid(body, h[27 + s]);
            body += h[27 + s];
            if (h[27 + s] < 255) {
                packets.append(QByteArray());
                ends = true;
            }
        }
        open = segments > 0 && h[27 + segments - 1] == 255;
        if (!ends && qFromLittleEndian<qint64>(h + 6) != -1)
            qFatal("page %u: a granule position but no packet ends there", sequence);
        at += size;
    }
    packets.removeLast();
    return packets;
}

// The pictures in a comment packet, as FLAC picture blocks.
QList<QByteArray> picturesIn(const QByteArray &comment, bool vorbis)
{
    if (comment.size() < (vorbis ? 7 : 8) + 8)
        return {};
    QList<QByteArray> out;
    qsizetype at = (vorbis ? 7 : 8);
    at += 4 + qFromLittleEndian<quint32>(comment.constData() + at);
    const quint32 count = qFromLittleEndian<quint32>(comment.constData() + at);
    at += 4;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 length = qFromLittleEndian<quint32>(comment.constData() + at);
        const QByteArray field = comment.mid(at + 4, length);
        if (field.startsWith("METADATA_BLOCK_PICTURE="))
            out << QByteArray::fromBase64(field.mid(23));
        at += 4 + length;
    }
    return out;
}

QByteArray block(const TagPicture &p)
{
    QByteArray b;
    const auto put = [&b](quint32 v) {
        char x[4];
        qToBigEndian(v, x);
        b.append(x, 4);
    };
    put(quint32(p.type));
    put(quint32(p.mime.size()));
    b += p.mime.toCString();
    const TagLib::ByteVector description = p.description.data(TagLib::String::UTF8);
    put(description.size());
    b.append(description.data(), description.size());
    for (int i = 0; i < 4; ++i)
        put(0);
    put(p.data.size());
    return b + QByteArray(p.data.data(), p.data.size());
}

// The tag library's save with stand-ins, as a conversion makes it; what the format could not
// hold.
QStringList prepare(const QString &path, const std::vector<TagPicture> &pictures,
                    int id3Version = 4)
{
    TagLib::FileRef file(QFile::encodeName(path).constData(), false);
    const QStringList lost = TagPictures::write(file.file(), StreamedPictures::standIns(pictures));
    auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file.file());
    const bool saved = wav ? wav->save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripNone,
                                       id3Version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4)
                           : file.save();
    return saved ? lost : QStringList{"not saved"};
}

// The same, then the pictures streamed in the stand-ins' place.
QStringList stream(const QString &path, const std::vector<TagPicture> &pictures, int id3Version = 4)
{
    const QStringList lost = prepare(path, pictures, id3Version);
    StreamedPictures::replaceStandIns(path, pictures, path);
    return lost;
}

// The file decodes without an error, to the audio of `plain`.
void decodesAsBefore(const QString &path, const QString &plain)
{
    const QByteArray before = Fixture::decode(plain);
    QVERIFY(!before.isEmpty());
    QCOMPARE(Fixture::decodeStrictly(path, "f32le"), before);
}

TagPicture picture(int bytes, int type, const char *description)
{
    QByteArray data(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        data[i] = char((qint64(i) * 7919) >> 3);
    return {TagLib::ByteVector(data.constData(), uint(bytes)), "image/png", type,
            TagLib::String(description, TagLib::String::UTF8)};
}

} // namespace

class StreamedPicturesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_vorbis, m_opus;

private slots:
    void initTestCase()
    {
        m_vorbis = Fixture::tone(m_dir.path(), "v.ogg", 2, {"-c:a", "libvorbis"});
        m_opus = Fixture::tone(m_dir.path(), "o.opus", 2, {"-c:a", "libopus"});
        QVERIFY(!m_vorbis.isEmpty() && !m_opus.isEmpty());
    }

    void pagesAroundEveryBoundary_data()
    {
        QTest::addColumn<bool>("vorbis");
        QTest::newRow("vorbis") << true;
        QTest::newRow("opus") << false;
    }

    // Base64 grows by 4 bytes for 3, so 256 sizes in steps of 3 end the comment at every place of
    // its last segment, across the end of the first full page (255 x 255 bytes).
    void pagesAroundEveryBoundary()
    {
        QFETCH(bool, vorbis);
        const QString source = vorbis ? m_vorbis : m_opus;
        const QList<QByteArray> before = packetsOf(source);
        const QString path = m_dir.filePath(vorbis ? "x.ogg" : "x.opus");
        for (int size = 48400; size < 48400 + 3 * 256; size += 3) {
            QFile::remove(path);
            QVERIFY(QFile::copy(source, path));
            const std::vector<TagPicture> pictures{picture(size, 3, "front"), picture(100, 4, "")};
            QCOMPARE(stream(path, pictures), QStringList());
            const QList<QByteArray> after = packetsOf(path);
            // Only the comment changed: it holds both pictures after the fields it had.
            QCOMPARE(after.size(), before.size());
            for (qsizetype i = 0; i < after.size(); ++i) {
                if (i != 1)
                    QVERIFY2(after[i] == before[i], qPrintable(QString::number(i)));
            }
            QVERIFY(after[1].startsWith(before[1].left(vorbis ? 7 : 8)));
            QCOMPARE(picturesIn(after[1], vorbis),
                     (QList<QByteArray>{block(pictures[0]), block(pictures[1])}));
            QVERIFY(picturesIn(before[1], vorbis).isEmpty());
            QCOMPARE(after[1].endsWith('\x01'), vorbis); // the framing bit stays last
        }
    }

    void readersWeDidNotWrite()
    {
        const QString path = m_dir.filePath("read.opus");
        QVERIFY(QFile::copy(m_opus, path));
        const TagPicture large = picture(300000, 3, "Größe"); // a comment over many pages
        QCOMPARE(stream(path, {large}), QStringList());
        QCOMPARE(picturesIn(packetsOf(path).value(1), false), QList<QByteArray>{block(large)});
        decodesAsBefore(path, m_opus);
        QByteArray out;
        QCOMPARE(TestEnv::tagMatrix({"pictures", path}, &out), 0);
        QCOMPARE(out, QByteArray("3 image/png Größe 300000\n"));
    }

    void wavChunks_data()
    {
        QTest::addColumn<int>("version"); // of the tag already there, 0 for none
        QTest::addColumn<int>("bytes");   // of the picture
        QTest::newRow("no tag yet") << 0 << 1001;
        QTest::newRow("ID3v2.3 tag") << 3 << 70000;
        QTest::newRow("ID3v2.4 tag, odd picture") << 4 << 3333;
    }

    void wavChunks()
    {
        QFETCH(int, version);
        QFETCH(int, bytes);
        const QString plain = Fixture::tone(m_dir.path(), "plain.wav", 1);
        const QString path = m_dir.filePath(QString("tagged%1.wav").arg(version));
        QFile::remove(path);
        QVERIFY(QFile::copy(plain, path));
        // mutagen's own tag, whose frames and version stay.
        const QString python = QStringLiteral(R"(
import struct, sys
from mutagen.wave import WAVE
from mutagen.id3 import TIT2
path, version, picture = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "check"
if not picture:
    f = WAVE(path)
    f.add_tags()
    f.tags.add(TIT2(encoding=3, text=["Kept"]))
    f.save(v2_version=version)
    sys.exit(0)
data = open(path, "rb").read()
assert struct.unpack("<I", data[4:8])[0] == len(data) - 8, "RIFF size"
at, ids = 12, []
while at < len(data):
    size = struct.unpack("<I", data[at + 4:at + 8])[0]
    ids.append(data[at:at + 4].decode())
    at += 8 + size + (size & 1)
assert at == len(data), "chunk sizes"
f = WAVE(path)
apic = f.tags.getall("APIC")[0]
print(",".join(ids), f.tags.version[1], f.tags.get("TIT2"), int(apic.type), apic.desc,
      len(apic.data) if apic.data == bytes((i * 7919 >> 3) & 255 for i in range(len(apic.data))) else -1)
)");
        QByteArray out;
        if (version)
            QCOMPARE(TestEnv::python({"-c", python, path, QString::number(version), "tag"}, &out),
                     0);
        const TagPicture p = picture(bytes, 4, "Rückseite");
        QCOMPARE(stream(path, {p}, version), QStringList());
        QCOMPARE(TestEnv::python({"-c", python, path, QString::number(version), "check"}, &out), 0);
        // A new tag is an ID3v2.4 one, at the end.
        const QString chunks = version ? QString("fmt ,data,ID3 ,LIST %1 Kept").arg(version)
                                       : QString("fmt ,data,ID3 ,LIST 4 None");
        const QByteArray expected = QString(chunks + " 4 Rückseite %1").arg(bytes).toUtf8();
        QCOMPARE(out.trimmed(), expected);
        decodesAsBefore(path, plain);
    }

    void m4aAtoms_data()
    {
        QTest::addColumn<bool>("audioFirst");
        QTest::newRow("movie atom last") << true;
        // The chunk offsets then point past the movie atom, which grows.
        QTest::newRow("movie atom first") << false;
    }

    void m4aAtoms()
    {
        QFETCH(bool, audioFirst);
        const QString plain = Fixture::make(
            m_dir.path(), audioFirst ? "last.m4a" : "first.m4a",
            QStringList{"-f", "lavfi", "-i", "sine=d=3", "-c:a", "aac"} +
                (audioFirst ? QStringList{} : QStringList{"-movflags", "+faststart"}));
        QVERIFY(!plain.isEmpty());
        const QString path = m_dir.filePath("pictures.m4a");
        QFile::remove(path);
        QVERIFY(QFile::copy(plain, path));
        TagPicture jpeg = picture(5000, 0, "");
        jpeg.mime = "image/jpeg"; // an M4A file has no place for a TIFF one
        QCOMPARE(
            stream(path, {picture(200001, 3, ""), {{}, "image/tiff", 0, {}}, jpeg}).join(""),
            "a image/tiff picture could not be kept: an M4A file holds only JPEG, PNG, GIF and "
            "BMP pictures");
        QByteArray out;
        QCOMPARE(TestEnv::tagMatrix({"pictures", path}, &out), 0);
        QCOMPARE(out, QByteArray("None image/png None 200001\nNone image/jpeg None 5000\n"));
        decodesAsBefore(path, plain);
    }

    void wmaHeader()
    {
        const QString plain = Fixture::tone(m_dir.path(), "plain.wma", 2, {"-c:a", "wmav2"});
        const QString path = m_dir.filePath("pictures.wma");
        QVERIFY(QFile::copy(plain, path));
        QCOMPARE(stream(path, {picture(300000, 3, "Größe"), picture(70001, 4, "")}), QStringList());
        // Each picture as mutagen reads it, and the file size the header records.
        QByteArray out;
        QCOMPARE(TestEnv::tagMatrix({"pictures", path}, &out), 0);
        QCOMPARE(out, QByteArray("3 image/png Größe 300000\n4 image/png  70001\n"));
        QCOMPARE(TestEnv::python({"-c", QStringLiteral(R"(
import struct, sys
data = open(sys.argv[1], "rb").read()
at = 30
while data[at:at + 4] != bytes.fromhex("a1dcab8c"):
    at += struct.unpack("<Q", data[at + 16:at + 24])[0]
print(struct.unpack("<Q", data[at + 40:at + 48])[0] == len(data))
)"),
                                  path},
                                 &out),
                 0);
        QCOMPARE(out, QByteArray("True\n"));
        decodesAsBefore(path, plain);
    }

    void failuresLeaveTheFile()
    {
        QTemporaryDir dir;
        const std::vector<TagPicture> pictures{picture(400000, 3, "")};
        const QString prepared = m_dir.filePath("prepared.ogg");
        QVERIFY(QFile::copy(m_vorbis, prepared));
        QCOMPARE(prepare(prepared, pictures), QStringList());
        const QByteArray original = TestEnv::readFile(prepared);
        {
            // The disk holds the file but not a second one with the picture.
            TmpfsMount full(dir.path(), original.size() + 256 * 1024);
            TWR_SKIP_UNLESS_MOUNTED(full);
            const QString path = dir.filePath("full.ogg");
            TestEnv::writeFile(path, original);
            try {
                StreamedPictures::replaceStandIns(path, pictures, path);
                QFAIL("no error on a full disk");
            } catch (const EngineError &e) {
                QVERIFY2(e.message().contains("\"full.ogg\"") &&
                             e.message().contains("disk is full"),
                         qPrintable(e.message()));
            }
            QCOMPARE(TestEnv::readFile(path), original);
            QCOMPARE(TestEnv::files(dir.path()), QStringList{"full.ogg"});
        }
        // Pages cut short in the header, and a picture that is no stand-in: refused before
        // anything is written.
        const QString path = dir.filePath("cut.ogg");
        for (const QByteArray &bytes : {original.left(200), TestEnv::readFile(m_vorbis)}) {
            TestEnv::writeFile(path, bytes);
            QVERIFY_THROWS_EXCEPTION(EngineError,
                                     StreamedPictures::replaceStandIns(path, pictures, path));
            QCOMPARE(TestEnv::readFile(path), bytes);
            QCOMPARE(TestEnv::files(dir.path()), QStringList{"cut.ogg"});
        }
    }
};

QTEST_GUILESS_MAIN(StreamedPicturesTest)
#include "tst_streamedpictures.moc"
