// The main window's load, close, Exit, output format selection, shutdown timer and layout,
// driven headless through the test platform on a settings folder of its own.
#include "engine/converter.h"
#include "player/audioplayer.h"
#include "settings/settingsfiles.h"
#include "tags/tagpanel.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinlibrary.h"

#include "tests/support/loadedwindow.h"

#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QTreeView>

namespace {

// A window not loaded yet, so the settings can be prepared first.
struct Fixture : LoadedWindow
{
    Fixture()
        : LoadedWindow(false)
    {
    }
    QString ini() const { return config.file(QStringLiteral("twr.ini")); }
    void write(Ini::Key k, const QString &value) { SettingsFiles::write(ini(), k, value); }
    frmDialog &loaded()
    {
        w->Form_Load();
        return *w;
    }
};

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWritesEveryOptionButFormat()
    {
        Fixture f;
        QCOMPARE(f.w->Form_Load(), frmDialog::LoadResult::Loaded);
        const QStringList keys = QSettings(f.ini(), QSettings::IniFormat).allKeys();
        for (const Ini::Key &k : Ini::ApplyWriteOrder)
            QVERIFY2(
                keys.contains(QString::fromLatin1(k.section) + '/' + QString::fromLatin1(k.key),
                              Qt::CaseInsensitive),
                k.key);
        QVERIFY(!keys.contains("output/format", Qt::CaseInsensitive));
        QVERIFY(f.w->outputformat[0]->isChecked());
        QCOMPARE(f.platform->count("messageBox"), 0);
    }

    // Stored text → button; the text is shown and never rewritten in another case.
    void storedFormatRestoredExactCase()
    {
        for (const auto &[stored, button] :
             QList<std::pair<QString, int>>{{"OGG", 2}, {"WAV", 3}, {"ogg", 0}}) {
            Fixture f;
            f.write(Ini::Output::Format, stored);
            QCOMPARE(f.loaded().outputFormatIndex(), button);
            QCOMPARE(f.panel(3), "Output Format: " + stored);
            QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::Format), stored);
        }
    }

    // The OGG settings are refused at start-up, so the options rewrite nothing and the load
    // itself meets what the file holds.
    void colourThemeSetsHue()
    {
        const QList<std::pair<QString, int>> cases{{"2", 60}, {"10", 300}, {"abc", 0}, {"2000", 0}};
        for (const auto &[stored, hue] : cases) {
            Fixture f;
            for (Ini::Key k : {Ini::Ogg::QualityEnabled, Ini::Ogg::VbrEnabled, Ini::Ogg::Frequency,
                               Ini::Ogg::Channel})
                f.write(k, "0");
            f.write(Ini::Ogg::Bitrate, "14");
            f.write(Ini::Output::ColorThemes, stored);
            QCOMPARE(f.loaded().Skn->hue(), hue);
            QCOMPARE(f.platform->count("messageBox"), 1);
            QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::ColorThemes), stored);
        }
    }

    void loadTakesFolderFromOptions()
    {
        Fixture f;
        const QString folder = f.config.path() + QStringLiteral("/out/");
        f.write(Ini::Output::Folder, folder);
        frmDialog &w = f.loaded();
        QVERIFY(w.Writer->convertFormat() && w.Reader->convertFormat());
        QCOMPARE(w.txtFolder->text(), folder);
        QVERIFY(f.panel(1).contains(folder));
    }

    void skinFileIsDeletedAndSkinKept()
    {
        Fixture f;
        const QString skinFile = frmDialog::skinTempFile();
        QCOMPARE(SkinLibrary({TestEnv::binDir()}).LoadSkin(skinFile), 1);
        frmDialog &w = f.loaded();
        QVERIFY(!QFile::exists(skinFile));
        QVERIFY(w.Skn->isSkinned(&w));
    }

    void anotherInstanceEndsTheLoadSilently()
    {
        Fixture f;
        f.platform->previousInstance = true;
        QCOMPARE(f.w->Form_Load(), frmDialog::LoadResult::AnotherInstanceRunning);
        QCOMPARE(f.platform->count("messageBox"), 0);
        QVERIFY(!QFile::exists(f.ini())); // nothing after the check ran
        QVERIFY(!f.w->isVisible());
    }

    void closeWaitsForARunningConversion()
    {
        Fixture f;
        frmDialog &w = f.loaded();
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
        QTRY_VERIFY(!w.Reader && !w.Writer && !w.AudioPlayer && !w.FileInfo);
        QVERIFY(!w.isVisible());
    }

    void exitRemovesSkinWithoutClosing()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        w.show();
        w.exit->trigger();
        QVERIFY(!w.Skn->isSkinned(&w));
        QVERIFY(w.isVisible() && w.Reader && w.Writer && w.AudioPlayer);
    }

    void formatSelectionWritesAndShows()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        const QStringList texts{"MP3", "WMA", "OGG", "WAV"};
        for (int i : {3, 1, 2, 0}) {
            w.outputformat[size_t(i)]->click();
            QCOMPARE(f.panel(3), QStringLiteral("Output Format: ") + texts[i]);
            QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::Format), texts[i]);
        }
    }

    void shutdownTimerRequestsOnce()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        w.Timer1->start();
        QMetaObject::invokeMethod(w.Timer1, "timeout");
        QCOMPARE(f.platform->count("requestShutdown"), 1);
        QVERIFY(!w.Timer1->isActive());
    }

    void tagPanelShowsAboveTheStatusBar()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        w.show();
        QVERIFY(w.tagPanel->visibleRegion().isEmpty());
        w.setHeightTwips(frmDialog::TagHeightTwips);
        QCoreApplication::processEvents();
        const QRect panel(w.tagPanel->mapTo(&w, QPoint(0, 0)), w.tagPanel->size());
        QVERIFY(panel.bottom() < w.StatusBar1->mapTo(&w, QPoint(0, 0)).y());
        QVERIFY(w.tagPanel->infoOriginalArtist->isVisibleTo(&w));
        w.setHeightTwips(6901);
        QVERIFY(!w.isTagMode());
    }

    // Only texts whose blanks, quotes or spelling are easy to lose.
    void oddTexts()
    {
        Fixture f;
        QStringList texts;
        for (const char *name : {"cmdOpenFile", "outputformat_2"})
            texts << f.w->findChild<QAbstractButton *>(name)->toolTip();
        texts << f.w->convertmenu->actions().value(3)->text();
        QCOMPARE(texts, (QStringList{"  Add Files for converting  ",
                                     "  Set output format to \"OGG\"  ", "Convet  to OGG"}));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
