// What the MP3, OGG, WAV and WMA pages hand to the engine, store, show and enable.
#include "optionsfixture.h"

#include "options/mp3page.h"
#include "options/oggpage.h"
#include "options/updown.h"
#include "options/wavpage.h"
#include "options/wmapage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

namespace {

// A section of base values; the given keys stand first, so they win ("key=" empties one).
QByteArray ogg(const QByteArray &keys)
{
    return "[ogg]\n" + keys + "\nfrequency=7\nchannel=1\nbitrate=9\nminbitrate=2\nmaxbitrate=11\n";
}

QByteArray mp3(const QByteArray &keys)
{
    return "[mp3]\n" + keys +
           "\nfrequency=7\nvbrcoding=0\nbitrate=9\nquality=2\nvbrbitrate=11\nvbrquality=4\n"
           "channel=2\naltpreset=3\naltpresetenabled=1\n";
}

// The enabled state of each widget, to compare against a list at once.
QList<bool> enabled(std::initializer_list<const QWidget *> widgets)
{
    QList<bool> states;
    for (const QWidget *w : widgets)
        states << w->isEnabled();
    return states;
}

} // namespace

class TestEncoderPages : public QObject
{
    Q_OBJECT
private slots:
    void listsAndFrames();
    void oggPush_data();
    void oggPush();
    void oggSlidersAndEnabling();
    void mp3Push_data();
    void mp3Push();
    void mp3LiveQualityAndPreset();
    void mp3VbrMethodEnabling();
    void wavPush_data();
    void wavPush();
    void wmaProfiles_data();
    void wmaProfiles();
    void wmaFollowsSliderAndSurvivesRefusal();
};

void TestEncoderPages::listsAndFrames()
{
    OptionsFixture f;
    frmOption &d = *f.dialog;
    // The rates travel as item data, the same in both lists.
    for (int i = 0; i < d.ogg->Combo2->count(); ++i)
        QCOMPARE(d.ogg->Combo2->itemData(i), d.mp3->cmbFrequency->itemData(i));
    QCOMPARE(d.ogg->Combo2->itemData(8).toInt(), 48000);
    // Controls that re-enable a frame do not sit inside it, or they could never be used again.
    QVERIFY(!d.mp3->frmPreset->isAncestorOf(d.mp3->chkPreset));
    QVERIFY(!d.mp3->frmVbrBitrate->isAncestorOf(d.mp3->cmbVBRCodingMethod));
    QVERIFY(!d.ogg->frmQuality1->isAncestorOf(d.ogg->chQuality));
}

void TestEncoderPages::oggPush_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<bool>("engineAccepts");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("quality mode sends 128/0/0, unchecked")
        << QByteArray("qualityenabled=1\nvbrenabled=1\nquality=450\n") << false
        << QStringList{"SetOggFormat 44100 2 128 0 0 450"};
    QTest::newRow("VBR unticked sends min and max 0")
        << QByteArray("qualityenabled=0\nvbrenabled=0\n") << true
        << QStringList{"CheckOggFormat 44100 2 128 0 0", "SetOggFormat 44100 2 128 0 0 -1"};
    QTest::newRow("VBR ticked sends the sliders, min above max too")
        << QByteArray("qualityenabled=0\nvbrenabled=1\nminbitrate=12\nmaxbitrate=1\n") << true
        << QStringList{"CheckOggFormat 44100 2 128 224 16", "SetOggFormat 44100 2 128 224 16 -1"};
    QTest::newRow("no channel selected sends 0 channels")
        << QByteArray("qualityenabled=1\nchannel=\nquality=0\n") << true
        << QStringList{"SetOggFormat 44100 0 128 0 0 0"};
    QTest::newRow("no rate selected keeps Freq at 0")
        << QByteArray("qualityenabled=1\nfrequency=x\nquality=1000\n") << true
        << QStringList{"SetOggFormat 0 2 128 0 0 1000"};
}

void TestEncoderPages::oggPush()
{
    QFETCH(QByteArray, keys);
    QFETCH(bool, engineAccepts);
    QFETCH(QStringList, calls);
    OptionsFixture f;
    f.host.recorder.acceptOgg = engineAccepts;
    f.load(ogg(keys));
    f.host.recorder.calls.clear();
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.platform->count("messageBox"), 0);
    QCOMPARE(f.host.recorder.callsOf("CheckOggFormat") + f.host.recorder.callsOf("SetOggFormat"),
             calls);
    QCOMPARE(f.value(Ini::Ogg::Fs), QStringLiteral("fmt ogg"));
    QCOMPARE(f.value(Ini::Ogg::Channel), QString::number(f.dialog->ogg->Combo1->currentIndex()));
}

void TestEncoderPages::oggSlidersAndEnabling()
{
    OptionsFixture f;
    OggPage &p = *f.load(ogg("qualityenabled=1\nvbrenabled=1\n")).ogg;
    QCOMPARE(QList<int>({f.dialog->bitRate, f.dialog->MinBitrate}), QList<int>({128, 24}));
    p.sldrMaxBitrate->setValue(14);
    QCOMPARE(f.dialog->MaxBitrate, qint16(320));
    QVERIFY(p.lblMaxBitrate->text().contains("320"));
    p.sldrBitrate1->setValue(0);
    QCOMPARE(f.dialog->bitRate, qint16(8));
    QCOMPARE(p.sldrBitrate1->toolTip(), QStringLiteral("8"));
    QCOMPARE(f.dialog->OGGfs, QString()); // nothing stored, nothing pushed yet
    // The quality tip is the position / 100 with no leading zero and no trailing zeros.
    const QList<std::pair<int, QString>> tips{{450, " 4.5"}, {50, " .5"}, {0, " 0"},
                                              {1000, " 10"}, {5, " .05"}, {123, " 1.23"}};
    for (const auto &[position, tip] : tips) {
        p.sldrQuality1->setValue(position);
        QCOMPARE(p.sldrQuality1->toolTip(), tip);
        QCOMPARE(f.dialog->quality, qint16(position));
    }

    // VBR box, bitrate, min, max label, quality slider, quality box enabled.
    const auto states = [&p] {
        return enabled({p.chVbr, p.sldrBitrate1, p.sldrMinBitrate, p.lblMaxBitrate, p.sldrQuality1,
                        p.chQuality});
    };
    QVERIFY(f.dialog->QualityEnabled && f.dialog->VbrEnabled);
    QCOMPARE(states(), (QList<bool>{false, false, false, false, true, true}));
    p.chQuality->click(); // off: bitrate mode with the VBR range
    QVERIFY(!f.dialog->QualityEnabled);
    QCOMPARE(states(), (QList<bool>{true, true, true, true, false, true}));
    p.chVbr->click(); // off: no range
    QVERIFY(!f.dialog->VbrEnabled);
    QCOMPARE(states(), (QList<bool>{true, true, false, false, false, true}));
    p.chQuality->click(); // quality can always be ticked again
    QCOMPARE(states().mid(4), (QList<bool>{true, true}));
    QVERIFY(p.frmQuality1->isEnabled());
}

void TestEncoderPages::mp3Push_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QString>("sent");
    // rate, method, channels, quality, bitrate, max VBR bitrate, VBR quality, preset
    QTest::newRow("joint stereo") << QByteArray() << "44100 -1 2 2 128 192 4 3";
    QTest::newRow("mono") << QByteArray("channel=0\n") << "44100 -1 1 2 128 192 4 3";
    QTest::newRow("dual channels") << QByteArray("channel=4\n") << "44100 -1 2 2 128 192 4 3";
    QTest::newRow("ABR at 22050") << QByteArray("vbrcoding=5\nfrequency=4\nbitrate=0\n")
                                  << "22050 4 2 2 8 192 4 3";
    QTest::newRow("MTRH, last bitrates")
        << QByteArray("vbrcoding=4\nvbrbitrate=14\nquality=9\n") << "44100 3 2 9 128 320 4 3";
    QTest::newRow("no method selected") << QByteArray("vbrcoding=\n") << "44100 -2 2 2 128 192 4 3";
}

void TestEncoderPages::mp3Push()
{
    QFETCH(QByteArray, keys);
    QFETCH(QString, sent);
    OptionsFixture f;
    f.load(mp3(keys));
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.host.recorder.last("SetMp3Settings"), "SetMp3Settings " + sent);
    // The channel list position is stored as it stands (Joint Stereo is 2).
    QCOMPARE(f.value(Ini::Mp3::Channel), QString::number(f.dialog->mp3->cmbChMode->currentIndex()));
    QCOMPARE(f.value(Ini::Mp3::Fs), QStringLiteral("fmt mp3"));
    QCOMPARE(f.dialog->MP3fs, QStringLiteral("fmt mp3"));
}

void TestEncoderPages::mp3LiveQualityAndPreset()
{
    OptionsFixture f;
    Mp3Page &p = *f.load(mp3(QByteArray())).mp3;
    QVERIFY(p.frmBitrate->title().contains("128") && p.lblVbrBitrate->text().contains("192"));
    QCOMPARE(f.host.mp3.EncoderQuality, 2); // set by the load already
    p.sldrQuality->setValue(7);
    QCOMPARE(f.host.mp3.EncoderQuality, 7);
    f.dialog->cmdCancel->click();
    QCOMPARE(f.host.mp3.EncoderQuality, 7); // the live quality stays with the engine
    QCOMPARE(f.value(Ini::Mp3::Quality), QStringLiteral("2"));
    QCOMPARE(f.host.recorder.callsOf("SetMp3Settings").size(), 0);

    // Unticking the preset keeps the earlier preset in the engine, the file takes the new one.
    f.dialog->Load();
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.host.mp3.AlternativePreset, 3);
    p.chkPreset->click();
    QVERIFY(!p.frmPreset->isEnabled());
    p.opAltPreset[5]->setChecked(true);
    QCOMPARE(f.dialog->AltPreset, qint16(5));
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.host.recorder.last("SetMp3Settings").right(2), QStringLiteral(" 3"));
    QCOMPARE(f.host.mp3.AlternativePreset, 3);
    QCOMPARE(f.value(Ini::Mp3::AltPreset), QStringLiteral("5"));
    QCOMPARE(f.value(Ini::Mp3::AltPresetEnabled), QStringLiteral("0"));

    // A preset key that does not convert leaves the shown preset, and the variable names it.
    OptionsFixture missing;
    missing.load(mp3("altpreset=none\n"));
    QCOMPARE(missing.dialog->AltPreset, qint16(1));
    QVERIFY(missing.dialog->mp3->opAltPreset[1]->isChecked());
}

void TestEncoderPages::mp3VbrMethodEnabling()
{
    OptionsFixture f;
    Mp3Page &p = *f.load(mp3("vbrcoding=3\n")).mp3;
    // Method: VBR bitrate frame, slider, label; VBR quality box, arrows, label on or off.
    const QList<std::tuple<int, bool, bool>> rules{
        {0, false, false}, {1, true, true}, {3, true, true}, {5, true, false}};
    for (const auto &[method, bitrateOn, qualityOn] : rules) {
        p.cmbVBRCodingMethod->setCurrentIndex(method);
        QCOMPARE(enabled({p.frmVbrBitrate, p.sldrVbrBitrate, p.lblVbrBitrate, p.txtVbrQuality,
                          p.udVbrQuality, p.lblVbrQuality, p.cmbVBRCodingMethod, p.frmPreset}),
                 (QList<bool>{bitrateOn, bitrateOn, bitrateOn, qualityOn, qualityOn, qualityOn,
                              true, true}));
    }
}

void TestEncoderPages::wavPush_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QString>("sent");
    QTest::newRow("CD quality") << QByteArray("frequency=FQ_44_KHZ\nchannel=STEREO\n"
                                              "bitrate=BPS_16_BIT\n")
                                << "SetWavFormat 44100 2 16";
    QTest::newRow("88.2 kHz mono 8 bit")
        << QByteArray("frequency=FQ_88_KHZ\nchannel=MONO\nbitrate=BPS_8_BIT\n")
        << "SetWavFormat 88200 1 8";
    QTest::newRow("channel text in other case selects nothing: 0 channels")
        << QByteArray("frequency=FQ_22_KHZ\nchannel=stereo\nbitrate=BPS_4_BIT\n")
        << "SetWavFormat 22050 0 4";
    QTest::newRow("no rate: nothing sent")
        << QByteArray("channel=STEREO\nbitrate=BPS_16_BIT\n") << QString();
}

void TestEncoderPages::wavPush()
{
    QFETCH(QByteArray, keys);
    QFETCH(QString, sent);
    OptionsFixture f;
    f.load("[wav]\n" + keys);
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.host.recorder.last("SetWavFormat"), sent);
    // The file keeps the selected texts ("" for no selection).
    QCOMPARE(f.value(Ini::Wav::Channel), f.dialog->wav->Combo4->currentText());
    QCOMPARE(f.value(Ini::Wav::Frequency), f.dialog->wav->Combo3->currentText());
}

void TestEncoderPages::wmaProfiles_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("profile");
    QTest::newRow("1") << 1 << 36;
    QTest::newRow("4") << 4 << 13;
    QTest::newRow("5") << 5 << 11;
    QTest::newRow("7") << 7 << 8;
}

void TestEncoderPages::wmaProfiles()
{
    QFETCH(int, position);
    QFETCH(int, profile);
    OptionsFixture f;
    f.load("[wma]\nprofile=" + QByteArray::number(position) + "\nfs=stored\n");
    const QString format = QStringLiteral("fmt wma%1").arg(profile);
    QCOMPARE(f.host.recorder.last("SetWmaProfile"),
             QStringLiteral("SetWmaProfile %1").arg(profile));
    QCOMPARE(f.dialog->WMAfs, QStringLiteral("stored")); // until Apply
    QCOMPARE(f.dialog->wma->lblWMAdes->text().trimmed(), format);
    QVERIFY(f.dialog->wma->txtWMAdes->toPlainText().contains(format));
}

void TestEncoderPages::wmaFollowsSliderAndSurvivesRefusal()
{
    OptionsFixture f;
    f.load("[wma]\nprofile=junk\n");
    QCOMPARE(f.dialog->wma->sldWMA->value(), 1);
    QCOMPARE(f.host.recorder.last("SetWmaProfile"), QStringLiteral("SetWmaProfile 36"));
    f.dialog->wma->sldWMA->setValue(6);
    QCOMPARE(f.host.recorder.last("SetWmaProfile"), QStringLiteral("SetWmaProfile 10"));
    f.dialog->cmdCancel->click();
    QCOMPARE(f.value(Ini::Wma::Profile), QStringLiteral("junk"));
    f.dialog->Load();
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.value(Ini::Wma::Profile), QStringLiteral("1"));
    QCOMPARE(f.value(Ini::Wma::Fs), QStringLiteral("fmt wma36"));

    // A profile the engine refuses leaves an empty format between the label's blanks.
    OptionsFixture refused;
    refused.host.recorder.failProfile = 13;
    refused.load("[wma]\nprofile=4\nfs=kept\n");
    QCOMPARE(refused.dialog->wma->lblWMAdes->text(), QStringLiteral("  "));
    QVERIFY(refused.dialog->Apply());
    QCOMPARE(refused.value(Ini::Wma::Fs), QStringLiteral("kept"));
}

QTEST_MAIN(TestEncoderPages)
#include "tst_encoderpages.moc"
