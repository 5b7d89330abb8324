// The options dialog inside the program: its effects reach the real main window and engine.
#include "app/frmdialog.h"
#include "engine/converter.h"
#include "engine/mp3settings.h"
#include "joblist/joblistmodel.h"
#include "options/frmoption.h"
#include "options/generalpage.h"
#include "options/mp3page.h"
#include "options/wmapage.h"
#include "settings/settingsfiles.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"
#include "ui/skin/skinengine.h"
#include "ui/statusbar.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTreeView>

class TestOptionsMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void effectsReachTheMainWindowAndEngine();
};

void TestOptionsMainWindow::effectsReachTheMainWindowAndEngine()
{
    TestConfigDir config;
    TestPlatform::install();
    QFile file(SettingsFiles::workingFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[output]\nfolder=/out/\n[mp3]\nfrequency=7\nvbrcoding=0\nbitrate=9\n"
               "channel=0\nquality=3\n[wma]\nprofile=6\n[ogg]\nfrequency=7\nchannel=1\n"
               "qualityenabled=1\nquality=300\n");
    file.close();

    frmDialog main;
    main.Writer = std::make_unique<Converter>();
    main.Mp3Settings = std::make_unique<Mp3Settings>();
    main.jobs->AddJobRow("a.wav", "0:01", "1 KB", "/src/one/", "/out/");
    main.jobs->AddJobRow("b.wav", "0:01", "1 KB", "/src/two/", "/out/");

    frmOption &options = main.options();
    QVERIFY(options.IsLoaded());
    QCOMPARE(main.txtFolder->text(), QStringLiteral("/out/"));
    QCOMPARE(main.StatusBar1->panelText(1), QStringLiteral("Save to: /out/"));
    QCOMPARE(options.wma->lblWMAdes->text(), ' ' + main.Writer->FormatString() + ' ');

    options.chkOldfolder->click();
    QCOMPARE(main.jobs->text(1, JobColumn::SaveTo), QStringLiteral("/src/two/"));
    options.chkOldfolder->click();
    QCOMPARE(main.jobs->text(0, JobColumn::SaveTo), QStringLiteral("/out/"));

    // Position 5 tints the list; moving on changes the hue but keeps the tint.
    options.general->sldColor->setValue(5);
    QCOMPARE(main.Skn->hue(), 150);
    options.general->sldColor->setValue(2);
    QCOMPARE(main.Skn->hue(), 60);
    QCOMPARE(main.viewEvent->palette().color(QPalette::Base), QColor(188, 180, 197));

    options.mp3->sldrQuality->setValue(8);
    QCOMPARE(main.Mp3Settings->EncoderQuality, 8);
    QVERIFY(options.Apply());
    QCOMPARE(main.Mp3Settings->Channels, 1);
    QCOMPARE(main.Mp3Settings->VbrMethod, -1);
    QVERIFY(options.MP3fs.startsWith(QLatin1String("MP3")));
    QCOMPARE(SettingsFiles::read(SettingsFiles::workingFile(), Ini::Mp3::Fs), options.MP3fs);

    // The Options command's way: a fresh load every time it is shown.
    main.unloadOptions();
    QVERIFY(!options.IsLoaded());
    QCOMPARE(&main.options(), &options);
    QVERIFY(options.IsLoaded());
    QCOMPARE(options.general->sldColor->value(), 2);
}

QTEST_MAIN(TestOptionsMainWindow)
#include "tst_optionsmainwindow.moc"
