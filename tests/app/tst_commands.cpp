// The main window's small commands: on their own with real widgets, then as the real window
// composes them, through the test platform.
#include "app/commands.h"
#include "app/frmabout.h"
#include "app/frmdialog.h"
#include "app/optionswindow.h"
#include "options/frmoption.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinlibrary.h"

#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

struct RecordingOptions : OptionsWindow
{
    QStringList folders;
    int shown = 0;
    void setOutputFolderBox(const QString &folder) override { folders << folder; }
    void showFresh() override { ++shown; }
};

struct Parts
{
    TestConfigDir config;
    TestPlatform *platform = TestPlatform::install();
    QWidget window;
    QLineEdit txtFolder{QStringLiteral("/before/")};
    QAction website{nullptr}, bbs{nullptr}, mailus{nullptr};
    MainState state;
    SkinEngine skin;
    RecordingOptions options;
    Commands commands;

    explicit Parts(const CommandLinks &links = {})
        : commands({window, txtFolder, website, bbs, mailus}, state, skin, options, links)
    {
    }
};

QStringList argsOf(const TestPlatform *platform, const QString &what)
{
    QStringList all;
    for (const PlatformCall &c : platform->callsOf(what))
        all += c.args;
    return all;
}

} // namespace

class tst_Commands : public QObject
{
    Q_OBJECT

private slots:
    void pickOutputFolder_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("shown"); // "": nothing changes
        QTest::newRow("no trailing separator") << "/music/out"
                                               << "/music/out/";
        QTest::newRow("trailing separator") << "/music/out/"
                                            << "/music/out/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("cancelled") << "You canceled operation"
                                   << "";
        QTest::newRow("no file-system path") << ""
                                             << "";
    }
    void pickOutputFolder()
    {
        QFETCH(QString, picked);
        QFETCH(QString, shown);
        Parts f;
        f.platform->folderAnswers << picked;
        f.commands.pickOutputFolder();
        QCOMPARE(f.platform->count("browseForFolder"), 1);
        QCOMPARE(f.txtFolder.text(), shown.isEmpty() ? "/before/" : shown);
        QCOMPARE(f.options.folders, shown.isEmpty() ? QStringList() : QStringList{shown});
        QCOMPARE(ReadIni(SettingsFiles::workingFile(), "output", "folder"), shown);
    }

    void shellCommands()
    {
        CommandLinks links;
        links.guide = QStringLiteral("/nonexistent/help/index.html");
        Parts f(links);
        f.commands.showHelp();           // a missing guide: no call, no message
        f.commands.showFileProperties(); // no current file
        QCOMPARE(f.platform->calls.size(), 0);

        f.state.CurrentFile = QStringLiteral("/music/a song.mp3");
        f.commands.showFileProperties();
        QCOMPARE(argsOf(f.platform, "showFileProperties"), QStringList{"/music/a song.mp3"});
        f.txtFolder.setText(QStringLiteral("/my music/out put/"));
        f.commands.gotoOutputFolder();
        QCOMPARE(argsOf(f.platform, "openFolder"), QStringList{"/my music/out put/"});
    }

    void vendorLinks_data()
    {
        QTest::addColumn<QStringList>("links"); // home page, forum, support e-mail
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("none configured") << QStringList{"", "", ""} << QStringList();
        QTest::newRow("all configured")
            << QStringList{"https://tw.example/", "https://tw.example/forum", "help@tw.example"}
            << QStringList{"https://tw.example/", "https://tw.example/forum",
                           "mailto:help@tw.example"};
        QTest::newRow("only a mailto") << QStringList{"", "", "mailto:help@tw.example"}
                                       << QStringList{"mailto:help@tw.example"};
    }
    void vendorLinks()
    {
        QFETCH(QStringList, links);
        QFETCH(QStringList, opened);
        Parts f(CommandLinks{{}, links[0], links[1], links[2]});
        // An entry without an address is greyed rather than silently doing nothing.
        QCOMPARE(QList<bool>({f.website.isEnabled(), f.bbs.isEnabled(), f.mailus.isEnabled()}),
                 QList<bool>({!links[0].isEmpty(), !links[1].isEmpty(), !links[2].isEmpty()}));
        f.commands.openWebSite();
        f.commands.openForum();
        f.commands.mailUs();
        QCOMPARE(argsOf(f.platform, "openDocument"), opened);
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
        for (const QString lib : {"FFmpeg", "LAME", "SDL"})
            QVERIFY2(QRegularExpression("\\d+\\.\\d+").match(shown.value(lib)).hasMatch(),
                     qPrintable(lib));
        QVERIFY(shown.value("libvorbis").contains("libVorbis"));
        // TagLib cannot report its loaded version: the window says which one it shows.
        QVERIFY(shown.value("TagLib").startsWith("1.13") &&
                shown.value("TagLib").contains("built"));
    }

    // --- The real main window -------------------------------------------------------------

    void windowEntriesReachTheirCommands()
    {
        TestConfigDir config;
        TestPlatform *platform = TestPlatform::install();
        frmDialog w;
        w.Form_Load();
        const QString folder = config.path() + '/';
        platform->folderAnswers << config.path();
        w.cmdSelect->click();
        QCOMPARE(QStringList({w.txtFolder->text(), w.options().txtOutFolder->text(),
                              ReadIni(w.INI, "output", "folder")}),
                 QStringList({folder, folder, folder}));

        w.findChild<QAction *>("content")->trigger();
        w.cmdHelp->click();
        const QStringList guides = argsOf(platform, "openDocument");
        QCOMPARE(guides.size(), 2);
        QCOMPARE(guides[0], guides[1]);
        QVERIFY(TestEnv::readFile(guides[0]).contains("<html")); // the guide shipped beside us

        w.findChild<QAction *>("goto")->trigger();
        QCOMPARE(argsOf(platform, "openFolder"), QStringList{folder});
        w.findChild<QAction *>("properties")->trigger(); // no row clicked yet
        QCOMPARE(platform->count("showFileProperties"), 0);
    }

    void windowOpensModalWindows_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("window");
        QTest::newRow("about") << "about"
                               << "frmAbout";
        QTest::newRow("update") << "update"
                                << "frmUpdate";
        QTest::newRow("option") << "option"
                                << "frmOption";
        QTest::newRow("cmdOption") << "cmdOption"
                                   << "frmOption";
    }
    void windowOpensModalWindows()
    {
        QFETCH(QString, control);
        QFETCH(QString, window);
        TestConfigDir config;
        TestPlatform::install();
        QCOMPARE(SkinLibrary({TestEnv::binDir()}).LoadSkin(frmDialog::skinTempFile()), 1);
        frmDialog w;
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
        if (auto *action = w.findChild<QAction *>(control))
            action->trigger();
        else
            w.findChild<QAbstractButton *>(control)->click();
        QCOMPARE(shown, window);
        QVERIFY(!skin.isEmpty());
        const bool options = window == "frmOption";
        QCOMPARE(folder, options ? "/changed/on/disk/" : "");
        QCOMPARE(skin == w.Skn->definitionOf(&w), !options); // About and update look like it
    }
};

QTEST_MAIN(tst_Commands)
#include "tst_commands.moc"
