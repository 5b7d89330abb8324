// Audio properties read by FileInfo, checked against ffprobe, and what bad inputs give.
#include "engine/fileinfo.h"
#include "tests/support/fixture.h"

#include "tests/support/audiofixtures.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

class tst_FileInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void propertiesMatchFfprobe_data();
    void propertiesMatchFfprobe();
    void vbrMp3WithoutHeaderIsScanned();
    void truncatedFileIsNotReportedAtFullLength_data();
    void truncatedFileIsNotReportedAtFullLength();
    void hugeFileSizeIsClamped();
    void badInputsGiveEmptyProperties_data();
    void badInputsGiveEmptyProperties();
    void genreNames();

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
};

void tst_FileInfo::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_FileInfo::propertiesMatchFfprobe_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("codec");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("formatTag");
    QTest::addColumn<int>("bitsPerSample");

    QTest::newRow("wav s16 stereo") << "a.wav" << QStringList{} << 44100 << 2 << 1 << 16;
    QTest::newRow("wav s24 mono 8k")
        << "b.wav" << QStringList{"-c:a", "pcm_s24le"} << 8000 << 1 << 1 << 24;
    QTest::newRow("wav float") << "c.wav" << QStringList{"-c:a", "pcm_f32le"} << 48000 << 2 << 3
                               << 32;
    QTest::newRow("mp3 cbr") << "d.mp3" << QStringList{"-b:a", "128k"} << 44100 << 2 << 0x55 << 0;
    QTest::newRow("mp3 vbr xing") << "e.mp3" << QStringList{"-q:a", "4"} << 32000 << 1 << 0x55 << 0;
    QTest::newRow("mp3 cbr without header")
        << "f.mp3" << QStringList{"-b:a", "96k", "-write_xing", "0"} << 44100 << 2 << 0x55 << 0;
    QTest::newRow("ogg vorbis") << "g.ogg" << QStringList{"-c:a", "libvorbis"} << 44100 << 2 << -1
                                << 0;
    QTest::newRow("wma v2") << "h.wma" << QStringList{"-c:a", "wmav2"} << 44100 << 2 << 0x161 << 16;
    QTest::newRow("flac") << "i.flac" << QStringList{} << 22050 << 1 << -1 << 16;
}

void tst_FileInfo::propertiesMatchFfprobe()
{
    QFETCH(QString, name);
    QFETCH(QStringList, codec);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, formatTag);
    QFETCH(int, bitsPerSample);

    const QString path = Fixture::tone(m_dir.path(), name, 2.5, codec, rate, channels);
    QVERIFY(!path.isEmpty());
    const QJsonObject stream = Fixture::audioStream(path);
    const QJsonObject format = Fixture::probe(path).value("format").toObject();

    FileInfo info;
    info.Load(path);
    QVERIFY(info.isAudio());
    QCOMPARE(info.Frequency(), stream.value("sample_rate").toString().toInt());
    QCOMPARE(info.Channels(), channels);
    QCOMPARE(info.GetFileSize(), format.value("size").toString().toInt());
    QCOMPARE(info.Size(), int(QFile(path).size()));

    QString probed = stream.value("duration").toString();
    if (probed.isEmpty())
        probed = format.value("duration").toString();
    const double expectedMs = probed.toDouble() * 1000.0;
    // Within a millisecond, plus one frame of the rate for rounding.
    QVERIFY2(
        qAbs(info.GetDuration() - expectedMs) <= 1.0 + 1000.0 / rate,
        qPrintable(QStringLiteral("%1 ms, ffprobe %2 ms").arg(info.GetDuration()).arg(expectedMs)));
    QCOMPARE(info.Duration(), info.GetDuration());
    QVERIFY(qAbs(info.Samples() - expectedMs * rate / 1000.0) <= rate / 1000.0 + 1);

    if (formatTag >= 0)
        QCOMPARE(info.FormatTag(), formatTag);
    QCOMPARE(info.BitsPerSample(), bitsPerSample);
    QVERIFY(info.Bitrate() > 0);
    QVERIFY(info.FormatString().contains(QString::number(rate) + " Hz"));
}

void tst_FileInfo::vbrMp3WithoutHeaderIsScanned()
{
    // Four quiet seconds, then two loud: the first frames' bit rate says nothing about the
    // rest, so a guess from the file size is far off (ffprobe says about 14 s here).
    const QString path = Fixture::make(
        m_dir.path(), "vbr-noheader.mp3",
        {"-f", "lavfi", "-i", "anoisesrc=d=6:a=0.5:seed=7,volume=enable='lt(t,4)':volume=0", "-ac",
         "2", "-ar", "48000", "-c:a", "libmp3lame", "-q:a", "0", "-write_xing", "0"});
    QVERIFY(!path.isEmpty());

    const int frames =
        AudioFixtures::runTool("ffprobe",
                               {"-v", "error", "-count_packets", "-select_streams", "a:0",
                                "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", path})
            .trimmed()
            .toInt();
    QVERIFY(frames > 200);
    const double trueMs = frames * 1152 * 1000.0 / 48000;

    FileInfo info;
    info.Load(path);
    QVERIFY2(
        qAbs(info.GetDuration() - trueMs) <= 30,
        qPrintable(QStringLiteral("%1 ms, frames say %2 ms").arg(info.GetDuration()).arg(trueMs)));
    QVERIFY(qAbs(info.Bitrate() - QFile(path).size() * 8000.0 / trueMs) < 2000);
}

void tst_FileInfo::truncatedFileIsNotReportedAtFullLength_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("codec");
    QTest::newRow("mp3 with Xing header") << "cut.mp3" << QStringList{"-b:a", "128k"};
    QTest::newRow("wav") << "cut.wav" << QStringList{};
    QTest::newRow("wma") << "cut.wma" << QStringList{"-c:a", "wmav2"};
}

void tst_FileInfo::truncatedFileIsNotReportedAtFullLength()
{
    // The header still promises three seconds; the bytes hold little more than one.
    QFETCH(QString, name);
    QFETCH(QStringList, codec);
    const QString full = Fixture::tone(m_dir.path(), "full-" + name, 3.0, codec);
    QVERIFY(!full.isEmpty());
    QByteArray bytes = Fixture::readAll(full);
    bytes.truncate(bytes.size() * 2 / 5);
    const QString cut = m_dir.filePath(name);
    QFile f(cut);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    FileInfo info;
    info.Load(cut);
    QVERIFY(info.isAudio());
    QVERIFY2(info.GetDuration() > 1000 && info.GetDuration() < 1400,
             qPrintable(QString::number(info.GetDuration())));
    QCOMPARE(info.GetFileSize(), int(bytes.size()));
}

void tst_FileInfo::hugeFileSizeIsClamped()
{
    // A WAV file grown (sparsely) past 2 GiB, its header saying so: the 32-bit size
    // saturates instead of wrapping.
    const QString path = Fixture::tone(m_dir.path(), "huge.wav", 0.5, {}, 44100, 2);
    QVERIFY(!path.isEmpty());
    const qint64 huge = qint64(3) << 30;
    QFile f(path);
    if (!f.resize(huge))
        QSKIP("the file system cannot hold a 3 GiB sparse file");
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QByteArray head = f.read(4096);
    const qsizetype data = head.indexOf("data");
    QVERIFY(data > 0);
    auto put32 = [&](qint64 at, quint32 v) {
        f.seek(at);
        const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        f.write(bytes, 4);
    };
    put32(4, quint32(huge - 8));
    put32(data + 4, quint32(huge - data - 8));
    f.close();

    FileInfo info;
    info.Load(path);
    QCOMPARE(info.fileSize(), huge);
    QCOMPARE(info.GetFileSize(), std::numeric_limits<int>::max());
    const qint64 frames = (huge - data - 8) / 4;
    QCOMPARE(info.sampleCount(), frames);
    QCOMPARE(info.GetDuration(), int((frames * 1000 + 22050) / 44100));
    f.remove();
}

void tst_FileInfo::badInputsGiveEmptyProperties_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("empty") << "empty";
    QTest::newRow("text named mp3") << "text";
    QTest::newRow("random bytes named wma") << "random";
    QTest::newRow("ogg cut in its headers") << "ogg";
    QTest::newRow("folder") << "folder";
}

void tst_FileInfo::badInputsGiveEmptyProperties()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("bad.mp3");
    QByteArray content;
    if (kind == "text") {
        content = "This is not audio at all.\n";
    } else if (kind == "random") {
        path = dir.filePath("bad.wma");
        for (int i = 0; i < 5000; ++i)
            content.append(char((i * 7919 + 13) & 0xff));
    } else if (kind == "ogg") {
        path = dir.filePath("bad.ogg");
        const QString ogg = Fixture::tone(dir.path(), "src.ogg", 1.0, {"-c:a", "libvorbis"});
        content = Fixture::readAll(ogg).left(3000);
    } else if (kind == "folder") {
        path = dir.filePath("folder.mp3");
        QVERIFY(QDir(dir.path()).mkdir("folder.mp3"));
    }
    if (kind != "missing" && kind != "folder") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    FileInfo info;
    info.Title = "stale";
    info.Genre = 5;
    info.Load(path);
    QVERIFY(!info.isAudio());
    QCOMPARE(info.GetDuration(), 0);
    QCOMPARE(info.Frequency(), 0);
    QCOMPARE(info.Channels(), 0);
    QCOMPARE(info.Samples(), 0);
    QCOMPARE(info.GetFileSize(), kind == "folder" ? 0 : int(content.size()));
    QVERIFY(info.Title.isEmpty());
    QVERIFY(info.Genre < 0 || info.Genre > 147);
}

void tst_FileInfo::genreNames()
{
    QVERIFY(FileInfo::GenreName(-1).isEmpty());
    QVERIFY(FileInfo::GenreName(148).isEmpty());
    QStringList seen;
    for (int i = 0; i < FileInfo::GenreCount; ++i) {
        const QString name = FileInfo::GenreName(i);
        QVERIFY(!name.isEmpty());
        QVERIFY2(!seen.contains(name), qPrintable(name));
        seen << name;
        QCOMPARE(FileInfo::GenreNumber(name.toUpper()), i);
    }
    QCOMPARE(FileInfo::GenreNumber("Psychadelic"), 67); // the old spelling
    QCOMPARE(FileInfo::GenreNumber("Chiptune"), -1);
}

QTEST_GUILESS_MAIN(tst_FileInfo)
#include "tst_fileinfo.moc"
