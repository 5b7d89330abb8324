// The settings reach the output: conversions through the real engine after changing a page,
// each output checked with ffprobe.
#include "optionsfixture.h"

#include "engine/converter.h"
#include "options/converterencoder.h"
#include "options/mp3page.h"
#include "options/oggpage.h"
#include "options/wavpage.h"
#include "options/wmapage.h"
#include "tests/support/audiofixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

class TestOptionsOutput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void defaultsMatchTheEngine();
    void mp3CbrVersusVbrMono();
    void oggQualityVersusBitrate();
    void wavCdVersusSmallMono();
    void wmaProfilesDiffer();

private:
    // Converts the tone with the writer's current settings; ffprobe's view of the result.
    QVariantMap convert(const QString &name);
    QByteArray head(const QString &name)
    {
        return OptionsFixture::bytes(m_dir.filePath(name)).left(8192);
    }
    qint64 size(const QString &name) { return QFileInfo(m_dir.filePath(name)).size(); }

    QTemporaryDir m_dir;
    QString m_source;
    std::unique_ptr<Converter> m_writer;
    std::unique_ptr<ConverterEncoder> m_encoder;
    std::unique_ptr<OptionsFixture> m_f; // released first
};

void TestOptionsOutput::initTestCase()
{
    m_source = AudioFixtures::make(m_dir.path(), QStringLiteral("tone.wav"), 3.0);
    QVERIFY(!m_source.isEmpty());
}

// Each test starts from the factory defaults, applied to a fresh engine.
void TestOptionsOutput::init()
{
    m_f.reset();
    m_encoder.reset();
    m_writer = std::make_unique<Converter>();
    m_encoder = std::make_unique<ConverterEncoder>(*m_writer);
    m_f = std::make_unique<OptionsFixture>();
    m_f->host.engine = m_encoder.get();
    m_f->load(OptionsFixture::bytes(SettingsFiles::defaultsFile()));
    QVERIFY(m_f->dialog->Apply());
}

QVariantMap TestOptionsOutput::convert(const QString &name)
{
    Converter reader;
    reader.OpenRead(m_source);
    m_writer->SetInputFormat(reader.GetFormatA(), reader.GetFormatB());
    m_writer->OpenWrite(m_dir.filePath(name));
    for (QByteArray chunk = reader.ReadChunk(1 << 16); !chunk.isEmpty();
         chunk = reader.ReadChunk(1 << 16))
        m_writer->WriteChunk(chunk);
    m_writer->Close();
    reader.Close();
    return AudioFixtures::probe(m_dir.filePath(name));
}

void TestOptionsOutput::defaultsMatchTheEngine()
{
    // The format texts shipped with the defaults are what the engine reports for them.
    for (Ini::Key key : {Ini::Ogg::Fs, Ini::Wma::Fs, Ini::Mp3::Fs})
        QCOMPARE(m_f->value(key), SettingsFiles::read(SettingsFiles::defaultsFile(), key));
    QCOMPARE(m_f->platform->count("messageBox"), 0);
}

void TestOptionsOutput::mp3CbrVersusVbrMono()
{
    const QVariantMap cbr = convert(QStringLiteral("cbr.mp3"));
    QCOMPARE(cbr.value("codec_name").toString(), QStringLiteral("mp3"));
    QCOMPARE(cbr.value("channels").toInt(), 2);
    QCOMPARE(cbr.value("sample_rate").toInt(), 44100);
    QCOMPARE(cbr.value("bit_rate").toInt(), 128000);
    QVERIFY(!head("cbr.mp3").contains("Xing"));

    Mp3Page &p = *m_f->dialog->mp3;
    p.cmbChMode->setCurrentIndex(0);          // Mono
    p.cmbVBRCodingMethod->setCurrentIndex(3); // New
    p.cmbFrequency->setCurrentIndex(5);       // 24 000 Hz
    QVERIFY(m_f->dialog->Apply());
    const QVariantMap vbr = convert(QStringLiteral("vbr.mp3"));
    QCOMPARE(vbr.value("channels").toInt(), 1);
    QCOMPARE(vbr.value("sample_rate").toInt(), 24000);
    QVERIFY(head("vbr.mp3").contains("Xing"));
    QVERIFY2(m_f->dialog->MP3fs.contains("24000"), qPrintable(m_f->dialog->MP3fs));
}

void TestOptionsOutput::oggQualityVersusBitrate()
{
    OggPage &p = *m_f->dialog->ogg;
    QVERIFY(p.chQuality->isChecked());
    p.sldrQuality1->setValue(0);
    QVERIFY(m_f->dialog->Apply());
    const QVariantMap low = convert(QStringLiteral("q0.ogg"));
    QCOMPARE(low.value("codec_name").toString(), QStringLiteral("vorbis"));
    QCOMPARE(low.value("channels").toInt(), 2);

    p.chQuality->click();         // bitrate mode
    p.Combo1->setCurrentIndex(0); // Mono
    p.Combo2->setCurrentIndex(0); // 8 000 Hz
    p.sldrBitrate1->setValue(14); // 320 kbit/s: the engine refuses, the dialog says so
    QVERIFY(!m_f->dialog->Apply());
    QCOMPARE(m_f->platform->count("messageBox"), 1);
    p.Combo2->setCurrentIndex(7); // 44 100 Hz
    p.sldrBitrate1->setValue(8);  // 112 kbit/s nominal
    QVERIFY(m_f->dialog->Apply());
    const QVariantMap managed = convert(QStringLiteral("b112.ogg"));
    QCOMPARE(managed.value("channels").toInt(), 1);
    QCOMPARE(managed.value("bit_rate").toInt(), 112000);
    QVERIFY2(size("b112.ogg") > size("q0.ogg"), "112 kbit/s is larger than quality 0");
}

void TestOptionsOutput::wavCdVersusSmallMono()
{
    const QVariantMap cd = convert(QStringLiteral("cd.wav"));
    QCOMPARE(cd.value("codec_name").toString(), QStringLiteral("pcm_s16le"));
    QCOMPARE(cd.value("sample_rate").toInt(), 44100);
    QCOMPARE(cd.value("channels").toInt(), 2);

    WavPage &p = *m_f->dialog->wav;
    p.Combo3->setCurrentIndex(p.Combo3->findText("FQ_22_KHZ"));
    p.Combo4->setCurrentIndex(p.Combo4->findText("MONO"));
    p.Combo5->setCurrentIndex(p.Combo5->findText("BPS_8_BIT"));
    QVERIFY(m_f->dialog->Apply());
    const QVariantMap small = convert(QStringLiteral("small.wav"));
    QCOMPARE(small.value("codec_name").toString(), QStringLiteral("pcm_u8"));
    QCOMPARE(small.value("sample_rate").toInt(), 22050);
    QCOMPARE(small.value("channels").toInt(), 1);
}

void TestOptionsOutput::wmaProfilesDiffer()
{
    WmaPage &p = *m_f->dialog->wma;
    p.sldWMA->setValue(2); // live: no Apply needed
    const QVariantMap low = convert(QStringLiteral("low.wma"));
    p.sldWMA->setValue(7);
    const QVariantMap high = convert(QStringLiteral("high.wma"));
    QCOMPARE(low.value("codec_name").toString(), QStringLiteral("wmav2"));
    QCOMPARE(high.value("codec_name").toString(), QStringLiteral("wmav2"));
    const int lowRate = low.value("bit_rate").toInt();
    const int highRate = high.value("bit_rate").toInt();
    QVERIFY2(lowRate > 0 && highRate >= 4 * lowRate,
             qPrintable(QStringLiteral("%1 vs %2").arg(lowRate).arg(highRate)));
    QCOMPARE(p.lblWMAdes->text().trimmed(), m_writer->FormatString());
}

QTEST_MAIN(TestOptionsOutput)
#include "tst_optionsoutput.moc"
