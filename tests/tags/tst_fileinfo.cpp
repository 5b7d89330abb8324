// Audio properties read by FileInfo, checked against ffprobe, and what bad inputs give.
#include "tags/fileinfo.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

class tst_FileInfo : public QObject
{
    Q_OBJECT

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;

private slots:
    void propertiesMatchFfprobe_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("codec");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("formatTag");
        QTest::addColumn<int>("bitsPerSample");

        const auto row = [](const char *name, QStringList codec, int rate, int channels, int tag,
                            int bits) {
            QTest::newRow(name) << QString(name) << codec << rate << channels << tag << bits;
        };
        row("s16.wav", {}, 44100, 2, 1, 16);
        row("float.wav", {"-c:a", "pcm_f32le"}, 48000, 2, 3, 32);
        row("cbr.mp3", {"-b:a", "128k"}, 44100, 2, 0x55, 0);
        row("vbr-xing.mp3", {"-q:a", "4"}, 32000, 1, 0x55, 0);
        row("cbr-noheader.mp3", {"-b:a", "96k", "-write_xing", "0"}, 44100, 2, 0x55, 0);
        row("a.ogg", {"-c:a", "libvorbis"}, 44100, 2, 0x566f, 0); // "Vo", as RIFF tags Vorbis
        row("a.wma", {"-c:a", "wmav2"}, 44100, 2, 0x161, 16);
    }

    void propertiesMatchFfprobe()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, codec);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, formatTag);
        QFETCH(int, bitsPerSample);

        const QString path = Fixture::tone(m_dir.path(), name, 2.5, codec, rate, channels);
        QVERIFY(!path.isEmpty());
        const QVariantMap probed = Fixture::streamInfo(path);

        FileInfo info;
        info.Load(path);
        QVERIFY(info.isAudio());
        QCOMPARE(
            QList<qint64>({info.Frequency(), info.Channels(), info.GetFileSize()}),
            QList<qint64>({probed.value("sample_rate").toInt(), channels, QFile(path).size()}));
        const double expectedMs =
            probed.value(probed.contains("duration") ? "duration" : "format.duration").toDouble() *
            1000.0;
        // Within a millisecond, plus one frame of the rate for rounding.
        QVERIFY2(
            qAbs(info.GetDuration() - expectedMs) <= 1.0 + 1000.0 / rate,
            qPrintable(
                QStringLiteral("%1 ms, ffprobe %2 ms").arg(info.GetDuration()).arg(expectedMs)));
        QVERIFY(qAbs(info.Samples() - expectedMs * rate / 1000.0) <= rate / 1000.0 + 1);

        QCOMPARE(info.FormatTag(), formatTag);
        QCOMPARE(info.BitsPerSample(), bitsPerSample);
        QVERIFY(info.Bitrate() > 0);
        QVERIFY(info.FormatString().contains(QString::number(rate) + " Hz"));
    }

    void vbrMp3WithoutHeaderIsScanned()
    {
        // Four quiet seconds, then two loud: the first frames' bit rate says nothing about the
        // rest, so a guess from the file size is far off (ffprobe says about 14 s here).
        const QString path = Fixture::make(
            m_dir.path(), "vbr-noheader.mp3",
            {"-f", "lavfi", "-i", "anoisesrc=d=6:a=0.5:seed=7,volume=enable='lt(t,4)':volume=0",
             "-ac", "2", "-ar", "48000", "-c:a", "libmp3lame", "-q:a", "0", "-write_xing", "0"});
        QVERIFY(!path.isEmpty());

        QByteArray packets;
        TestEnv::run("ffprobe",
                     {"-v", "error", "-count_packets", "-select_streams", "a:0", "-show_entries",
                      "stream=nb_read_packets", "-of", "csv=p=0", path},
                     &packets);
        const int frames = packets.trimmed().toInt();
        QVERIFY(frames > 200);
        const double trueMs = frames * 1152 * 1000.0 / 48000;

        FileInfo info;
        info.Load(path);
        QVERIFY2(
            qAbs(info.GetDuration() - trueMs) <= 30,
            qPrintable(
                QStringLiteral("%1 ms, frames say %2 ms").arg(info.GetDuration()).arg(trueMs)));
        QVERIFY(qAbs(info.Bitrate() - QFile(path).size() * 8000.0 / trueMs) < 2000);
    }

    void truncatedFileIsNotReportedAtFullLength_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("codec");
        QTest::newRow("mp3 with Xing header") << "cut.mp3" << QStringList{"-b:a", "128k"};
        QTest::newRow("wav") << "cut.wav" << QStringList{};
    }

    void truncatedFileIsNotReportedAtFullLength()
    {
        // The header still promises three seconds; the bytes hold little more than one.
        QFETCH(QString, name);
        QFETCH(QStringList, codec);
        const QString full = Fixture::tone(m_dir.path(), "full-" + name, 3.0, codec);
        QVERIFY(!full.isEmpty());
        const QByteArray bytes = TestEnv::readFile(full).left(QFileInfo(full).size() * 2 / 5);
        const QString cut = m_dir.filePath(name);
        TestEnv::writeFile(cut, bytes);

        FileInfo info;
        info.Load(cut);
        QVERIFY(info.isAudio());
        QVERIFY2(info.GetDuration() > 1000 && info.GetDuration() < 1400,
                 qPrintable(QString::number(info.GetDuration())));
        QCOMPARE(info.GetFileSize(), int(bytes.size()));
    }

    void hugeFileSizeIsClamped()
    {
        // A WAV file grown (sparsely) past 2 GiB, its header saying so: the 32-bit size
        // saturates instead of wrapping.
        const QString path = Fixture::tone(m_dir.path(), "huge.wav", 0.5);
        const qint64 huge = qint64(3) << 30;
        QFile f(path);
        if (!f.resize(huge))
            QSKIP("the file system cannot hold a 3 GiB sparse file");
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 data = f.read(4096).indexOf("data");
        QVERIFY(data > 0);
        for (const auto &[at, value] :
             {std::pair{qint64(4), huge - 8}, std::pair{data + 4, huge - data - 8}}) {
            const quint32 le = qToLittleEndian(quint32(value));
            QVERIFY(f.seek(at) && f.write(reinterpret_cast<const char *>(&le), 4) == 4);
        }
        f.close();

        FileInfo info;
        info.Load(path);
        const qint64 frames = (huge - data - 8) / 4;
        QCOMPARE(QList<qint64>(
                     {info.fileSize(), info.GetFileSize(), info.sampleCount(), info.GetDuration()}),
                 QList<qint64>({huge, std::numeric_limits<int>::max(), frames,
                                (frames * 1000 + 22050) / 44100}));
        f.remove();
    }

    void badInputsGiveEmptyProperties_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // null: no file
        QByteArray random;
        for (int i = 0; i < 5000; ++i)
            random.append(char((i * 7919 + 13) & 0xff));
        const QString ogg = Fixture::tone(m_dir.path(), "src.ogg", 1.0, {"-c:a", "libvorbis"});
        QTest::newRow("missing") << "missing.mp3" << QByteArray();
        QTest::newRow("empty") << "empty.mp3" << QByteArray("");
        QTest::newRow("text named mp3") << "text.mp3" << QByteArray("This is not audio at all.\n");
        QTest::newRow("random bytes named wma") << "random.wma" << random;
        QTest::newRow("ogg cut in its headers") << "cut.ogg" << TestEnv::readFile(ogg).left(3000);
        QTest::newRow("folder") << "folder.mp3" << QByteArray();
    }

    void badInputsGiveEmptyProperties()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!content.isNull())
            TestEnv::writeFile(path, content);
        if (name == "folder.mp3")
            QVERIFY(QDir(dir.path()).mkdir(name));

        FileInfo info;
        info.Title = "stale";
        info.Genre = 5;
        info.Load(path);
        QVERIFY(!info.isAudio());
        QCOMPARE(
            QList<int>({info.GetDuration(), info.Frequency(), info.Channels(), info.GetFileSize()}),
            QList<int>({0, 0, 0, int(content.size())}));
        QVERIFY(info.Title.isEmpty());
        QVERIFY(info.Genre < 0 || info.Genre > 147);
    }

    void genreNames()
    {
        // Every name leads back to its own number, whatever the case: no two are the same.
        for (int i = 0; i < FileInfo::GenreCount; ++i)
            QCOMPARE(FileInfo::GenreNumber(FileInfo::GenreName(i).toUpper()), i);
        QVERIFY(FileInfo::GenreName(-1).isEmpty() && FileInfo::GenreName(148).isEmpty());
        QCOMPARE(FileInfo::GenreNumber("Psychadelic"), 67); // the old spelling
        QCOMPARE(FileInfo::GenreNumber("Chiptune"), -1);
    }
};

QTEST_GUILESS_MAIN(tst_FileInfo)
#include "tst_fileinfo.moc"
