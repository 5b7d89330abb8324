// The main window's small commands: on their own with real widgets, then as the real window
// composes them, through the test platform.
#include "app/commands.h"
#include "app/frmabout.h"
#include "app/optionswindow.h"
#include "options/frmoption.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinlibrary.h"

#include "tests/support/loadedwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace {

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
    QAction website{nullptr}, bbs{nullptr}, mailus{nullptr};
    MainState state;
    SkinEngine skin;
    RecordingOptions options;
    Commands commands;

    explicit Parts(const CommandLinks &links = {})
        : commands({window, txtFolder, website, bbs, mailus}, state, skin, options, links)
    {
    }
    QStringList args(const QString &what) const { return PlatformCalls::args(*platform, what); }
};

} // namespace

class tst_Commands : public QObject
{
    Q_OBJECT

private slots:
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
        QCOMPARE(f.args("showFileProperties"), QStringList{"/music/a song.mp3"});
        f.txtFolder.setText(QStringLiteral("/my music/out put/"));
        f.commands.gotoOutputFolder();
        QCOMPARE(f.args("openFolder"), QStringList{"/my music/out put/"});
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
            Parts f(CommandLinks{{}, links[0], links[1], links[2]});
            // An entry without an address is greyed rather than silently doing nothing.
            QCOMPARE(QList<bool>({f.website.isEnabled(), f.bbs.isEnabled(), f.mailus.isEnabled()}),
                     QList<bool>({!links[0].isEmpty(), !links[1].isEmpty(), !links[2].isEmpty()}));
            f.commands.openWebSite();
            f.commands.openForum();
            f.commands.mailUs();
            QCOMPARE(f.args("openDocument"), opened);
        }
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

    // --- The real main window -------------------------------------------------------------

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
    }

    // Control → the modal window it opens.
    void windowOpensModalWindows()
    {
        const QList<std::pair<QString, QString>> cases{{"about", "frmAbout"},
                                                       {"update", "frmUpdate"},
                                                       {"option", "frmOption"},
                                                       {"cmdOption", "frmOption"}};
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
            QCOMPARE(skin == w.Skn->definitionOf(&w), !options); // About and update look like it
        }
    }
};

QTEST_MAIN(tst_Commands)
#include "tst_commands.moc"
