// The main window's load, close, Exit, output format selection, shutdown timer and layout,
// and its small commands (on their own with real widgets, then as the window composes them),
// driven headless through the test platform on a settings folder of its own.
#include "app/commands.h"
#include "app/frmabout.h"
#include "app/optionswindow.h"
#include "engine/converter.h"
#include "joblist/joblistcommands.h"
#include "joblist/listfocus.h"
#include "options/frmoption.h"
#include "player/audioplayer.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"
#include "tags/tagpanel.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinlibrary.h"

#include "tests/support/loadedwindow.h"

#include <QtTest>
#include <QtWidgets>

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

struct RecordingOptions : OptionsWindow
{
    QStringList folders;
    void setOutputFolderBox(const QString &folder) override { folders << folder; }
    void showFresh() override {}
};

struct Parts
{
    TestConfigDir config;
    TestPlatform *platform = TestPlatform::install();
    QWidget window;
    QLineEdit txtFolder{QStringLiteral("/before/")};
    QAction website{nullptr}, bbs{nullptr}, mailus{nullptr}, update{nullptr};
    ListFocus focus;
    SkinEngine skin;
    RecordingOptions options;
    Commands commands;

    explicit Parts(const CommandLinks &links = {})
        : commands({window, txtFolder, website, bbs, mailus, update}, focus, skin, options, links)
    {
    }
    QStringList args(const QString &what) const { return PlatformCalls::args(*platform, what); }
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
        QCOMPARE(f.panel(3), QString("Output Format: MP3")); // the selected one, from the start
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

    // Exit ends the program's event loop with the skin removed but the window not closed.
    void exitRemovesSkinWithoutClosing()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        w.show();
        QTimer::singleShot(0, w.exit, &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0); // also clears the request for later loops
        QVERIFY(!w.Skn->isSkinned(&w));
        QVERIFY(w.isVisible() && w.Reader && w.Writer && w.AudioPlayer);
    }

    void formatSelectionAndShutdownTimer()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        const QStringList texts{"MP3", "WMA", "OGG", "WAV"};
        for (int i : {3, 1, 2, 0}) {
            w.outputformat[size_t(i)]->click();
            QCOMPARE(f.panel(3), QStringLiteral("Output Format: ") + texts[i]);
            QCOMPARE(SettingsFiles::read(f.ini(), Ini::Output::Format), texts[i]);
        }
        // The shutdown timer asks the desktop once and stops.
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

    // --- Commands ---------------------------------------------------------------------

    // Picked folder → shown ("": a cancelled pick or one without a path changes nothing).
    void pickOutputFolder()
    {
        const QList<std::pair<QString, QString>> cases{{"/music/out", "/music/out/"},
                                                       {"/music/out/", "/music/out/"},
                                                       {"/", "/"},
                                                       {"You canceled operation", ""},
                                                       {"", ""}};
        for (const auto &[picked, shown] : cases) {
            Parts f;
            f.platform->folderAnswers << picked;
            f.commands.pickOutputFolder();
            QCOMPARE(f.txtFolder.text(), shown.isEmpty() ? "/before/" : shown);
            QCOMPARE(f.options.folders, shown.isEmpty() ? QStringList() : QStringList{shown});
            QCOMPARE(ReadIni(SettingsFiles::workingFile(), "output", "folder"), shown);
        }
    }

    void missingGuideOpensNothing()
    {
        CommandLinks links;
        links.guide = QStringLiteral("/nonexistent/help/index.html");
        Parts f(links);
        f.commands.showHelp(); // the desktop would have nothing to show either
        QCOMPARE(f.platform->calls.size(), 0);
    }

    // Home page, forum, support e-mail → what the three entries open.
    void vendorLinks()
    {
        const QList<std::pair<QStringList, QStringList>> cases{
            {{"", "", ""}, {}},
            {{"https://tw.example/", "https://tw.example/forum", "help@tw.example"},
             {"https://tw.example/", "https://tw.example/forum", "mailto:help@tw.example"}},
            {{"", "", "mailto:help@tw.example"}, {"mailto:help@tw.example"}}};
        for (const auto &[links, opened] : cases) {
            Parts f(CommandLinks{{}, links[0], links[1], links[2], {}});
            // An entry without an address is greyed rather than silently doing nothing.
            QCOMPARE(QList<bool>({f.website.isEnabled(), f.bbs.isEnabled(), f.mailus.isEnabled()}),
                     QList<bool>({!links[0].isEmpty(), !links[1].isEmpty(), !links[2].isEmpty()}));
            f.commands.openWebSite();
            f.commands.openForum();
            f.commands.mailUs();
            QCOMPARE(f.args("openDocument"), opened);
        }
    }

    // Live update needs an address and the key its files are signed with.
    void onlineUpdateNeedsAddressAndKey()
    {
        const QByteArray key = "RWRGSI9j/SDo3DTPtLT1URGlUsQu8+Eo5TuBe1SgSWOSIrhy5BE3rFB9";
        const QString url = "https://tw.example/twr_update.ini";
        const QList<std::tuple<QString, QByteArray, bool>> cases{
            {url, key, true}, {url, "", false}, {"", key, false}};
        for (const auto &[address, publicKey, enabled] : cases) {
            CommandLinks links;
            links.liveUpdate.descriptionUrl = address;
            links.liveUpdate.publicKey = publicKey;
            Parts f(links);
            QCOMPARE(f.update.isEnabled(), enabled);
        }
        // The tests' build is made without a key.
        LoadedWindow w;
        QVERIFY(!w.w->findChild<QAction *>("update")->isEnabled());
    }

    void aboutListsTheLoadedLibraryVersions()
    {
        frmAbout about(nullptr);
        QMap<QString, QString> shown;
        const auto names = about.findChildren<QLabel *>("lblLibraryName");
        const auto versions = about.findChildren<QLabel *>("lblLibraryVersion");
        for (qsizetype i = 0; i < names.size() && i < versions.size(); ++i)
            shown.insert(names[i]->text(), versions[i]->text());

        // As the ffprobe program loads them: "libavformat    59. 27.100 / 59. 27.100".
        QByteArray probe;
        QCOMPARE(TestEnv::run("ffprobe", {"-version"}, &probe), 0);
        for (const QString lib : {"libavformat", "libavcodec", "libavutil", "libswresample"}) {
            const auto m = QRegularExpression(lib + "\\s+[\\d. ]+/\\s*(\\d+)\\.\\s*(\\d+)\\.(\\d+)")
                               .match(QString::fromLatin1(probe));
            QVERIFY2(m.hasMatch(), qPrintable(lib));
            QCOMPARE(shown.value(lib), m.captured(1) + '.' + m.captured(2) + '.' + m.captured(3));
        }
        QCOMPARE(shown.value("Qt"), QLibraryInfo::version().toString());
    }

    void windowEntriesReachTheirCommands()
    {
        LoadedWindow f;
        const QString folder = f.config.path() + '/';
        f.platform->folderAnswers << f.config.path();
        f.activate("cmdSelect");
        QCOMPARE(QStringList({f.w->txtFolder->text(), f.w->options().txtOutFolder->text(),
                              ReadIni(f.w->INI, "output", "folder")}),
                 QStringList({folder, folder, folder}));

        f.activate("content");
        f.activate("cmdHelp");
        const QStringList guides = PlatformCalls::args(*f.platform, "openDocument");
        QCOMPARE(guides.size(), 2);
        QCOMPARE(guides[0], guides[1]);
        QVERIFY(TestEnv::readFile(guides[0]).contains("<html")); // the guide shipped beside us

        f.activate("goto");
        QCOMPARE(PlatformCalls::args(*f.platform, "openFolder"), QStringList{folder});
        f.activate("properties"); // no row clicked yet
        QCOMPARE(f.platform->count("showFileProperties"), 0);
        f.w->jobList().focus().CurrentFile = QStringLiteral("/music/a song.mp3");
        f.activate("properties");
        QCOMPARE(PlatformCalls::args(*f.platform, "showFileProperties"),
                 QStringList{"/music/a song.mp3"});
    }

    // Control → the modal window it opens.
    void windowOpensModalWindows()
    {
        const QList<std::pair<QString, QString>> cases{
            {"about", "frmAbout"}, {"option", "frmOption"}, {"cmdOption", "frmOption"}};
        for (const auto &[control, window] : cases) {
            LoadedWindow f(false);
            QCOMPARE(SkinLibrary({TestEnv::binDir()}).LoadSkin(frmDialog::skinTempFile()), 1);
            frmDialog &w = *f.w;
            w.Form_Load();
            // The options are read afresh from the file, not taken from the hidden copy.
            WriteIni(w.INI, "output", "folder", "/changed/on/disk/");

            QString shown, skin, folder;
            QTimer::singleShot(0, &w, [&] {
                QWidget *modal = QApplication::activeModalWidget();
                shown = modal ? modal->objectName() : QString();
                skin = w.Skn->definitionOf(modal);
                if (auto *options = qobject_cast<frmOption *>(modal))
                    folder = options->txtOutFolder->text();
                if (modal)
                    modal->close();
            });
            f.activate(control);
            QCOMPARE(shown, window);
            QVERIFY(!skin.isEmpty());
            const bool options = window == "frmOption";
            QCOMPARE(folder, options ? "/changed/on/disk/" : "");
            QCOMPARE(skin == w.Skn->definitionOf(&w), !options); // About looks like it
        }
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
