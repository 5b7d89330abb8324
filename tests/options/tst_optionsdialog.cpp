// The options dialog as settings store and editor: General page, load, Apply, the buttons.
#include "optionsfixture.h"

#include "options/generalpage.h"
#include "options/updown.h"
#include "platform/paths.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray FullSettings =
    "[output]\n"
    "format=2\n"
    "folder=/music/out/\n"
    "playlist=1\n"
    "playlistname=Party\n"
    "open=0\n"
    "normalize=1\n"
    "normalizevalue=85\n"
    "deletesource=1\n"
    "overwrite=0\n"
    "oldfolder=0\n"
    "colorthemes=3\n"
    "[ogg]\nbitrate=9\nminbitrate=2\nmaxbitrate=11\nvbrenabled=0\n"
    "qualityenabled=0\nquality=400\nchannel=1\nfrequency=7\nfs=old ogg\n"
    "[wav]\nfrequency=FQ_44_KHZ\nchannel=STEREO\nbitrate=BPS_16_BIT\n"
    "[wma]\nprofile=4\nfs=old wma\n"
    "[mp3]\nfrequency=7\nvbrcoding=0\nbitrate=9\nquality=2\n"
    "vbrbitrate=11\nvbrquality=4\nchannel=2\naltpreset=1\n"
    "altpresetenabled=0\nfs=old mp3\n";

QString programFolder()
{
    return Paths::withTrailingSeparator(Paths::programDir());
}

// The keys of a settings file in the order they stand in it, as "section/key".
QStringList keysInFileOrder(const QByteArray &text)
{
    QStringList keys;
    QString section;
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            section = line.mid(1, line.size() - 2);
        else if (line.contains(QLatin1Char('=')))
            keys << section + QLatin1Char('/') + line.section(QLatin1Char('='), 0, 0);
    }
    return keys;
}

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT
private slots:
    void structureAndCaptions();
    void emptySettingsFileGivesBuiltInStates();
    void firstStartBeginsFromDefaults();
    void blankFolderBecomesProgramFolder_data();
    void blankFolderBecomesProgramFolder();
    void loadReadsGeneralPageAndSkipsBadValues();
    void applyWritesEveryKeyInOrder();
    void oggRefusalWritesAndPushesNothing();
    void cancelKeepsFileButMainWindowShowsTypedFolder();
    void okAppliesUnloadsAndVariablesSurvive();
    void defaultButton_data();
    void defaultButton();
    void oldFolderRewritesRows_data();
    void oldFolderRewritesRows();
    void chooseFolder_data();
    void chooseFolder();
    void helpOpensGuide();
    void colourSliderTintsListAtFiveOnly();
    void missingEngineStillStoresSettings();
    void showModalEndsOnCancel();
};

void TestOptionsDialog::structureAndCaptions()
{
    OptionsFixture f;
    frmOption &d = *f.dialog;
    QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
    const QStringList tabs{"General", "MP3", "WMA", "OGG", "WAV"};
    QCOMPARE(d.SSTab1->count(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(d.SSTab1->tabText(i), tabs[i]);
        QVERIFY(d.SSTab1->widget(i)->isAncestorOf(d.Image1[std::size_t(i)]));
    }
    QCOMPARE(
        QStringList({d.cmdHelp->text(), d.cmdApply->text(), d.cmdOK->text(), d.cmdCancel->text()}),
        QStringList({"Help", "Default", "Ok", "Cancel"}));
}

void TestOptionsDialog::emptySettingsFileGivesBuiltInStates()
{
    OptionsFixture f;
    f.writeWorking("");
    frmOption &d = *f.dialog;
    QVERIFY(!d.IsLoaded());
    d.Load();
    QVERIFY(d.IsLoaded());
    QCOMPARE(d.INI, f.working());
    QCOMPARE(f.host.skinCalls, QStringList{"Form"});
    QCOMPARE(d.txtOutFolder->text(), programFolder());
    QCOMPARE(f.host.folderBox, programFolder());
    QCOMPARE(f.host.panel1, "Save to: " + programFolder());
    QVERIFY(d.general->txtPlaylist->text().isEmpty());
    QVERIFY(d.general->txtNormalize->text().isEmpty());
    QVERIFY(d.chkOpenFolder->isChecked());
    QVERIFY(d.general->chkOverwrite->isChecked());
    QVERIFY(!d.chkOldfolder->isChecked());
    QVERIFY(!d.general->chkDeleteSource->isChecked());
    QVERIFY(!d.general->chkNormalize->isChecked());
    QVERIFY(!d.general->chkPlaylist->isChecked());
    QCOMPARE(d.general->sldColor->value(), 0);
    QVERIFY(f.host.hues.isEmpty()); // the slider did not move
    // The engine's switch, then the WMA page's built-in profile.
    QCOMPARE(f.host.recorder.calls, (QStringList{"setSwitch 1", "SetWmaProfile 36"}));
    QCOMPARE(d.outputFolder(), programFolder());
}

void TestOptionsDialog::firstStartBeginsFromDefaults()
{
    OptionsFixture f;
    QVERIFY(!QFile::exists(f.working()));
    const QString defaults = SettingsFiles::defaultsFile();
    const QByteArray shipped = f.bytes(defaults);
    f.dialog->Load();
    QCOMPARE(f.dialog->INI, f.working());
    QCOMPARE(f.dialog->general->txtPlaylist->text(),
             SettingsFiles::read(defaults, Ini::Output::PlaylistName));
    QVERIFY(!QFile::exists(f.working())); // loading writes nothing
    f.host.recorder.acceptOgg = true;
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.platform->count("messageBox"), 0);
    QCOMPARE(f.value(Ini::Ogg::Frequency), SettingsFiles::read(defaults, Ini::Ogg::Frequency));
    QCOMPARE(f.bytes(defaults), shipped);
    // From then on the settings file is the one read.
    f.dialog->general->txtPlaylist->setText(QStringLiteral("Mine"));
    f.dialog->cmdOK->click();
    QCOMPARE(f.dialog->outputFolder(), programFolder());
    QCOMPARE(f.dialog->general->txtPlaylist->text(), QStringLiteral("Mine"));
}

void TestOptionsDialog::blankFolderBecomesProgramFolder_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("blanks") << QByteArray("   ") << programFolder();
    QTest::newRow("missing") << QByteArray() << programFolder();
    QTest::newRow("typed without separator") << QByteArray("/data/out") << "/data/out";
}

void TestOptionsDialog::blankFolderBecomesProgramFolder()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    OptionsFixture f;
    f.writeWorking(stored.isNull() ? QByteArray("[output]\n")
                                   : "[output]\nfolder=\"" + stored + "\"\n");
    QCOMPARE(f.dialog->outputFolder(), shown);
    QCOMPARE(f.host.folderBox, shown);
}

void TestOptionsDialog::loadReadsGeneralPageAndSkipsBadValues()
{
    OptionsFixture f;
    f.writeWorking(FullSettings);
    frmOption &d = *f.dialog;
    d.Load();
    const GeneralPage &g = *d.general;
    QCOMPARE(d.txtOutFolder->text(), QStringLiteral("/music/out/"));
    QVERIFY(g.chkPlaylist->isChecked());
    QCOMPARE(g.txtPlaylist->text(), QStringLiteral("Party"));
    QVERIFY(!d.chkOpenFolder->isChecked());
    QVERIFY(g.chkNormalize->isChecked());
    QCOMPARE(g.txtNormalize->text(), QStringLiteral("85"));
    QCOMPARE(g.udNormalize->value(), 85);
    QVERIFY(g.chkDeleteSource->isChecked());
    QVERIFY(!g.chkOverwrite->isChecked());
    QCOMPARE(g.sldColor->value(), 3);
    QCOMPARE(f.host.hues, QList<int>{90});
    QCOMPARE(f.host.backgroundChanges, 0);

    // Values that do not convert leave the built-in states; the other steps still run.
    OptionsFixture bad;
    bad.writeWorking("[output]\nopen=yes\noverwrite=\ncolorthemes=12\noldfolder=2\n"
                     "playlist=1\n");
    bad.dialog->Load();
    QVERIFY(bad.dialog->chkOpenFolder->isChecked());
    QVERIFY(bad.dialog->general->chkOverwrite->isChecked());
    QVERIFY(!bad.dialog->chkOldfolder->isChecked());
    QCOMPARE(bad.dialog->general->sldColor->value(), 0);
    QVERIFY(bad.dialog->general->chkPlaylist->isChecked());
}

void TestOptionsDialog::applyWritesEveryKeyInOrder()
{
    OptionsFixture f;
    f.writeWorking(FullSettings);
    f.dialog->Load();
    f.writeWorking(""); // an empty file shows the write order in the order of the lines
    f.host.recorder.calls.clear();
    QVERIFY(f.dialog->Apply());

    QStringList expected;
    for (const Ini::Key &key : Ini::ApplyWriteOrder)
        expected << QString::fromLatin1(key.section) + '/' + QString::fromLatin1(key.key);
    QCOMPARE(keysInFileOrder(f.bytes(f.working())), expected);

    QCOMPARE(f.value(Ini::Output::Folder), QStringLiteral("/music/out/"));
    QCOMPARE(f.value(Ini::Output::Playlist), QStringLiteral("1"));
    QCOMPARE(f.value(Ini::Output::NormalizeValue), QStringLiteral("85"));
    QCOMPARE(f.value(Ini::Output::ColorThemes), QStringLiteral("3"));
    QCOMPARE(f.value(Ini::Ogg::Fs), QStringLiteral("fmt ogg"));
    QCOMPARE(f.value(Ini::Wma::Fs), QStringLiteral("fmt wma13"));
    QCOMPARE(f.value(Ini::Mp3::Fs), QStringLiteral("fmt mp3"));
    QCOMPARE(f.value(Ini::Wav::Bitrate), QStringLiteral("BPS_16_BIT"));
    QCOMPARE(f.dialog->OGGfs, QStringLiteral("fmt ogg"));
    // The pushes, in Apply's order.
    QStringList kinds;
    for (const QString &call : f.host.recorder.calls)
        kinds << call.section(' ', 0, 0);
    QCOMPARE(kinds, (QStringList{"CheckOggFormat", "SetOggFormat", "SetWavFormat", "SetWmaProfile",
                                 "SetMp3Settings"}));
    QCOMPARE(f.host.folderBox, QStringLiteral("/music/out/"));
}

void TestOptionsDialog::oggRefusalWritesAndPushesNothing()
{
    OptionsFixture f;
    f.writeWorking(FullSettings);
    f.dialog->Load();
    const QByteArray before = f.bytes(f.working());
    f.host.recorder.acceptOgg = false;
    f.host.recorder.calls.clear();

    QVERIFY(!f.dialog->Apply());
    QCOMPARE(f.bytes(f.working()), before);
    QCOMPARE(f.host.recorder.calls, QStringList{"CheckOggFormat 44100 2 128 0 0"});
    QCOMPARE(f.platform->count("messageBox"), 1);
    const PlatformCall box = f.platform->callsOf("messageBox").first();
    QCOMPARE(box.args[0], QStringLiteral("Incorrect OGG format, please re-select  "));
    QCOMPARE(box.args[1], QStringLiteral("Tonewright"));
    QCOMPARE(box.args[2], QString::number(int(MessageButtons::Ok)));
    QCOMPARE(box.args[3], QString::number(int(MessageIcon::Information)));
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
    f.dialog->Load();
    f.dialog->txtOutFolder->clear();
    QTest::keyClicks(f.dialog->txtOutFolder, "/new/place");
    QCOMPARE(f.host.folderBox, QStringLiteral("/new/place"));
    QCOMPARE(f.host.panel1, QStringLiteral("Save to: /new/place"));
    f.dialog->cmdCancel->click();
    QVERIFY(!f.dialog->IsLoaded());
    QCOMPARE(f.value(Ini::Output::Folder), QStringLiteral("/music/out/"));
    QCOMPARE(f.host.folderBox, QStringLiteral("/new/place"));
    // A later read of a live setting loads the dialog again from the file.
    QCOMPARE(f.dialog->outputFolder(), QStringLiteral("/music/out/"));
    QVERIFY(f.dialog->IsLoaded());
}

void TestOptionsDialog::okAppliesUnloadsAndVariablesSurvive()
{
    OptionsFixture f;
    f.writeWorking(FullSettings);
    f.dialog->Load();
    f.dialog->chkOpenFolder->click();
    f.dialog->cmdOK->click();
    QVERIFY(!f.dialog->IsLoaded());
    QCOMPARE(f.value(Ini::Output::Open), QStringLiteral("1"));
    QCOMPARE(f.dialog->bitRate, qint16(128));
    QCOMPARE(f.dialog->MinBitrate, qint16(24));
    QCOMPARE(f.dialog->MaxBitrate, qint16(192));
    QCOMPARE(f.dialog->Freq, 44100);
    QCOMPARE(f.dialog->Chan, 2);
    QCOMPARE(f.dialog->AltPreset, qint16(1));
    QCOMPARE(f.dialog->WMAfs, QStringLiteral("fmt wma13"));
    QVERIFY(f.dialog->openFolderAfterRun());
    QVERIFY(!f.dialog->convertIntoSourceFolder());
}

void TestOptionsDialog::defaultButton_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No") << false;
    QTest::newRow("Yes") << true;
}

void TestOptionsDialog::defaultButton()
{
    QFETCH(bool, yes);
    OptionsFixture f;
    f.writeWorking(FullSettings);
    const QString defaults = SettingsFiles::defaultsFile();
    const QByteArray shipped = f.bytes(defaults);
    QVERIFY(!shipped.isEmpty());
    f.dialog->Load();
    f.platform->messageAnswers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
    f.dialog->cmdApply->click();

    const PlatformCall box = f.platform->callsOf("messageBox").value(0);
    QCOMPARE(box.args.value(0), QStringLiteral("Do you want to restore the default settings?  "));
    QCOMPARE(box.args.value(1), QStringLiteral("Tonewright"));
    QCOMPARE(box.args.value(2), QString::number(int(MessageButtons::YesNo)));
    QCOMPARE(f.bytes(defaults), shipped);
    QVERIFY(f.dialog->IsLoaded());
    QVERIFY(!f.dialog->flgDefault);
    QCOMPARE(f.dialog->INI, f.working());
    if (!yes) {
        QCOMPARE(f.bytes(f.working()), FullSettings);
        return;
    }
    // Every stored option now holds the default; the format texts are the engine's.
    for (const Ini::Key &key : Ini::ApplyWriteOrder) {
        const QString name = QString::fromLatin1(key.key);
        if (name == QLatin1String("fs"))
            continue;
        QString expected = SettingsFiles::read(defaults, key);
        if (name == QLatin1String("folder") && expected.trimmed().isEmpty())
            expected = programFolder();
        QCOMPARE(f.value(key) + " " + name, expected + " " + name);
    }
    QCOMPARE(f.value(Ini::Output::Format), QStringLiteral("2")); // not an option of the dialog
    QCOMPARE(f.dialog->general->txtPlaylist->text(),
             SettingsFiles::read(defaults, Ini::Output::PlaylistName));
}

void TestOptionsDialog::oldFolderRewritesRows_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::newRow("empty list") << 0;
    QTest::newRow("three rows") << 3;
}

void TestOptionsDialog::oldFolderRewritesRows()
{
    QFETCH(int, rowCount);
    OptionsFixture f;
    f.writeWorking(FullSettings);
    for (int i = 0; i < rowCount; ++i)
        f.host.rows << RecordingHost::Row{QStringLiteral("/src/%1/").arg(i), QStringLiteral("x")};
    f.dialog->Load();
    f.dialog->chkOldfolder->click();
    for (const auto &row : f.host.rows)
        QCOMPARE(row.saveTo, row.from);
    f.dialog->chkOldfolder->click();
    for (const auto &row : f.host.rows)
        QCOMPARE(row.saveTo, QStringLiteral("/music/out/"));
    QCOMPARE(f.host.rows.size(), rowCount);

    // A stored "1" ticks the box on load, which rewrites the rows as a click does.
    OptionsFixture stored;
    stored.writeWorking("[output]\nfolder=/o/\noldfolder=1\n");
    stored.host.rows << RecordingHost::Row{QStringLiteral("/a/"), QStringLiteral("/o/")};
    QVERIFY(stored.dialog->convertIntoSourceFolder());
    QCOMPARE(stored.host.rows[0].saveTo, QStringLiteral("/a/"));
}

void TestOptionsDialog::chooseFolder_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no separator") << "/media/disk/out"
                                  << "/media/disk/out/";
    QTest::newRow("separator") << "/media/disk/"
                               << "/media/disk/";
    QTest::newRow("cancelled") << "You canceled operation"
                               << "/music/out/";
    QTest::newRow("no file-system path") << ""
                                         << "/music/out/";
}

void TestOptionsDialog::chooseFolder()
{
    QFETCH(QString, picked);
    QFETCH(QString, shown);
    OptionsFixture f;
    f.writeWorking(FullSettings);
    f.dialog->Load();
    f.platform->folderAnswers.enqueue(picked);
    f.dialog->findChild<QPushButton *>("Command1")->click();
    QCOMPARE(f.platform->callsOf("browseForFolder").value(0).args.value(0),
             QStringLiteral("Choose an output files folder..."));
    QCOMPARE(f.dialog->txtOutFolder->text(), shown);
    QCOMPARE(f.host.folderBox, shown);
}

void TestOptionsDialog::helpOpensGuide()
{
    OptionsFixture f;
    f.dialog->cmdHelp->click();
    QCOMPARE(f.platform->callsOf("openDocument").value(0).args.value(0),
             programFolder() + QLatin1String(frmOption::GuideName));
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
    QCOMPARE(f.host.listBackground.rgb() & 0xFFFFFF, QRgb(0xBCB4C5));
    slider->setValue(6);
    QCOMPARE(f.host.hues.last(), 180);
    QCOMPARE(f.host.backgroundChanges, 1); // moving away keeps the tint
    // Cancel keeps what the slider did; the file keeps its old position.
    f.dialog->cmdCancel->click();
    QCOMPARE(f.value(Ini::Output::ColorThemes), QString());
}

void TestOptionsDialog::missingEngineStillStoresSettings()
{
    OptionsFixture f;
    f.host.engine = nullptr;
    f.writeWorking(FullSettings);
    f.dialog->Load();
    QVERIFY(f.dialog->Apply());
    QCOMPARE(f.value(Ini::Mp3::Channel), QStringLiteral("2"));
    QCOMPARE(f.value(Ini::Mp3::Fs), QStringLiteral("old mp3"));
    QCOMPARE(f.dialog->general->sldColor->value(), 3);
}

void TestOptionsDialog::showModalEndsOnCancel()
{
    OptionsFixture f;
    f.writeWorking(FullSettings);
    f.dialog->Unload();
    QTimer::singleShot(0, f.dialog.get(), [&f] {
        QVERIFY(f.dialog->isVisible());
        QVERIFY(f.dialog->IsLoaded());
        f.dialog->cmdCancel->click();
    });
    f.dialog->showModal();
    QVERIFY(!f.dialog->isVisible());
    QVERIFY(!f.dialog->IsLoaded());
}

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
