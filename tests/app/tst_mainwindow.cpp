// The main window's load, close, Exit, output format selection, shutdown timer and layout,
// driven headless through the test platform on a settings folder of its own.
#include "app/frmdialog.h"
#include "engine/converter.h"
#include "engine/fileinfo.h"
#include "joblist/joblistmodel.h"
#include "player/audioplayer.h"
#include "settings/settingsfiles.h"
#include "tags/tagpanel.h"
#include "ui/ctooltip.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinlibrary.h"
#include "ui/statusbar.h"

#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {

QString keyName(Ini::Key k)
{
    return QString::fromLatin1(k.section) + QLatin1Char('/') + QString::fromLatin1(k.key);
}

// One window per test, on its own settings folder and test platform.
struct Fixture
{
    TestConfigDir config;
    TestPlatform *platform = TestPlatform::install();
    std::unique_ptr<frmDialog> window = std::make_unique<frmDialog>();

    QString ini() const { return config.file(QStringLiteral("twr.ini")); }
    void write(Ini::Key k, const QString &value) { SettingsFiles::write(ini(), k, value); }
};

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWritesEveryOptionButFormat()
    {
        Fixture f;
        QVERIFY(!QFile::exists(f.ini()));
        QCOMPARE(f.window->Form_Load(), frmDialog::LoadResult::Loaded);

        QCOMPARE(f.window->INI, f.ini());
        const QStringList keys = QSettings(f.ini(), QSettings::IniFormat).allKeys();
        for (const Ini::Key &k : Ini::ApplyWriteOrder)
            QVERIFY2(keys.contains(keyName(k), Qt::CaseInsensitive), qPrintable(keyName(k)));
        QVERIFY(!keys.contains(keyName(Ini::Output::Format), Qt::CaseInsensitive));
        QCOMPARE(f.window->StatusBar1->panelText(3), QStringLiteral("Output Format: "));
        QVERIFY(f.window->outputformat[0]->isChecked());
        QCOMPARE(f.window->StatusBar1->panelText(2), QStringLiteral("Total Selected Files: 0"));
        QCOMPARE(f.window->StatusBar1->panelText(4), QStringLiteral("Status: Idle"));
        QCOMPARE(f.platform->count(QStringLiteral("messageBox")), 0);
    }

    void storedFormatRestoredExactCase_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("panel");
        QTest::newRow("OGG") << "OGG" << 2 << "Output Format: OGG";
        QTest::newRow("WAV") << "WAV" << 3 << "Output Format: WAV";
        QTest::newRow("ogg stays MP3") << "ogg" << 0 << "Output Format: ogg";
        QTest::newRow("unknown") << "FLAC" << 0 << "Output Format: FLAC";
    }

    void storedFormatRestoredExactCase()
    {
        QFETCH(QString, stored);
        QFETCH(int, button);
        QFETCH(QString, panel);
        Fixture f;
        f.write(Ini::Output::Format, stored);
        QCOMPARE(f.window->Form_Load(), frmDialog::LoadResult::Loaded);
        QCOMPARE(f.window->outputFormatIndex(), button);
        QCOMPARE(f.window->StatusBar1->panelText(3), panel);
        // The stored text is never rewritten in another case.
        QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::Format), stored);
    }

    void colourThemeSetsHue_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("hue");
        QTest::newRow("2") << "2" << 60;
        QTest::newRow("10") << "10" << 300;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("hue past 16 bits") << "2000" << 0;
    }

    // The OGG settings are refused at start-up, so the options rewrite nothing and the load
    // itself meets what the file holds.
    void colourThemeSetsHue()
    {
        QFETCH(QString, stored);
        QFETCH(int, hue);
        Fixture f;
        f.write(Ini::Ogg::QualityEnabled, QStringLiteral("0"));
        f.write(Ini::Ogg::VbrEnabled, QStringLiteral("0"));
        f.write(Ini::Ogg::Bitrate, QStringLiteral("14"));
        f.write(Ini::Ogg::Frequency, QStringLiteral("0"));
        f.write(Ini::Ogg::Channel, QStringLiteral("0"));
        f.write(Ini::Output::ColorThemes, stored);
        QCOMPARE(f.window->Form_Load(), frmDialog::LoadResult::Loaded);
        QCOMPARE(f.platform->count(QStringLiteral("messageBox")), 1);
        QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::ColorThemes), stored);
        QCOMPARE(f.window->Skn->hue(), hue);
    }

    void loadTakesFolderFromOptionsAndFillsGenres()
    {
        Fixture f;
        frmDialog &w = *f.window;
        const QString folder = f.config.path() + QStringLiteral("/out/");
        f.write(Ini::Output::Folder, folder);
        QCOMPARE(w.Form_Load(), frmDialog::LoadResult::Loaded);

        QVERIFY(w.Writer->convertFormat() && w.Reader->convertFormat());
        QCOMPARE(w.tagPanel->infoGenre->count(), 148);
        QCOMPARE(w.tagPanel->infoGenre->itemText(147), FileInfo::GenreName(147));
        QCOMPARE(w.height(), 460);
        QCOMPARE(w.txtFolder->text(), folder);
        QVERIFY(w.StatusBar1->panelText(1).contains(folder));
    }

    void skinFileIsDeletedAndSkinKept()
    {
        Fixture f;
        const QString skinFile = frmDialog::skinTempFile();
        QCOMPARE(QFileInfo(skinFile).absolutePath(), QFileInfo(f.ini()).absolutePath());
        SkinLibrary library({TestEnv::binDir()});
        QCOMPARE(library.LoadSkin(skinFile), 1);
        QVERIFY(QFile::exists(skinFile));

        f.window->Form_Load();
        QVERIFY(!QFile::exists(skinFile));
        QVERIFY(f.window->Skn->isLoaded());
        QVERIFY(f.window->Skn->isSkinned(f.window.get()));
    }

    void anotherInstanceEndsTheLoadSilently()
    {
        Fixture f;
        f.platform->previousInstance = true;
        QCOMPARE(f.window->Form_Load(), frmDialog::LoadResult::AnotherInstanceRunning);
        QCOMPARE(f.platform->count(QStringLiteral("previousInstanceRunning")), 1);
        QCOMPARE(f.platform->count(QStringLiteral("messageBox")), 0);
        // Nothing after the check ran: no settings written.
        QVERIFY(!QFile::exists(f.ini()));
        QVERIFY(!f.window->isVisible());
    }

    void closeReleasesEngineObjectsInOrder()
    {
        Fixture f;
        frmDialog &w = *f.window;
        w.Form_Load();
        w.show();
        QVERIFY(w.close());
        QVERIFY(!w.Reader && !w.Writer && !w.AudioPlayer && !w.FileInfo);
        QVERIFY(w.Mp3Settings); // not released by the close
    }

    void closeWaitsForARunningConversion()
    {
        Fixture f;
        frmDialog &w = *f.window;
        w.Form_Load();
        w.show();
        // A file converting, as the conversion run leaves the window meanwhile.
        bool cancelRequested = false;
        connect(w.cmdConvert, &QPushButton::clicked, &w, [&] {
            cancelRequested = true;
            w.state().flgConvert = false;
        });
        w.state().runActive = true;
        w.state().flgConvert = true;

        QVERIFY(!w.close());
        QVERIFY(cancelRequested);
        QVERIFY(w.Reader && w.Writer);

        // The run returns: the window closes and releases the objects then.
        w.state().runActive = false;
        QTRY_VERIFY(!w.Reader && !w.Writer);
        QVERIFY(!w.isVisible());
    }

    void exitRemovesSkinWithoutClosing()
    {
        Fixture f;
        frmDialog &w = *f.window;
        w.Form_Load();
        w.show();
        w.Exit();
        QVERIFY(!w.Skn->isSkinned(&w));
        QVERIFY(w.Reader && w.Writer && w.AudioPlayer && w.FileInfo);
        // The Files menu's Exit entry runs the same step.
        w.Skn->applyDefaultSkin(&w);
        w.exit->trigger();
        QVERIFY(!w.Skn->isSkinned(&w));
    }

    void formatSelectionWritesAndShows()
    {
        Fixture f;
        frmDialog &w = *f.window;
        w.Form_Load();
        const QStringList texts{"MP3", "WMA", "OGG", "WAV"};
        for (int i : {3, 1, 2, 0}) {
            w.outputformat[size_t(i)]->click();
            QCOMPARE(w.outputFormatIndex(), i);
            QCOMPARE(w.StatusBar1->panelText(3), QStringLiteral("Output Format: ") + texts[i]);
            QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::Format), texts[i]);
        }
        // Re-selecting the selected button runs nothing.
        f.write(Ini::Output::Format, QStringLiteral("x"));
        w.outputformat[0]->click();
        QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::Format), QStringLiteral("x"));
    }

    void shutdownTimerRequestsOnce()
    {
        Fixture f;
        frmDialog &w = *f.window;
        w.Form_Load();
        QVERIFY(!w.Timer1->isActive());
        w.Timer1->start();
        QMetaObject::invokeMethod(w.Timer1, "timeout");
        QCOMPARE(f.platform->count(QStringLiteral("requestShutdown")), 1);
        QVERIFY(!w.Timer1->isActive());
    }

    void tagPanelHeights()
    {
        Fixture f;
        frmDialog &w = *f.window;
        w.Form_Load();
        w.show();
        QVERIFY(!w.isTagMode());
        QVERIFY(w.tagPanel->visibleRegion().isEmpty());

        w.setHeightTwips(frmDialog::TagHeightTwips);
        QVERIFY(w.isTagMode());
        QCOMPARE(w.height(), 663);
        QCoreApplication::processEvents();
        const QRect panel(w.tagPanel->mapTo(&w, QPoint(0, 0)), w.tagPanel->size());
        QVERIFY(panel.bottom() < w.StatusBar1->mapTo(&w, QPoint(0, 0)).y());
        QVERIFY(w.tagPanel->infoOriginalArtist->isVisibleTo(&w));

        w.setHeightTwips(6901);
        QVERIFY(!w.isTagMode());
        QCOMPARE(w.heightTwips(), 6901);
        QCOMPARE(w.height(), 460);
    }

    // Only texts whose blanks or quotes are easy to lose.
    void oddTipsKeepTheirBlanks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tip");
        QTest::newRow("cmdOpenFile") << "cmdOpenFile"
                                     << "  Add Files for converting  ";
        QTest::newRow("outputformat_2") << "outputformat_2"
                                        << "  Set output format to \"OGG\"  ";
        QTest::newRow("cmdCloseTag") << "cmdCloseTag"
                                     << "Close Tag Editor Mode";
    }

    void oddTipsKeepTheirBlanks()
    {
        QFETCH(QString, name);
        QFETCH(QString, tip);
        Fixture f;
        auto *button = f.window->findChild<QAbstractButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), tip);
    }

    void menusInOrderWithPopupsHidden()
    {
        Fixture f;
        frmDialog &w = *f.window;
        const QList<QAction *> top = w.menuBar()->actions();
        QCOMPARE(top.size(), 5);
        QCOMPARE(QList<QMenu *>({top[0]->menu(), top[1]->menu(), top[2]->menu()}),
                 QList<QMenu *>({w.file, w.action, w.help}));
        QVERIFY(top[0]->isVisible() && top[1]->isVisible() && top[2]->isVisible());
        // Either popup, made visible alone, is the fourth visible entry of the bar.
        for (QMenu *popup : {w.rightmenu, w.playmenu}) {
            QVERIFY(!popup->menuAction()->isVisible());
            popup->menuAction()->setVisible(true);
            QList<QAction *> visible;
            for (QAction *a : w.menuBar()->actions())
                if (a->isVisible())
                    visible << a;
            QCOMPARE(visible.value(3), popup->menuAction());
            popup->menuAction()->setVisible(false);
        }
        QVERIFY(!w.other->menuAction()->isVisible());
        QVERIFY(w.help->actions().contains(w.other->menuAction()));

        // The popup's convert list differs from the menu's in order and keeps a misspelling.
        QStringList captions;
        for (QAction *a : w.convertmenu->actions())
            captions << a->text();
        QCOMPARE(captions, QStringList({"Convert to MP3", "Convert to WMA", "Convert to WAV",
                                        "Convet  to OGG"}));
    }

    void jobListShowsEightColumns()
    {
        Fixture f;
        frmDialog &w = *f.window;
        QCOMPARE(w.viewEvent->model(), w.jobs);
        w.show();
        // The header row is there to read and click.
        QVERIFY(!w.viewEvent->isHeaderHidden());
        QVERIFY(w.viewEvent->header()->sizeHint().height() > 0);
        QCOMPARE(w.jobs->columnCount(), 8);
        QCOMPARE(w.jobs->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Save to..."));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
