#include "engine/converter.h"
#include "engine/engineerror.h"
#include "tests/support/audiofixtures.h"
#include "tests/support/testenv.h"
#include "tst_converter_common.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ConverterTest;

namespace {

// The LAME header frame says "Info" for CBR files and "Xing" for VBR and ABR ones.
QByteArray lameHeaderKind(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = f.read(4096);
    if (head.contains("Xing"))
        return "Xing";
    if (head.contains("Info"))
        return "Info";
    return {};
}

double seconds(const QVariantMap &probe)
{
    return probe.value("format.duration").toDouble();
}

// An output named after the running data row.
QString outputFor(const QTemporaryDir &dir, const char *ext)
{
    return dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ext);
}

} // namespace

class TestConverterEncode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mp3FollowsSettings_data();
    void mp3FollowsSettings();
    void oggFollowsSettings_data();
    void oggFollowsSettings();
    void wmaProfiles_data();
    void wmaProfiles();
    void wavFollowsSettings_data();
    void wavFollowsSettings();
    void wav16IsBitExact();
    void formatStringDescribesLastSetting();
    void emptyInputGivesValidFile();

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_stereo; // 3 s, 44.1 kHz, 16-bit stereo
};

void TestConverterEncode::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_stereo = AudioFixtures::make(m_dir.path(), "source.wav", 3, 44100, 2, {"-c:a", "pcm_s16le"});
    QVERIFY(!m_stereo.isEmpty());
}

void TestConverterEncode::mp3FollowsSettings_data()
{
    QTest::addColumn<int>("vbrMethod");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("expectedKbps"); // 0: varies

    QTest::newRow("cbr 128") << -1 << 0 << 2 << 44100 << QByteArray("Info") << 128;
    QTest::newRow("vbr new") << 2 << 0 << 2 << 44100 << QByteArray("Xing") << 0;
    QTest::newRow("vbr old") << 1 << 0 << 2 << 44100 << QByteArray("Xing") << 0;
    QTest::newRow("vbr mtrh") << 3 << 0 << 2 << 44100 << QByteArray("Xing") << 0;
    QTest::newRow("abr") << 4 << 0 << 2 << 44100 << QByteArray("Xing") << 0;
    QTest::newRow("preset insane") << -1 << 5 << 2 << 44100 << QByteArray("Info") << 320;
    QTest::newRow("preset standard") << -1 << 2 << 2 << 44100 << QByteArray("Xing") << 0;
    QTest::newRow("mono 22050") << -1 << 0 << 1 << 22050 << QByteArray("Info") << 64;
}

void TestConverterEncode::mp3FollowsSettings()
{
    QFETCH(int, vbrMethod);
    QFETCH(int, preset);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(QByteArray, header);
    QFETCH(int, expectedKbps);

    Mp3Settings s;
    s.VbrMethod = vbrMethod;
    s.AlternativePreset = preset;
    s.Channels = channels;
    s.SampleRate = rate;
    s.Bitrate = expectedKbps > 0 ? expectedKbps : 128;
    Converter writer;
    writer.SetMp3Settings(s);
    const QString out = outputFor(m_dir, ".mp3");
    QCOMPARE(convert(writer, m_stereo, out), QString());

    const QVariantMap p = AudioFixtures::probe(out);
    QCOMPARE(p.value("codec_name").toString(), QString("mp3"));
    QCOMPARE(p.value("sample_rate").toInt(), rate);
    QCOMPARE(p.value("channels").toInt(), channels);
    QCOMPARE(lameHeaderKind(out), header);
    if (expectedKbps > 0)
        QCOMPARE(p.value("bit_rate").toInt(), expectedKbps * 1000);
    // The header frame carries the length, so the duration is right, within LAME's delay.
    QVERIFY2(std::abs(seconds(p) - 3.0) < 0.08, qPrintable(QString::number(seconds(p))));
}

void TestConverterEncode::oggFollowsSettings_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bitrate");
    QTest::addColumn<int>("minBitrate");
    QTest::addColumn<int>("maxBitrate");
    QTest::addColumn<int>("quality");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("quality 4") << 44100 << 2 << 128 << 0 << 0 << 400 << true;
    QTest::newRow("quality 0 mono") << 22050 << 1 << 64 << 0 << 0 << 0 << true;
    QTest::newRow("nominal 96") << 44100 << 2 << 96 << 0 << 0 << -1 << true;
    QTest::newRow("managed 64..160") << 48000 << 2 << 128 << 64 << 160 << -1 << true;
    QTest::newRow("8 at 48000 stereo") << 48000 << 2 << 8 << 0 << 0 << -1 << false;
    QTest::newRow("320 at 8000 mono") << 8000 << 1 << 320 << 0 << 0 << -1 << false;
    QTest::newRow("no rate") << 0 << 2 << 128 << 0 << 0 << -1 << false;
}

void TestConverterEncode::oggFollowsSettings()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bitrate);
    QFETCH(int, minBitrate);
    QFETCH(int, maxBitrate);
    QFETCH(int, quality);
    QFETCH(bool, accepted);

    Converter writer;
    QCOMPARE(writer.CheckOggFormat(rate, channels, bitrate, minBitrate, maxBitrate), accepted);
    // What the check accepts really encodes as asked; what it refuses is refused at open.
    writer.SetOggFormat(rate, channels, bitrate, minBitrate, maxBitrate, qint16(quality));
    const QString out = outputFor(m_dir, ".ogg");
    if (!accepted) {
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(out, 0));
        QVERIFY(!QFile::exists(out));
        return;
    }
    QCOMPARE(convert(writer, m_stereo, out), QString());
    const QVariantMap p = AudioFixtures::probe(out);
    QCOMPARE(p.value("codec_name").toString(), QString("vorbis"));
    QCOMPARE(p.value("sample_rate").toInt(), rate);
    QCOMPARE(p.value("channels").toInt(), channels);
    if (quality < 0)
        QCOMPARE(p.value("bit_rate").toInt(), bitrate * 1000); // the nominal rate in the header
    QVERIFY2(std::abs(seconds(p) - 3.0) < 0.03, qPrintable(QString::number(seconds(p))));
}

void TestConverterEncode::wmaProfiles_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("kbps");
    QTest::newRow("36 voice") << 36 << 1 << 24;
    QTest::newRow("23") << 23 << 2 << 32;
    QTest::newRow("13") << 13 << 2 << 64;
    QTest::newRow("8") << 8 << 2 << 192;
}

void TestConverterEncode::wmaProfiles()
{
    QFETCH(int, profile);
    QFETCH(int, channels);
    QFETCH(int, kbps);

    Converter writer;
    writer.setConvertFormat(true);
    writer.SetWmaProfile(profile);
    QVERIFY(writer.FormatString().contains(QStringLiteral(" %1 kbit/s").arg(kbps)));
    const QString out = outputFor(m_dir, ".wma");
    QCOMPARE(convert(writer, m_stereo, out), QString());

    const QVariantMap p = AudioFixtures::probe(out);
    QCOMPARE(p.value("codec_name").toString(), QString("wmav2"));
    QCOMPARE(p.value("format.format_name").toString(), QString("asf"));
    QCOMPARE(p.value("channels").toInt(), channels);
    QCOMPARE(p.value("bit_rate").toInt(), kbps * 1000);
    QVERIFY(writer.FormatString().contains(p.value("sample_rate").toString()));
    QVERIFY2(std::abs(seconds(p) - 3.0) < 0.15, qPrintable(QString::number(seconds(p))));
    QVERIFY(rms(samples(AudioFixtures::decode(out))) > 0.04);
}

void TestConverterEncode::wavFollowsSettings_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("probedBits");

    QTest::newRow("8 bit") << 44100 << 2 << 8 << "pcm_u8" << 8;
    QTest::newRow("16 bit mono 22050") << 22050 << 1 << 16 << "pcm_s16le" << 16;
    QTest::newRow("24 bit 96000") << 96000 << 2 << 24 << "pcm_s24le" << 24;
    QTest::newRow("32 bit") << 48000 << 2 << 32 << "pcm_s32le" << 32;
    QTest::newRow("2 bit") << 8000 << 1 << 2 << "adpcm_ima_wav" << 4;
    QTest::newRow("3 bit") << 11025 << 2 << 3 << "adpcm_ima_wav" << 4;
}

void TestConverterEncode::wavFollowsSettings()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(QString, codec);
    QFETCH(int, probedBits);

    Converter writer;
    writer.SetWavFormat(rate, channels, bits);
    const QString out = outputFor(m_dir, ".wav");
    QCOMPARE(convert(writer, m_stereo, out), QString());

    const QVariantMap p = AudioFixtures::probe(out);
    QCOMPARE(p.value("codec_name").toString(), codec);
    QCOMPARE(p.value("sample_rate").toInt(), rate);
    QCOMPARE(p.value("channels").toInt(), channels);
    QCOMPARE(p.value("bits_per_sample").toInt(), probedBits);
    // ADPCM pads its last block (up to about 2000 frames); PCM is exact.
    const double padding = codec.startsWith("adpcm") ? 2048.0 / rate : 0.0;
    QVERIFY2(seconds(p) >= 2.999 && seconds(p) <= 3.001 + padding,
             qPrintable(QString::number(seconds(p))));
    // The tone keeps its level.
    const double level = rms(samples(AudioFixtures::decode(out)));
    const double expected = rms(samples(AudioFixtures::decode(m_stereo)));
    QVERIFY2(std::abs(level - expected) < 0.1 * expected, qPrintable(QString::number(level)));
}

void TestConverterEncode::wav16IsBitExact()
{
    Converter writer;
    writer.SetWavFormat(44100, 2, 16);
    const QString out = m_dir.filePath("exact.wav");
    QCOMPARE(convert(writer, m_stereo, out), QString());
    const QByteArray a = AudioFixtures::decode(m_stereo, "s16le");
    QVERIFY(!a.isEmpty());
    QVERIFY(AudioFixtures::decode(out, "s16le") == a);

    // With the format switch off, the source's rate and channels are kept.
    const QString mono =
        AudioFixtures::make(m_dir.path(), "mono32k.wav", 1, 32000, 1, {"-c:a", "pcm_s16le"});
    writer.setConvertFormat(false);
    QCOMPARE(convert(writer, mono, out), QString());
    const QVariantMap p = AudioFixtures::probe(out);
    QCOMPARE(p.value("sample_rate").toInt(), 32000);
    QCOMPARE(p.value("channels").toInt(), 1);
}

void TestConverterEncode::formatStringDescribesLastSetting()
{
    Converter writer;
    QCOMPARE(writer.FormatString(), QString());
    writer.SetMp3Settings(Mp3Settings{});
    QCOMPARE(writer.FormatString(), QString("MP3 44100 Hz Joint Stereo 128 kbit/s CBR"));
    writer.SetOggFormat(44100, 2, 128, 0, 0, 400);
    QCOMPARE(writer.FormatString(), QString("OGG 44100 Hz Stereo quality 4.0"));
    writer.SetWavFormat(22050, 1, 8);
    QCOMPARE(writer.FormatString(), QString("WAV 22050 Hz Mono 8 bit PCM"));
    writer.SetWmaProfile(13);
    QCOMPARE(writer.FormatString(), QString("WMA 44100 Hz Stereo 64 kbit/s"));
    Mp3Settings vbr;
    vbr.VbrMethod = 2;
    vbr.VbrQuality = 3;
    vbr.Channels = 1;
    writer.SetMp3Settings(vbr);
    QCOMPARE(writer.FormatString(), QString("MP3 44100 Hz Mono VBR new quality 3 max 192 kbit/s"));
    QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetWmaProfile(7));
}

void TestConverterEncode::emptyInputGivesValidFile()
{
    // MP3 and Ogg files without audio frames hold only headers, which ffprobe does not
    // take for a stream; they must exist all the same.
    for (const QString ext : {".mp3", ".ogg", ".wma", ".wav"}) {
        Converter writer;
        writer.SetInputFormat(44100, 8);
        const QString out = m_dir.filePath("empty" + ext);
        writer.OpenWrite(out, 0);
        writer.Close();
        QVERIFY2(QFileInfo(out).size() > 0, qPrintable(ext));
        if (ext == ".wma" || ext == ".wav")
            QVERIFY2(!AudioFixtures::probe(out).value("codec_name").toString().isEmpty(),
                     qPrintable(ext));
    }
}

QTEST_GUILESS_MAIN(TestConverterEncode)
#include "tst_converter_encode.moc"
