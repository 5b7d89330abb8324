// What real disks hold: float sources with non-finite or out-of-range samples, damaged and
// truncated files, files that are no audio at all. Nothing crashes, nothing fails silently.
#include "convert/conversionjob.h"
#include "engine/converter.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using Job = ConversionJob;

namespace {

// What is wrong with the decoded output, as the ffmpeg program reads it; "" when nothing.
QString badSamples(const QString &path)
{
    const QByteArray raw = Fixture::decode(path); // empty when ffmpeg cannot decode it
    const auto *s = reinterpret_cast<const float *>(raw.constData());
    const qsizetype n = raw.size() / qsizetype(sizeof(float));
    if (n < 4000)
        return QStringLiteral("only %1 samples").arg(n);
    for (qsizetype i = 0; i < n; ++i) {
        if (!std::isfinite(s[i]) || std::fabs(s[i]) > 1.5f)
            return QStringLiteral("sample %1 is %2").arg(i).arg(s[i]);
    }
    return {};
}

using Fixture::seconds;

// `source` with `zeroed` bytes zeroed in the middle, cut to `keepPercent` percent, at `path`.
QString damaged(const QString &source, const QString &path, int keepPercent, int zeroed)
{
    QByteArray b = TestEnv::readFile(source);
    if (zeroed > 0)
        b.replace(b.size() / 2, zeroed, QByteArray(zeroed, '\0'));
    b.truncate(b.size() * keepPercent / 100);
    TestEnv::writeFile(path, b);
    return path;
}

// The bytes of a three-second tone whose block at `marker`'s `nth` occurrence claims a size
// (`size`, at `offset` from the marker) that runs past the end: a header that lies, not a
// disk that fails.
QByteArray lyingBlockSize(const QString &dir, const QString &name, const QStringList &args,
                          const QByteArray &marker, int nth, int offset, const QByteArray &size)
{
    QByteArray b = TestEnv::readFile(Fixture::tone(dir, name, 3, args));
    qsizetype at = -1;
    for (int i = 0; i <= nth; ++i)
        at = b.indexOf(marker, at + 1);
    if (at < 0)
        return {};
    return b.replace(at + offset, size.size(), size);
}

} // namespace

class TestDamagedSources : public QObject
{
    Q_OBJECT

private:
    Job::Result convert(const QString &source, const QString &output)
    {
        Job::Callbacks c;
        c.overwrite = [](const QString &) {
            return Job::OverwriteAnswer::Replace;
        };
        return Job(m_reader, m_writer, c).run(source, output);
    }

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    Converter m_reader;
    Converter m_writer;

private slots:
    void initTestCase() { Fixture::setEveryFormat(m_writer); }

    void nonFiniteSamplesReachEveryEncoder_data()
    {
        QTest::addColumn<QString>("special");
        QTest::addColumn<QString>("extension");
        for (const char *special : {"0/0", "1/0", "-1/0", "100", "-100", "1e38"}) {
            for (const char *ext : {".mp3", ".wma", ".ogg", ".wav"})
                QTest::addRow("%s to %s", special, ext + 1) << special << QString::fromLatin1(ext);
        }
    }

    void nonFiniteSamplesReachEveryEncoder()
    {
        QFETCH(QString, special);
        QFETCH(QString, extension);
        // A float WAV whose every other tenth of a second holds the special value.
        const QString source = Fixture::make(
            m_dir.path(), "special.wav",
            {"-f", "lavfi", "-i",
             "aevalsrc=exprs='if(lt(mod(t,0.2),0.1)," + special + ",0.25*sin(2*PI*440*t))':d=1",
             "-c:a", "pcm_f32le"});
        QVERIFY(!source.isEmpty());
        const Job::Result r = convert(source, m_dir.filePath("special-out" + extension));
        QCOMPARE(r.reason, QString());
        QCOMPARE(r.outcome, Job::Outcome::Converted);
        QCOMPARE(badSamples(r.output), QString());
    }

    void damagedSourcesConvertWithAWarning_data()
    {
        QTest::addColumn<QStringList>("make");
        QTest::addColumn<int>("keepPercent");
        QTest::addColumn<int>("zeroed");
        QTest::addColumn<bool>("fails"); // less than half of the stated length decodes

        const QStringList wav{"cut.wav", "-c:a", "pcm_s16le"};
        const QStringList wma{"cut.wma", "-c:a", "wmav2"};
        const QStringList mp3{"cut.mp3", "-c:a", "libmp3lame"};
        // A WAV's stated length follows the file's size: a cut one only loses its last frame.
        QTest::newRow("WAV cut to 1 %") << wav << 1 << 0 << false;
        QTest::newRow("WAV cut to 50 %") << wav << 50 << 0 << false;
        QTest::newRow("FLAC cut to 10 %") << QStringList{"cut.flac"} << 10 << 0 << true;
        QTest::newRow("MP3 cut to 10 %") << mp3 << 10 << 0 << true;
        QTest::newRow("MP3 cut to 70 %") << mp3 << 70 << 0 << false;
        QTest::newRow("WMA cut to 60 %") << wma << 60 << 0 << false;
        QTest::newRow("WMA zeroed in the middle") << wma << 100 << 400 << false;
    }

    void damagedSourcesConvertWithAWarning()
    {
        QFETCH(QStringList, make);
        QFETCH(int, keepPercent);
        QFETCH(int, zeroed);
        QFETCH(bool, fails);
        const QString name = make.takeFirst();
        const QString whole = Fixture::tone(m_dir.path(), "whole-" + name, 12, make);
        QVERIFY(!whole.isEmpty());
        const QString source = damaged(whole, m_dir.filePath(name), keepPercent, zeroed);
        const QString output = m_dir.filePath("damaged-out.wav");
        QFile::remove(output);
        const Job::Result r = convert(source, output);
        if (fails) {
            QCOMPARE(r.outcome, Job::Outcome::Failed);
            QVERIFY2(r.reason.startsWith(name + " is damaged or truncated: only "),
                     qPrintable(r.reason));
            QVERIFY(!QFile::exists(output));
            return;
        }
        QCOMPARE(r.outcome, Job::Outcome::Converted);
        // What is there decodes, up to the part of the twelve seconds that was kept (less where
        // headers and padding fill much of the part, as in a small FLAC).
        const double kept = 0.12 * keepPercent;
        const double got = seconds(r.output);
        QVERIFY2(got > 0.8 * kept - 0.7 && got < kept + 0.3, qPrintable(QString::number(got)));
        QVERIFY2(r.warning.startsWith(name + " is damaged or truncated: "), qPrintable(r.warning));
    }

    void wholeFilesOfEveryEncoderConvertWithoutAWarning_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("codec"); // ffmpeg's options; empty: encoded by oggenc
        QTest::newRow("WAV") << "w.wav" << QStringList{"-c:a", "pcm_s16le"};
        QTest::newRow("FLAC") << "w.flac" << QStringList{"-c:a", "flac"};
        QTest::newRow("MP3 by LAME") << "w.mp3" << QStringList{"-c:a", "libmp3lame"};
        QTest::newRow("WMA") << "w.wma" << QStringList{"-c:a", "wmav2"};
        QTest::newRow("AAC") << "w.m4a" << QStringList{"-c:a", "aac"};
        QTest::newRow("Opus") << "w.opus" << QStringList{"-c:a", "libopus"};
        QTest::newRow("Vorbis by libvorbis") << "w.ogg" << QStringList{"-c:a", "libvorbis"};
        QTest::newRow("Vorbis by oggenc") << "oggenc.ogg" << QStringList();
    }

    void wholeFilesOfEveryEncoderConvertWithoutAWarning()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, codec);
        // Notes that change pitch and start sharply, with bursts of noise: unlike a steady
        // tone, they make the encoders switch block sizes as they do on real music.
        const QString notes = "0.3*sin(2*PI*(220+110*floor(mod(t*4,5)))*t)*exp(-8*mod(t,0.25))"
                              "+0.2*(random(0)-0.5)*lt(mod(t,0.5),0.03)";
        const QString music = Fixture::make(
            m_dir.path(), "music.wav",
            {"-f", "lavfi", "-i", "aevalsrc=exprs='" + notes + "|" + notes + "':s=44100:d=4",
             "-c:a", "pcm_s16le"});
        QVERIFY(!music.isEmpty());
        const QString source = m_dir.filePath(name);
        if (codec.isEmpty())
            QCOMPARE(TestEnv::run("oggenc", {"-Q", "-o", source, music}), 0);
        else
            QVERIFY(!Fixture::make(m_dir.path(), name, QStringList{"-i", music} + codec).isEmpty());
        const Job::Result r = convert(source, m_dir.filePath("whole-out.wav"));
        QCOMPARE(r.outcome, Job::Outcome::Converted);
        QCOMPARE(r.warning, QString());
        QVERIFY2(std::fabs(seconds(r.output) - 4) < 0.1, qPrintable(r.output));
    }

    void unreadableSourcesSayWhatIsWrong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");

        QByteArray noise(5000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("empty") << "empty.mp3" << QByteArray() << "is empty";
        QTest::newRow("random bytes named mp3") << "noise.mp3" << noise << "is not an audio file";
        QTest::newRow("text named ogg")
            << "notes.ogg" << QByteArray("just some words\n") << "is not an audio file";
        // FFmpeg reports these as input/output errors; the disk is fine.
        QTest::newRow("FLAC header block past the end")
            << "header.flac"
            << lyingBlockSize(m_dir.path(), "whole-header.flac", {}, "fLaC", 0, 5, "\x7f\xff\xff")
            << "header.flac is damaged";
        QTest::newRow("WavPack block past the end")
            << "block.wv"
            << lyingBlockSize(m_dir.path(), "whole-block.wv", {"-c:a", "wavpack"}, "wvpk", 1, 4,
                              QByteArray("\x00\x00\x08", 3))
            << "block.wv is damaged";
    }

    void unreadableSourcesSayWhatIsWrong()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString source = m_dir.filePath(name);
        TestEnv::writeFile(source, bytes);
        const Job::Result r = convert(source, m_dir.filePath("unreadable.wav"));
        QCOMPARE(r.outcome, Job::Outcome::Failed);
        QVERIFY2(r.reason.startsWith(name) && r.reason.contains(says), qPrintable(r.reason));
        QVERIFY(!QFileInfo::exists(r.output));
    }
};

QTEST_GUILESS_MAIN(TestDamagedSources)
#include "tst_damagedsources.moc"
