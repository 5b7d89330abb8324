// The options dialog as settings store and editor: General page, load, Apply, the buttons.
#include "optionsfixture.h"

#include "options/generalpage.h"
#include "options/mp3page.h"
#include "options/oggpage.h"
#include "options/updown.h"
#include "options/wmapage.h"
#include "tests/support/testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

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

QString keyName(const Ini::Key &key)
{
    return QString::fromLatin1(key.section) + '/' + QString::fromLatin1(key.key);
}

// The keys of a settings file in the order they stand in it, as "section/key".
QStringList keysInFileOrder(const QByteArray &text)
{
    QStringList keys;
    QString section;
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('['))
            section = line.mid(1, line.size() - 2);
        else if (line.contains('='))
            keys << section + '/' + line.section('=', 0, 0);
    }
    return keys;
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

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void emptySettingsFileLoads();
    void oddlySpelledTexts();
    void firstStartBeginsFromDefaults();
    void blankFolderBecomesMusicFolder();
    void loadThenApplyWritesEveryKeyInOrder();
    void oggRefusalWritesAndPushesNothing();
    void cancelKeepsFileButMainWindowShowsTypedFolder();
    void defaultButton();
    void oldFolderRewritesRows();
    void chooseFolder();
    void helpOpensGuide();
    void colourSliderTintsListAtFiveOnly();
};

void TestOptionsDialog::initTestCase()
{
    QVERIFY(testHome.isValid());
    const QString config = testHome.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(config));
    TestEnv::writeFile(config + QStringLiteral("/user-dirs.dirs"),
                       "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n");
    qputenv("HOME", testHome.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
}

void TestOptionsDialog::emptySettingsFileLoads()
{
    OptionsFixture f;
    QVERIFY(!f.dialog->IsLoaded());
    frmOption &d = f.load("");
    QVERIFY(d.IsLoaded());
    QCOMPARE(d.INI, f.working());
    QCOMPARE(f.host.skinCalls, QStringList{"Form"});
    QCOMPARE(f.host.folderBox, musicFolder());
    QVERIFY(f.host.hues.isEmpty()); // the slider did not move
    QVERIFY(f.host.recorder.last("SetWmaProfile").size() > 0);
}

// The texts whose odd spelling is easy to lose: blanks at the ends, inside numbers.
void TestOptionsDialog::oddlySpelledTexts()
{
    OptionsFixture f;
    f.load(FullSettings);
    f.host.recorder.acceptOgg = false;
    QVERIFY(!f.dialog->Apply());
    f.platform->messageAnswers.enqueue(MessageAnswer::No);
    f.dialog->cmdApply->click();
    QStringList texts;
    for (const PlatformCall &call : f.platform->callsOf("messageBox"))
        texts << call.args.value(0);
    texts << f.dialog->ogg->Combo2->itemText(0) << f.dialog->mp3->cmbFrequency->itemText(2)
          << f.dialog->wma->lblWMAdes->text();
    QCOMPARE(texts, (QStringList{"Incorrect OGG format, please re-select  ",
                                 "Do you want to restore the default settings?  ", "  8 000 Hz",
                                 "12 000 Hz ", " fmt wma13 "}));
}

void TestOptionsDialog::firstStartBeginsFromDefaults()
{
    OptionsFixture f;
    const QString defaults = SettingsFiles::defaultsFile();
    const QByteArray shipped = f.bytes(defaults);
    f.dialog->Load();
    QCOMPARE(f.dialog->INI, f.working());
    QCOMPARE(f.dialog->general->txtPlaylist->text(),
             SettingsFiles::read(defaults, Ini::Output::PlaylistName));
    QVERIFY(!QFile::exists(f.working())); // loading writes nothing
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.value(Ini::Ogg::Frequency), SettingsFiles::read(defaults, Ini::Ogg::Frequency));
    QCOMPARE(f.bytes(defaults), shipped);
}

void TestOptionsDialog::blankFolderBecomesMusicFolder()
{
    const QList<std::pair<QByteArray, QString>> cases{{"folder=\"   \"\n", musicFolder()},
                                                      {"", musicFolder()},
                                                      {"folder=/data/out\n", "/data/out"}};
    for (const auto &[stored, shown] : cases) {
        OptionsFixture f;
        f.writeWorking("[output]\n" + stored);
        QCOMPARE(f.dialog->outputFolder(), shown);
        QCOMPARE(f.host.folderBox, shown);
    }
}

void TestOptionsDialog::loadThenApplyWritesEveryKeyInOrder()
{
    OptionsFixture f;
    frmOption &d = f.load(FullSettings);
    QCOMPARE(checkStates(d), (QList<bool>{false, false, false, true, true, true}));
    QCOMPARE(d.general->udNormalize->value(), 85);
    QCOMPARE(f.host.hues, QList<int>{90}); // colour theme 3
    QCOMPARE(f.host.backgroundChanges, 0);
    f.writeWorking(""); // an empty file shows the write order in the order of the lines
    f.host.recorder.calls.clear();
    QVERIFY(d.Apply());

    QStringList expected;
    for (const Ini::Key &key : Ini::ApplyWriteOrder)
        expected << keyName(key);
    QCOMPARE(keysInFileOrder(f.bytes(f.working())), expected);
    const QList<std::pair<Ini::Key, QString>> values{{Ini::Output::Folder, "/music/out/"},
                                                     {Ini::Output::PlaylistName, "Party"},
                                                     {Ini::Output::NormalizeValue, "85"},
                                                     {Ini::Output::ColorThemes, "3"},
                                                     {Ini::Ogg::Fs, "fmt ogg"},
                                                     {Ini::Wma::Fs, "fmt wma13"},
                                                     {Ini::Mp3::Fs, "fmt mp3"}};
    for (const auto &[key, value] : values)
        QCOMPARE(f.value(key), value);
    // The pushes, in Apply's order.
    QStringList kinds;
    for (const QString &call : f.host.recorder.calls)
        kinds << call.section(' ', 0, 0);
    QCOMPARE(kinds, (QStringList{"CheckOggFormat", "SetOggFormat", "SetWavFormat", "SetWmaProfile",
                                 "SetMp3Settings"}));

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

void TestOptionsDialog::oggRefusalWritesAndPushesNothing()
{
    OptionsFixture f;
    f.load(FullSettings);
    const QByteArray before = f.bytes(f.working());
    f.host.recorder.acceptOgg = false;
    f.host.recorder.calls.clear();

    QVERIFY(!f.dialog->Apply());
    QCOMPARE(f.bytes(f.working()), before);
    QCOMPARE(f.host.recorder.calls, QStringList{"CheckOggFormat 44100 2 128 0 0"});
    QCOMPARE(f.platform->count("messageBox"), 1);
    QCOMPARE(f.dialog->OGGfs, QStringLiteral("old ogg"));

    // "Ok" closes the dialog all the same.
    f.dialog->cmdOK->click();
    QVERIFY(!f.dialog->IsLoaded());
    QCOMPARE(f.bytes(f.working()), before);
}

void TestOptionsDialog::cancelKeepsFileButMainWindowShowsTypedFolder()
{
    OptionsFixture f;
    f.writeWorking(FullSettings);
    // Shown modally (loading first), typed into, cancelled.
    QTimer::singleShot(0, f.dialog.get(), [&f] {
        QVERIFY(f.dialog->isVisible() && f.dialog->IsLoaded());
        f.dialog->txtOutFolder->clear();
        QTest::keyClicks(f.dialog->txtOutFolder, "/new/place");
        QCOMPARE(f.host.folderBox, QStringLiteral("/new/place"));
        QCOMPARE(f.host.panel1, QStringLiteral("Save to: /new/place"));
        f.dialog->cmdCancel->click();
    });
    f.dialog->showModal();
    QVERIFY(!f.dialog->isVisible());
    QVERIFY(!f.dialog->IsLoaded());
    QCOMPARE(f.value(Ini::Output::Folder), QStringLiteral("/music/out/"));
    QCOMPARE(f.host.folderBox, QStringLiteral("/new/place"));
    // A later read of a live setting loads the dialog again from the file.
    QCOMPARE(f.dialog->outputFolder(), QStringLiteral("/music/out/"));
    QVERIFY(f.dialog->IsLoaded());

    // "Ok" applies and unloads; the public variables survive the unload.
    f.dialog->chkOpenFolder->click();
    f.dialog->cmdOK->click();
    QVERIFY(!f.dialog->IsLoaded());
    QCOMPARE(f.value(Ini::Output::Open), QStringLiteral("1"));
    QCOMPARE(QList<int>({f.dialog->bitRate, f.dialog->MinBitrate, f.dialog->MaxBitrate,
                         f.dialog->Freq, f.dialog->Chan, f.dialog->AltPreset}),
             QList<int>({128, 24, 192, 44100, 2, 1}));
    QCOMPARE(f.dialog->WMAfs, QStringLiteral("fmt wma13"));
}

void TestOptionsDialog::defaultButton()
{
    for (bool yes : {false, true}) {
        OptionsFixture f;
        const QString defaults = SettingsFiles::defaultsFile();
        const QByteArray shipped = f.bytes(defaults);
        QVERIFY(!shipped.isEmpty());
        f.load(FullSettings);
        f.platform->messageAnswers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
        f.dialog->cmdApply->click();

        QCOMPARE(f.platform->callsOf("messageBox").value(0).args.value(2),
                 QString::number(int(MessageButtons::YesNo)));
        QCOMPARE(f.bytes(defaults), shipped);
        QVERIFY(f.dialog->IsLoaded());
        QVERIFY(!f.dialog->flgDefault);
        QCOMPARE(f.dialog->INI, f.working());
        if (!yes) {
            QCOMPARE(f.bytes(f.working()), FullSettings);
            continue;
        }
        // Every stored option now holds the default; the format texts are the engine's.
        for (const Ini::Key &key : Ini::ApplyWriteOrder) {
            const QString name = QString::fromLatin1(key.key);
            QString expected = SettingsFiles::read(defaults, key);
            if (name == QLatin1String("folder") && expected.trimmed().isEmpty())
                expected = musicFolder();
            if (name != QLatin1String("fs"))
                QCOMPARE(f.value(key) + " " + name, expected + " " + name);
        }
        QCOMPARE(f.value(Ini::Output::Format), QStringLiteral("2")); // not an option of the dialog
    }
}

void TestOptionsDialog::oldFolderRewritesRows()
{
    for (int rowCount : {0, 3}) {
        OptionsFixture f;
        for (int i = 0; i < rowCount; ++i)
            f.host.rows << RecordingHost::Row{QStringLiteral("/src/%1/").arg(i), "x"};
        f.load(FullSettings);
        f.dialog->chkOldfolder->click();
        for (const auto &row : f.host.rows)
            QCOMPARE(row.saveTo, row.from);
        f.dialog->chkOldfolder->click();
        for (const auto &row : f.host.rows)
            QCOMPARE(row.saveTo, QStringLiteral("/music/out/"));
        QCOMPARE(f.host.rows.size(), rowCount);
    }

    // A stored "1" ticks the box on load, which rewrites the rows as a click does.
    OptionsFixture stored;
    stored.writeWorking("[output]\nfolder=/o/\noldfolder=1\n");
    stored.host.rows << RecordingHost::Row{QStringLiteral("/a/"), QStringLiteral("/o/")};
    QVERIFY(stored.dialog->convertIntoSourceFolder());
    QCOMPARE(stored.host.rows[0].saveTo, QStringLiteral("/a/"));
}

void TestOptionsDialog::chooseFolder()
{
    OptionsFixture f;
    f.load(FullSettings);
    // A cancelled choice and one without a file-system path keep the folder.
    const QList<std::pair<QString, QString>> cases{{"You canceled operation", "/music/out/"},
                                                   {"", "/music/out/"},
                                                   {"/media/disk/out", "/media/disk/out/"},
                                                   {"/media/disk/", "/media/disk/"}};
    for (const auto &[picked, shown] : cases) {
        f.platform->folderAnswers.enqueue(picked);
        f.dialog->findChild<QPushButton *>("Command1")->click();
        QCOMPARE(f.dialog->txtOutFolder->text(), shown);
        QCOMPARE(f.host.folderBox, shown);
    }
}

void TestOptionsDialog::helpOpensGuide()
{
    OptionsFixture f;
    f.dialog->cmdHelp->click();
    const QString opened = f.platform->callsOf("openDocument").value(0).args.value(0);
    QVERIFY2(QFileInfo(opened).isFile(), qPrintable(opened));
    QCOMPARE(
        TestEnv::readFile(opened),
        TestEnv::readFile(TestEnv::sourceDir() + QStringLiteral("/resources/help/index.html")));
}

void TestOptionsDialog::colourSliderTintsListAtFiveOnly()
{
    OptionsFixture f;
    f.dialog->Load();
    QSlider *slider = f.dialog->general->sldColor;
    slider->setValue(4);
    QCOMPARE(f.host.backgroundChanges, 0);
    slider->setValue(5);
    QCOMPARE(f.host.hues, (QList<int>{120, 150}));
    QCOMPARE(f.host.listBackground, QColor(188, 180, 197));
    slider->setValue(6);
    QCOMPARE(f.host.hues.last(), 180);
    QCOMPARE(f.host.backgroundChanges, 1); // moving away keeps the tint
    // Cancel keeps what the slider did; the file keeps its old position.
    f.dialog->cmdCancel->click();
    QCOMPARE(f.value(Ini::Output::ColorThemes), QString());
}

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
