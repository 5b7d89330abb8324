// The main window (load, close, Exit, format, shutdown timer, layout, accessibility) and its
// small commands, alone with real widgets and in the window, on a settings folder of its own.
#include "app/commands.h"
#include "app/frmabout.h"
#include "app/optionswindow.h"
#include "engine/converter.h"
#include "joblist/joblistcommands.h"
#include "joblist/joblistmodel.h"
#include "joblist/listfocus.h"
#include "options/frmoption.h"
#include "options/generalpage.h"
#include "player/audioplayer.h"
#include "player/playback.h"
#include "settings/profile.h"
#include "settings/settingsfiles.h"
#include "tags/tageditor.h"
#include "tags/tagpanel.h"
#include "ui/contrast.h"
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
    QString read(Ini::Key k) const { return SettingsFiles::read(ini(), k); }
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
};

// Every object in the accessibility tree below `root`.
QObjectList accessibleObjects(QObject *root)
{
    QObjectList found;
    QList<QAccessibleInterface *> todo{QAccessible::queryAccessibleInterface(root)};
    while (!todo.isEmpty()) {
        QAccessibleInterface *i = todo.takeLast();
        if (!i)
            continue;
        found << i->object();
        for (int c = 0; c < i->childCount(); ++c)
            todo << i->child(c);
    }
    return found;
}

// The object names Tab reaches from the first button on, once round.
QString tabOrder(frmDialog &w)
{
    QStringList order;
    w.cmdOpenFile->setFocus();
    do {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != w.cmdOpenFile && order.size() < 100);
    return order.join(' ');
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    // A first start writes every option but the format and shows MP3 selected; the texts whose
    // blanks, quotes or spelling are easy to lose.
    void firstStartAndOddTexts()
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
        QCOMPARE(f.panel(3), QString("Output Format: MP3"));
        QCOMPARE(f.messages(), QStringList());
        QCOMPARE((QStringList{f.w->cmdOpenFile->toolTip(),
                              f.w->findChild<QAbstractButton *>("outputformat_2")->toolTip(),
                              f.w->convertmenu->actions().value(3)->text()}),
                 (QStringList{"  Add Files for converting  ", "  Set output format to \"OGG\"  ",
                              "Convet  to OGG"}));
    }

    // The OGG settings are refused at start-up: said once, OGG keeps what is stored, and every
    // other format is pushed and saved as stored (MP3 22 050 Hz mono 64 kbit/s).
    void colourThemeAndRefusedOgg()
    {
        const QList<std::pair<QString, int>> cases{{"2", 60}, {"10", 300}, {"abc", 0}};
        for (const auto &[stored, hue] : cases) {
            Fixture f;
            for (Ini::Key k : {Ini::Ogg::QualityEnabled, Ini::Ogg::VbrEnabled, Ini::Ogg::Frequency,
                               Ini::Ogg::Channel, Ini::Mp3::Channel})
                f.write(k, "0");
            f.write(Ini::Ogg::Bitrate, "14");
            f.write(Ini::Mp3::Frequency, "4");
            f.write(Ini::Mp3::Bitrate, "6");
            f.write(Ini::Output::ColorThemes, stored);
            QCOMPARE(f.loaded().Skn->hue(), hue);
            QCOMPARE(f.messages(), QStringList{"Incorrect OGG format, please re-select  "});
            const auto &mp3 = f.w->encoderSettings().get<Mp3Settings>();
            QCOMPARE((QList<int>{mp3.SampleRate, mp3.Channels, mp3.Bitrate}),
                     (QList<int>{22050, 1, 64}));
            QCOMPARE(f.w->encoderSettings().get<OggFormat>().bitrate, 320);
            QCOMPARE(f.read(Ini::Ogg::Bitrate), QString("14"));
            QVERIFY(f.read(Ini::Mp3::Fs).contains("22050"));
        }
    }

    // An empty, partial or binary settings file is mended at start: what is missing or cannot
    // be used takes the factory default, nothing is refused, and the file is written whole.
    void damagedSettingsMendedAndFormatRestored()
    {
        const QList<QByteArray> contents{
            {}, "[ogg]\nchannel=77\nfrequency=x\n", QByteArray("\x01\xff\x00[mp3\n\x7f", 9)};
        for (const QByteArray &content : contents) {
            Fixture f;
            TestEnv::writeFile(f.ini(), content);
            f.loaded();
            QCOMPARE(f.messages(), QStringList());
            QCOMPARE((QStringList{f.read(Ini::Ogg::Channel), f.read(Ini::Ogg::Frequency),
                                  f.read(Ini::Mp3::Fs), f.read(Ini::Output::Jobs)}),
                     (QStringList{"1", "7", "MP3 44100 Hz Joint Stereo 128 kbit/s CBR", "0"}));
        }
        // Stored format text → button; the text is shown and never rewritten in another case.
        for (const auto &[stored, button] :
             QList<std::pair<QString, int>>{{"OGG", 2}, {"WAV", 3}, {"ogg", 0}}) {
            Fixture f;
            f.write(Ini::Output::Format, stored);
            QCOMPARE(f.loaded().outputFormatIndex(), button);
            QCOMPARE(f.panel(3), "Output Format: " + stored);
            QCOMPARE(f.read(Ini::Output::Format), stored);
        }
    }

    // Every colour theme, moved through in order (theme 5's list background stays), keeps the
    // list's text at 4.5:1 or more against its background, as drawn.
    void everyThemeReadable()
    {
        LoadedWindow f(false);
        QCOMPARE(SkinLibrary({TestEnv::binDir()}).LoadSkin(frmDialog::skinTempFile()), 1);
        f.w->Form_Load();
        f.w->jobs->AddJobRow("a.mp3", "00:00:7", "1.M", "/m", "/o");
        f.w->show();
        QSlider *slider = f.w->options().general->sldColor;
        for (int theme = 0; theme <= 10; ++theme) {
            slider->setValue(theme);
            QTreeView *list = f.w->viewEvent;
            list->ensurePolished();
            const QImage shot = list->viewport()->grab().toImage();
            // The background is the colour of the row's far end; the text the pixel of the
            // name that stands out most from it.
            const QRect name = list->visualRect(f.w->jobs->index(0, int(JobColumn::Name)));
            const QColor background = shot.pixelColor(shot.width() - 3, name.center().y());
            double best = 1;
            for (int y = name.top(); y <= name.bottom(); ++y)
                for (int x = name.left(); x <= name.right(); ++x)
                    best = std::max(best, Contrast::ratio(background, shot.pixelColor(x, y)));
            QVERIFY2(best >= Contrast::Readable, qPrintable(QString("theme %1").arg(theme)));
            QVERIFY(theme < 5 || background == QColor(188, 180, 197));
        }
    }

    // Each format button is shown and saved. The shutdown timer asks the desktop once and
    // stops. Exit ends the event loop with the skin removed but the window not closed.
    void formatsShutdownTimerAndExit()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        const QStringList texts{"MP3", "WMA", "OGG", "WAV"};
        for (int i : {3, 1, 2, 0}) {
            w.outputformat[size_t(i)]->click();
            QCOMPARE(f.panel(3), QStringLiteral("Output Format: ") + texts[i]);
            QCOMPARE(f.read(Ini::Output::Format), texts[i]);
        }
        w.Timer1->start();
        QMetaObject::invokeMethod(w.Timer1, "timeout");
        QCOMPARE(f.platform->count("requestShutdown"), 1);
        QVERIFY(!w.Timer1->isActive());
        w.show();
        QTimer::singleShot(0, w.exit, &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0); // also clears the request for later loops
        QVERIFY(!w.Skn->isSkinned(&w));
        QVERIFY(w.isVisible() && w.Reader && w.Writer && w.AudioPlayer);
    }

    // The list takes the window's growth both ways, the rows above only the width; the tag
    // panel is a section below the list, on screen and read out only while it is open.
    void listGrowsWithTheWindowAndLayoutIsRemembered()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.minimumSize(), QSize(920, 460));
        QCOMPARE(w.size(), QSize(920, 460));
        const QSize list = w.viewEvent->size();
        const int folder = w.txtFolder->width(), rows = w.slPosition->y();
        const auto closed = [&] {
            return !w.tagPanel->isVisible() && !accessibleObjects(&w).contains(w.tagPanel);
        };
        QVERIFY(closed());
        w.resize(1600, 1000);
        QTRY_COMPARE(w.viewEvent->size(), list + QSize(680, 540));
        QVERIFY(w.txtFolder->width() > folder + 400 && w.slPosition->y() == rows && closed());
        w.resize(920, 460);
        QTRY_COMPARE(w.viewEvent->size(), list);

        // Opening grows the window by the panel, above the status bar; closing gives it back.
        w.jobs->AddJobRow("a.mp3", "", "", "/nowhere", "/out");
        w.jobList().focus().HoverRow = 1;
        w.cmdTag->click();
        QCOMPARE(w.height() - w.tagPanel->height(), 460);
        QCOMPARE(w.viewEvent->size(), list);
        QVERIFY(w.tagPanel->mapTo(&w, QPoint(0, w.tagPanel->height())).y() <= w.StatusBar1->y());
        QVERIFY(accessibleObjects(&w).contains(w.tagPanel->infoOriginalArtist));
        w.tagPanel->cmdCancel->click();
        QVERIFY(w.size() == QSize(920, 460) && closed());

        // Near the screen's bottom (1200) the list lends the panel what the window could not
        // grow by, and closing gives back only what it grew.
        w.move(0, 0);
        w.resize(1600, 1150);
        QTRY_COMPARE(w.viewEvent->height(), list.height() + 690);
        w.cmdTag->click();
        const int grown = w.height() - 1150;
        QVERIFY(grown < 203 && w.frameGeometry().bottom() < 1200);
        QCOMPARE(w.viewEvent->height(), list.height() + 690 - (203 - grown));
        w.tagPanel->cmdCancel->click();
        QCOMPARE(w.height(), 1150);

        // Arranged, closed with the panel open (what it added to the height is not kept) and
        // started again: the same layout, the rest of the file kept.
        w.move(120, 40);
        w.resize(1600, 1000);
        w.viewEvent->header()->resizeSection(1, 222);
        w.cmdTag->click();
        QVERIFY(w.close());
        QVERIFY(!f.read(Ini::Output::Folder).isEmpty());
        QCOMPARE(f.messages(), QStringList());
        f.w = std::make_unique<frmDialog>();
        frmDialog &again = f.loaded();
        QCOMPARE(QRect(again.pos(), again.size()), QRect(120, 40, 1600, 1000));
        QCOMPARE(again.viewEvent->header()->sectionSize(1), 222);
    }

    // Stored left, top, width, height, maximised → where the window opens: on the screen that
    // holds it (left 0..1919 × 0..1199, right 1920..3199 × 0..1023), fitted into it; on the
    // primary (left) one when it lies on none; at the defaults when the section is unusable.
    void storedLayoutFitsTheScreens()
    {
        const QList<std::pair<QStringList, QRect>> cases{
            {{"2000", "100", "1000", "700", "0"}, {2000, 100, 1000, 700}},
            {{"2500", "500", "1600", "1000", "0"}, {1920, 24, 1280, 1000}},
            {{"5000", "100", "1000", "700", "1"}, {920, 100, 1000, 700}},
            {{"-900", "-50", "1000", "700", "0"}, {0, 0, 1000, 700}},
            {{"10", "10", "100", "100", "0"}, {10, 10, 920, 460}},
            {{"10", "10", "wide", "700", "0"}, {500, 67, 920, 460}},
            {{}, {500, 67, 920, 460}},
        };
        for (const auto &[stored, expected] : cases) {
            Fixture f;
            const QStringList keys{"left", "top", "width", "height", "maximized"};
            for (qsizetype i = 0; i < stored.size(); ++i)
                WriteIni(f.ini(), "window", keys[i], stored[i]);
            frmDialog &w = f.loaded();
            QCOMPARE(QRect(w.pos(), w.size()), expected);
            QCOMPARE(bool(w.windowState() & Qt::WindowMaximized), stored.value(4) == "1");
        }
    }

    // Names, roles and states as a screen reader gets them; Tab in reading order.
    void screenReadersGetEveryControl()
    {
        Fixture f;
        frmDialog &w = f.loaded();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto a11y = &QAccessible::queryAccessibleInterface;
        const auto names = [&](std::initializer_list<QWidget *> widgets) {
            QStringList found;
            for (QWidget *widget : widgets)
                found << a11y(widget)->text(QAccessible::Name);
            return found.join(", ");
        };
        QCOMPARE(names({w.slPosition, w.ProgressConvert, w.ProgressConvert11, w.ProgressConvert2,
                        w.ProgressConvert22}),
                 "Position, File progress, File progress, Run progress, Run progress");
        w.playback().ShowProgress(0, 80, 70);
        QCOMPARE(names({w.ProgressConvert, w.ProgressConvert2}), "Left level, Right level");
        w.playback().StopPlayback();
        QCOMPARE(names({w.ProgressConvert, w.ProgressConvert2}), "File progress, Run progress");

        // The ticks of the list are check states.
        w.jobs->AddJobRow("a.mp3", "", "", "/nowhere", "/out");
        w.jobs->AddJobRow("b.mp3", "", "", "/nowhere", "/out");
        w.jobs->setChecked(1, false);
        QCoreApplication::processEvents(); // the view lays its rows out
        for (int row : {0, 1}) {
            QAccessibleInterface *tick = a11y(w.viewEvent)->tableInterface()->cellAt(row, 0);
            QVERIFY(tick && tick->state().checkable);
            QCOMPARE(bool(tick->state().checked), row == 0);
        }

        // Along each row of controls, then down; the open tag panel (its ID3v2 boxes only
        // with ID3v2 chosen) comes last.
        const QString closed = "cmdOpenFile cmdDel cmdClear cmdTag cmdOption cmdHelp cmdConvert "
                               "outputformat_0 txtFolder cmdSelect cmdPlay cmdPause cmdStop "
                               "slPosition viewEvent";
        QCOMPARE(tabOrder(w), closed);
        w.jobList().focus().HoverRow = 1;
        w.cmdTag->click();
        QCOMPARE(tabOrder(w), closed + " Option1_0 cmdID3 cmdCloseTag infoTitle infoArtist "
                                       "infoAlbum infoGenre infoYear infoTrack infoComment "
                                       "infoFormatString infoFrequency infoBitrate infoDuration "
                                       "infoChannels infoSamples infoSize infoBitsPerSample "
                                       "infoFormatTag cmdSetInfo cmdCancel");

        // Every control on screen has a name, the menu bar's entries included.
        const QList<QAccessible::Role> controls{QAccessible::PushButton, QAccessible::RadioButton,
                                                QAccessible::ComboBox,   QAccessible::EditableText,
                                                QAccessible::Slider,     QAccessible::Tree,
                                                QAccessible::MenuItem};
        QObjectList checked;
        for (QObject *o : accessibleObjects(&w)) {
            QAccessibleInterface *i = a11y(o);
            if (i && !i->state().invisible && controls.contains(i->role())) {
                QVERIFY2(!i->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(o->objectName()));
                checked << o;
            }
        }
        QVERIFY(checked.contains(w.cmdSelect) && checked.contains(w.tagPanel->cmdCloseTag) &&
                checked.contains(w.file->menuAction()));
    }

    // --- Commands ---------------------------------------------------------------------

    // Picked folder → shown ("": a cancelled pick or one without a path changes nothing).
    void pickOutputFolderAndLinks()
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
        // Home page, forum, support e-mail, update address and key → the entries enabled (one
        // without an address is greyed rather than silently doing nothing; live update also needs
        // the key its files are signed with) and what they open. A missing guide opens nothing.
        const QString url = "https://tw.example/twr_update.ini";
        const QByteArray key = "RWRGSI9j/SDo3DTPtLT1URGlUsQu8+Eo5TuBe1SgSWOSIrhy5BE3rFB9";
        const QList<std::tuple<QStringList, QByteArray, QStringList>> linkCases{
            {{"", "", "", ""}, key, {}},
            {{"https://tw.example/", "https://tw.example/forum", "help@tw.example", url},
             key,
             {"https://tw.example/", "https://tw.example/forum", "mailto:help@tw.example"}},
            {{"", "", "mailto:help@tw.example", url}, "", {"mailto:help@tw.example"}}};
        for (const auto &[links, publicKey, opened] : linkCases) {
            CommandLinks l{"/nonexistent/help/index.html", links[0], links[1], links[2], {}};
            l.liveUpdate.descriptionUrl = links[3];
            l.liveUpdate.publicKey = publicKey;
            Parts f(l);
            QCOMPARE((QList<bool>{f.website.isEnabled(), f.bbs.isEnabled(), f.mailus.isEnabled(),
                                  f.update.isEnabled()}),
                     (QList<bool>{!links[0].isEmpty(), !links[1].isEmpty(), !links[2].isEmpty(),
                                  !links[3].isEmpty() && !publicKey.isEmpty()}));
            f.commands.showHelp();
            QCOMPARE(f.platform->calls.size(), 0);
            f.commands.openWebSite();
            f.commands.openForum();
            f.commands.mailUs();
            QCOMPARE(PlatformCalls::args(*f.platform, "openDocument"), opened);
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

    void windowEntriesReachTheirCommands()
    {
        LoadedWindow f;
        QVERIFY(!f.w->findChild<QAction *>("update")->isEnabled()); // the tests' build has no key
        const QString folder = f.config.path() + '/';
        f.platform->folderAnswers << f.config.path();
        f.activate("cmdSelect");
        QCOMPARE(QStringList({f.w->txtFolder->text(), f.w->options().txtOutFolder->text(),
                              ReadIni(f.w->INI, "output", "folder")}),
                 QStringList({folder, folder, folder}));

        f.activate("content");
        f.activate("cmdHelp");
        const QStringList guides = PlatformCalls::args(*f.platform, "openDocument");
        QCOMPARE(guides, QStringList(2, guides.value(0)));
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
