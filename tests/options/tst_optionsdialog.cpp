// The options dialog: what it stores, what each page hands to the engine, and inside the real
// main window. (What its settings make is converted and probed in the conversion run's tests.)
#include "optionsfixture.h"

#include "app/frmdialog.h"
#include "convert/encodersettings.h"
#include "convert/outputformat.h"
#include "options/flacpage.h"
#include "options/generalpage.h"
#include "options/mp3page.h"
#include "options/oggpage.h"
#include "options/opuspage.h"
#include "options/updown.h"
#include "options/wmapage.h"
#include "tests/support/platformcalls.h"
#include "tests/support/readonlymount.h"
#include "ui/skin/skinengine.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QByteArray FullSettings =
    "[output]\nformat=2\nfolder=/music/out/\nplaylist=1\nplaylistname=Party\nopen=0\n"
    "normalize=1\nnormalizevalue=85\ndeletesource=1\noverwrite=0\noldfolder=0\ncolorthemes=3\n"
    "[ogg]\nbitrate=9\nminbitrate=2\nmaxbitrate=11\nvbrenabled=0\n"
    "qualityenabled=0\nquality=400\nchannel=1\nfrequency=7\nfs=old ogg\n"
    "[wav]\nfrequency=FQ_44_KHZ\nchannel=STEREO\nbitrate=BPS_16_BIT\n"
    "[wma]\nprofile=4\nfs=old wma\n"
    "[mp3]\nfrequency=7\nvbrcoding=0\nbitrate=9\nquality=2\n"
    "vbrbitrate=11\nvbrquality=4\nchannel=2\naltpreset=1\naltpresetenabled=0\nfs=old mp3\n";

// A home of the tests' own whose desktop names "Tunes" as the music folder.
QTemporaryDir testHome;

QString musicFolder()
{
    return testHome.filePath(QStringLiteral("Tunes")) + u'/';
}

// Check states of the General page's boxes: open, overwrite, old folder, delete, normalize,
// playlist.
QList<bool> checkStates(const frmOption &d)
{
    const GeneralPage &g = *d.general;
    return {d.chkOpenFolder->isChecked(), g.chkOverwrite->isChecked(),
            d.chkOldfolder->isChecked(),  g.chkDeleteSource->isChecked(),
            g.chkNormalize->isChecked(),  g.chkPlaylist->isChecked()};
}

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

class TestOptionsDialog : public QObject
{
    Q_OBJECT

private slots:
    // A refused Ogg format is neither pushed nor written; every other format is, and "Ok"
    // closes all the same. The texts whose odd spelling is easy to lose: blanks at the ends,
    // inside numbers.
    void oggRefusalAndOddlySpelledTexts()
    {
        OptionsFixture f;
        f.load(FullSettings);
        f.host.recorder.acceptOgg = false;
        f.host.recorder.calls.clear();
        f.dialog->mp3->sldrBitrate->setValue(3);
        QVERIFY(!f.dialog->Apply());
        const QStringList pushed = f.host.recorder.calls.filter("Set");
        QVERIFY2(pushed.filter("SetOgg").isEmpty() && pushed.filter("SetMp3").size() == 1 &&
                     pushed.filter("SetWav").size() == 1,
                 qPrintable(pushed.join('\n')));
        QCOMPARE(f.value(Ini::Mp3::Bitrate), QString("3"));
        QCOMPARE(f.value(Ini::Ogg::Fs), QString("old ogg"));
        QCOMPARE(f.value(Ini::Ogg::Bitrate), QString("9"));
        TestEnv::writeFile(f.working(), FullSettings);
        f.platform->messageAnswers.enqueue(MessageAnswer::No);
        f.dialog->cmdApply->click(); // the default button asks first: declined
        QCOMPARE(TestEnv::readFile(f.working()), FullSettings);
        QStringList texts = PlatformCalls::messages(*f.platform);
        texts << f.dialog->ogg->Combo2->itemText(0) << f.dialog->mp3->cmbFrequency->itemText(2)
              << f.dialog->wma->lblWMAdes->text();
        // The Ogg quality tip: the position / 100 without leading or trailing zeros.
        for (int position : {450, 50, 5, 1000}) {
            f.dialog->ogg->sldrQuality1->setValue(position);
            texts << f.dialog->ogg->sldrQuality1->toolTip();
        }
        QCOMPARE(texts, (QStringList{"Incorrect OGG format, please re-select  ",
                                     "Do you want to restore the default settings?  ", "  8 000 Hz",
                                     "12 000 Hz ", " fmt wma13 ", " 4.5", " .5", " .05", " 10"}));
        f.dialog->cmdOK->click();
        QVERIFY(!f.dialog->IsLoaded());
        QCOMPARE(f.value(Ini::Ogg::Fs), QString("old ogg"));
    }

    // A full disk: the old file stays whole and the user reads once which file was not saved.
    void fullDiskKeepsTheSettingsAndSaysSo()
    {
        OptionsFixture f;
        TmpfsMount disk(f.config.path(), 4096); // one page, which the old file takes
        TWR_SKIP_UNLESS_MOUNTED(disk);
        f.load(FullSettings);
        QVERIFY(f.dialog->Apply());
        QCOMPARE(PlatformCalls::messages(*f.platform),
                 QStringList{"The settings could not be saved in " + f.working() +
                             ": the disk is full"});
        QCOMPARE(TestEnv::readFile(f.working()), FullSettings);
        QCOMPARE(QDir(f.config.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"twr.ini"});
    }

    void loadThenApplyStoresEveryValue()
    {
        OptionsFixture f;
        frmOption &d = f.load(FullSettings);
        QCOMPARE(checkStates(d), (QList<bool>{false, false, false, true, true, true}));
        QCOMPARE(f.host.hues, QList<int>{90}); // colour theme 3
        f.writeWorking("");
        QVERIFY(d.Apply());
        const QList<std::pair<Ini::Key, QString>> values{
            {Ini::Output::Folder, "/music/out/"}, {Ini::Output::PlaylistName, "Party"},
            {Ini::Output::NormalizeValue, "85"},  {Ini::Output::DeleteSource, "1"},
            {Ini::Output::ColorThemes, "3"},      {Ini::Ogg::Fs, "fmt ogg"},
            {Ini::Wma::Fs, "fmt wma13"},          {Ini::Mp3::Fs, "fmt mp3"}};
        for (const auto &[key, value] : values)
            QCOMPARE(f.value(key), value);

        // Values that do not convert leave the states of missing keys; the other steps still run.
        OptionsFixture empty;
        empty.load("");
        OptionsFixture bad;
        bad.load("[output]\nopen=yes\noverwrite=\ncolorthemes=12\noldfolder=2\nplaylist=1\n");
        QList<bool> states = checkStates(*empty.dialog);
        states.last() = true; // playlist=1 converts
        QCOMPARE(checkStates(*bad.dialog), states);
        QCOMPARE(bad.dialog->general->sldColor->value(), 0);

        // Without engine objects the settings are stored all the same, format texts kept.
        OptionsFixture bare;
        bare.host.engine = nullptr;
        bare.load(FullSettings);
        QVERIFY(bare.dialog->Apply());
        QCOMPARE(bare.value(Ini::Mp3::Fs), QStringLiteral("old mp3"));
    }

    void cancelKeepsFileButMainWindowShowsTypedFolder()
    {
        OptionsFixture f;
        f.writeWorking(FullSettings);
        f.dialog->SSTab1->setCurrentIndex(3); // where an earlier showing was left
        // Shown modally (loading first, on the first page), typed into, cancelled.
        QTimer::singleShot(0, f.dialog.get(), [&f] {
            QVERIFY(f.dialog->isVisible() && f.dialog->IsLoaded());
            QCOMPARE(f.dialog->SSTab1->currentIndex(), 0);
            f.dialog->txtOutFolder->clear();
            QTest::keyClicks(f.dialog->txtOutFolder, "/new/place");
            QCOMPARE(f.host.panel1, QStringLiteral("Save to: /new/place"));
            f.dialog->cmdCancel->click();
        });
        f.dialog->showModal();
        QVERIFY(!f.dialog->isVisible() && !f.dialog->IsLoaded());
        QCOMPARE(f.value(Ini::Output::Folder), QStringLiteral("/music/out/"));
        QCOMPARE(f.host.folderBox, QStringLiteral("/new/place"));
        // A later read of a live setting loads the dialog again from the file.
        QCOMPARE(f.dialog->outputFolder(), QStringLiteral("/music/out/"));

        // "Ok" applies and unloads.
        f.dialog->chkOpenFolder->click();
        f.dialog->cmdOK->click();
        QVERIFY(!f.dialog->IsLoaded());
        QCOMPARE(f.value(Ini::Output::Open), QStringLiteral("1"));
    }

    // A first start begins from the defaults, loading writes nothing. The default button,
    // agreed to, stores every option's default, the format texts the engine's, and leaves the
    // shipped defaults as they are.
    void firstStartAndDefaultButton()
    {
        const QString defaults = SettingsFiles::defaultsFile();
        const QByteArray shipped = TestEnv::readFile(defaults);
        const auto storesDefaults = [&](const OptionsFixture &f) {
            for (const Ini::Key &key : Ini::ApplyWriteOrder) {
                const QString name = QString::fromLatin1(key.key);
                QString expected = SettingsFiles::read(defaults, key);
                if (name == QLatin1String("folder") && expected.trimmed().isEmpty())
                    expected = musicFolder();
                if (name != QLatin1String("fs"))
                    QCOMPARE(f.value(key) + " " + name, expected + " " + name);
            }
        };
        OptionsFixture first;
        first.dialog->Load();
        QVERIFY(!QFile::exists(first.working()));
        QVERIFY(first.dialog->Apply());
        storesDefaults(first);

        OptionsFixture f;
        f.load(FullSettings);
        f.platform->messageAnswers << MessageAnswer::Yes;
        f.dialog->cmdApply->click();
        QCOMPARE(TestEnv::readFile(defaults), shipped);
        storesDefaults(f);
        QCOMPARE(f.value(Ini::Output::Format), QStringLiteral("2")); // not an option of the dialog
    }

    // A stored "1" ticks the box on load, which rewrites the rows as a click does. A cancelled
    // folder choice and one without a file-system path keep the folder.
    void oldFolderAndChooseFolder()
    {
        // A blank or missing folder is the music folder.
        const QList<std::pair<QByteArray, QString>> cases{{"folder=\"   \"\n", musicFolder()},
                                                          {"", musicFolder()},
                                                          {"folder=/data/out\n", "/data/out"}};
        for (const auto &[stored, shown] : cases) {
            OptionsFixture f;
            f.writeWorking("[output]\n" + stored);
            QCOMPARE(f.dialog->outputFolder(), shown);
            QCOMPARE(f.host.folderBox, shown);
        }
        OptionsFixture f;
        f.writeWorking("[output]\nfolder=/o/\noldfolder=1\n");
        f.host.rows << RecordingHost::Row{QStringLiteral("/a/"), QStringLiteral("/o/")};
        QVERIFY(f.dialog->convertIntoSourceFolder());
        QCOMPARE(f.host.rows[0].saveTo, QStringLiteral("/a/"));
        f.dialog->chkOldfolder->click();
        QCOMPARE(f.host.rows[0].saveTo, QStringLiteral("/o/"));
        for (const auto &[picked, shown] : QList<std::pair<QString, QString>>{
                 {"You canceled operation", "/o/"}, {"/media/disk/out", "/media/disk/out/"}}) {
            f.platform->folderAnswers.enqueue(picked);
            f.dialog->findChild<QPushButton *>("Command1")->click();
            QCOMPARE(f.dialog->txtOutFolder->text(), shown);
            QCOMPARE(f.host.folderBox, shown);
        }
    }

    // What Apply hands to the engine for a page's stored settings.
    void pushesToTheEngine()
    {
        const auto check = [](const char *tag, const QByteArray &settings, QStringList pushed) {
            OptionsFixture f;
            f.load(settings);
            f.host.recorder.calls.clear();
            QVERIFY2(f.dialog->Apply() && f.platform->count("messageBox") == 0, tag);
            const QString kind = settings.startsWith("[ogg]")   ? "OggFormat"
                                 : settings.startsWith("[mp3]") ? "SetMp3"
                                                                : "SetWav";
            QCOMPARE(f.host.recorder.calls.filter(kind) << tag, pushed << tag);
        };
        check("ogg quality mode: 128/0/0, not checked", ogg("qualityenabled=1\nquality=450\n"),
              {"SetOggFormat 44100 2 128 0 0 450"});
        check("ogg VBR unticked: min and max 0", ogg("qualityenabled=0\nvbrenabled=0\n"),
              {"CheckOggFormat 44100 2 128 0 0", "SetOggFormat 44100 2 128 0 0 -1"});
        check("ogg VBR ticked: the sliders, min above max too",
              ogg("qualityenabled=0\nvbrenabled=1\nminbitrate=12\nmaxbitrate=1\n"),
              {"CheckOggFormat 44100 2 128 224 16", "SetOggFormat 44100 2 128 224 16 -1"});
        // rate, method, channels, quality, bitrate, max VBR bitrate, VBR quality, preset
        check("mp3 dual channels", mp3("channel=4\n"), {"SetMp3Settings 44100 -1 2 2 128 192 4 3"});
        check("mp3 ABR at 22050", mp3("vbrcoding=5\nfrequency=4\nbitrate=0\n"),
              {"SetMp3Settings 22050 4 2 2 8 192 4 3"});
        check("mp3 MTRH, last bitrates", mp3("vbrcoding=4\nvbrbitrate=14\nquality=9\n"),
              {"SetMp3Settings 44100 3 2 9 128 320 4 3"});
        check("wav channel text in other case selects nothing",
              "[wav]\nfrequency=FQ_22_KHZ\nchannel=stereo\nbitrate=BPS_4_BIT\n",
              {"SetWavFormat 22050 0 4"});
        check("wav no rate: the factory default's", "[wav]\nchannel=STEREO\nbitrate=BPS_8_BIT\n",
              {"SetWavFormat 44100 2 8"});
    }

    void oggAndMp3Enabling()
    {
        OptionsFixture f;
        f.load(ogg("qualityenabled=1\nvbrenabled=1\n") + mp3("vbrcoding=3\n"));
        OggPage &p = *f.dialog->ogg;
        // VBR box, bitrate, min, max label, quality slider, quality box enabled.
        const auto states = [&p] {
            return enabled({p.chVbr, p.sldrBitrate1, p.sldrMinBitrate, p.lblMaxBitrate,
                            p.sldrQuality1, p.chQuality});
        };
        QCOMPARE(states(), (QList<bool>{false, false, false, false, true, true}));
        p.chQuality->click(); // off: bitrate mode with the VBR range
        QCOMPARE(states(), (QList<bool>{true, true, true, true, false, true}));
        p.chVbr->click(); // off: no range
        QCOMPARE(states(), (QList<bool>{true, true, false, false, false, true}));
        p.chQuality->click(); // quality can always be ticked again
        QCOMPARE(states().mid(4), (QList<bool>{true, true}));

        // MP3 method: VBR bitrate frame and slider, VBR quality box and arrows on or off; the
        // method box itself stays usable.
        Mp3Page &m = *f.dialog->mp3;
        for (const auto &[method, bitrateOn, qualityOn] : QList<std::tuple<int, bool, bool>>{
                 {0, false, false}, {3, true, true}, {5, true, false}}) {
            m.cmbVBRCodingMethod->setCurrentIndex(method);
            QCOMPARE(enabled({m.frmVbrBitrate, m.sldrVbrBitrate, m.txtVbrQuality, m.udVbrQuality,
                              m.cmbVBRCodingMethod}),
                     (QList<bool>{bitrateOn, bitrateOn, qualityOn, qualityOn, true}));
        }
    }

    // Sliders reach the engine at once and stay there on Cancel; the file changes on Apply.
    void liveSettingsPresetAndWma()
    {
        OptionsFixture f;
        // An unusable WMA profile: the factory default's.
        Mp3Page &p = *f.load(mp3(QByteArray()) + "[wma]\nprofile=junk\nfs=stored\n").mp3;
        QCOMPARE(f.host.recorder.last("SetWmaProfile"), QStringLiteral("SetWmaProfile 13"));
        p.sldrQuality->setValue(7);
        f.dialog->wma->sldWMA->setValue(6);
        QCOMPARE(f.host.recorder.last("SetWmaProfile"), QStringLiteral("SetWmaProfile 10"));
        f.dialog->cmdCancel->click();
        QCOMPARE(f.host.mp3.EncoderQuality, 7);
        QCOMPARE(f.value(Ini::Wma::Profile), QStringLiteral("junk"));
        f.dialog->Load();
        QVERIFY(f.dialog->Apply());
        QCOMPARE(f.value(Ini::Wma::Profile), QStringLiteral("4"));
        QCOMPARE(f.value(Ini::Wma::Fs), QStringLiteral("fmt wma13"));

        // An unticked preset is no preset in the engine; the file keeps the chosen one.
        p.chkPreset->click();
        QVERIFY(p.chkPreset->isEnabled()); // outside the frame it greys, so it can tick again
        p.opAltPreset[5]->setChecked(true);
        QVERIFY(f.dialog->Apply());
        QCOMPARE(f.host.mp3.AlternativePreset, 0);
        QCOMPARE(f.value(Ini::Mp3::AltPreset), QStringLiteral("5"));

        // A profile the engine refuses leaves an empty format between the label's blanks.
        OptionsFixture refused;
        refused.host.recorder.failProfile = 13;
        refused.load("[wma]\nprofile=4\nfs=kept\n");
        QVERIFY(refused.dialog->Apply());
        QCOMPARE(refused.value(Ini::Wma::Fs), QStringLiteral("kept"));
    }

    void initTestCase()
    {
        QVERIFY(testHome.isValid());
        const QString config = testHome.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(config));
        TestEnv::writeFile(config + "/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n");
        qputenv("HOME", testHome.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    }

    // The pages of the later formats show what is stored (a value out of range, or a section
    // an older version did not write, as the factory default), and Apply writes and pushes
    // what they show.
    void laterFormatPages()
    {
        OptionsFixture f;
        frmOption &d = f.load(FullSettings + "[flac]\nlevel=8\nbits=24\nfrequency=48000\n"
                                             "channel=1\n[opus]\nbitrate=300\nmode=2\n");
        QCOMPARE(d.SSTab1->count(), 8);
        QCOMPARE(d.SSTab1->tabText(5) + d.SSTab1->tabText(6) + d.SSTab1->tabText(7),
                 QString("FLACOpusM4A"));
        const auto *flac = qobject_cast<FlacPage *>(d.laterPages.at(0));
        const auto *opus = qobject_cast<OpusPage *>(d.laterPages.at(1));
        QVERIFY(flac && opus);
        QCOMPARE(flac->sldLevel->value(), 8);
        QCOMPARE(flac->cmbBits->currentText() + '|' + flac->cmbFrequency->currentText() + '|' +
                     flac->cmbChannels->currentText(),
                 QString("24 bit|48000 Hz|Mono"));
        QCOMPARE(opus->sldBitrate->value(), 128);
        QCOMPARE(opus->cmbMode->currentText(), QString("CBR"));
        QCOMPARE(flac->lblFs->text(),
                 "Current Select: " + EncoderFormats::describe(FlacFormat{8, 24, 48000, 1}));

        f.host.recorder.calls.clear();
        QVERIFY(d.Apply());
        const QList<std::pair<Ini::Key, QString>> stored{
            {Ini::Flac::Level, "8"},         {Ini::Flac::Bits, "24"},
            {Ini::Flac::Frequency, "48000"}, {Ini::Flac::Channel, "1"},
            {Ini::Opus::Bitrate, "128"},     {Ini::Opus::Mode, "2"},
            {Ini::M4a::Bitrate, "192"},      {Ini::M4a::Frequency, "0"},
            {Ini::M4a::Channel, "0"}};
        for (const auto &[key, value] : stored)
            QCOMPARE(f.value(key) + ' ' + key.key, value + ' ' + key.key);
        QCOMPARE(f.host.recorder.calls.filter("SetFormat"),
                 QStringList({"SetFormat 4", "SetFormat 5", "SetFormat 6"}));
    }

    void effectsReachTheMainWindowAndEngine()
    {
        TestConfigDir config;
        TestPlatform::install();
        TestEnv::writeFile(SettingsFiles::workingFile(),
                           "[output]\nfolder=/out/\n[mp3]\nfrequency=7\nvbrcoding=0\nbitrate=9\n"
                           "channel=0\nquality=3\n[wma]\nprofile=6\n[ogg]\nfrequency=7\nchannel=1\n"
                           "qualityenabled=1\nquality=300\n");

        frmDialog main;
        main.Mp3Settings = std::make_unique<Mp3Settings>();

        frmOption &options = main.options();
        QCOMPARE(main.txtFolder->text(), QStringLiteral("/out/"));
        QCOMPARE(options.wma->lblWMAdes->text(),
                 ' ' + EncoderSetup::describe(main.encoderSettings()[OutputFormatId::Wma]) + ' ');

        // Position 5 tints the list; moving on changes the hue but keeps the tint.
        options.general->sldColor->setValue(5);
        options.general->sldColor->setValue(2);
        QCOMPARE(main.Skn->hue(), 60);
        QCOMPARE(main.viewEvent->palette().color(QPalette::Base), QColor(188, 180, 197));

        QVERIFY(options.Apply());
        QCOMPARE(main.Mp3Settings->Channels, 1); // the engine's own settings, not a copy
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
