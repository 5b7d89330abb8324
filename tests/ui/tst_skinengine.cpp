// The skin library (loaded from the build's bin folder: without it every case fails), the skin
// engine, and the tooltip class's Qt tip windows.
#include "tests/support/testenv.h"
#include "ui/ctooltip.h"
#include "ui/qttooltipwindowsystem.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinlibrary.h"
#include "ui/tipwindow.h"

#include <QtTest>
#include <QtWidgets>

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Instrumented = true;
#else
constexpr bool Instrumented = false;
#endif

class TestSkinEngine : public QObject
{
    Q_OBJECT

private:
    TestConfigDir m_config;
    QtTooltipWindowSystem m_qt;
    SkinLibrary m_library{QStringList{TestEnv::binDir()}};

    QPointer<TipWindow> window(const CTooltip &tip) { return m_qt.tipWindow(tip.windowHandle()); }
    static QString shippedSkinPath() { return TestEnv::sourceDir() + "/resources/skin/media.skn"; }
    static QByteArray skinSource() { return TestEnv::readFile(shippedSkinPath()); }
    static QStringList entries(const QString &dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void shippedSkinParsesAndHueRotation()
    {
        SkinFile skin;
        QString error;
        QVERIFY2(skin.parse(TestEnv::readFile(shippedSkinPath()), &error), qPrintable(error));
        // The definitions the windows ask for, found whatever the case.
        for (const char *name : {"Default", "form", "FreeForm"})
            QVERIFY2(skin.definition(QString::fromLatin1(name)), name);
        // The generated sheet is complete: no placeholder survives.
        for (const QString &name : skin.definitionNames())
            QVERIFY(!skin.styleSheet(*skin.definition(name), 90).contains(u'@'));
        // A hue turn keeps greys, alpha and luminance, so text on a colour stays as readable.
        QCOMPARE(SkinFile::rotated(QColor(128, 128, 128), 90), QColor(128, 128, 128));
        const QList<std::pair<QColor, int>> cases{
            {QColor(0, 0, 255), 60}, {QColor(91, 140, 255), 210}, {QColor(255, 0, 0, 40), 240}};
        for (const auto &[colour, hue] : cases) {
            const QColor result = SkinFile::rotated(colour, hue);
            const int d = qAbs(result.hslHue() - (colour.hslHue() + hue) % 360);
            QVERIFY2(qMin(d, 360 - d) <= 2, qPrintable(result.name(QColor::HexArgb)));
            QCOMPARE(result.alpha(), colour.alpha());
            QVERIFY(qAbs(SkinFile::luminance(result) - SkinFile::luminance(colour)) < 0.01);
        }
    }

    // Refused with the reason; the engine keeps no skin then.
    void malformedSkinsAreRefused()
    {
        const QByteArray window = "[Window Default]\nstyle = <<<\nQWidget { color: @a; }\n>>>\n";
        const QList<std::pair<QByteArray, QString>> cases{
            {QByteArray(), "no window definitions"},
            {QByteArray("\x00\x01\xd0\xcf\x11\xe0", 6), "line 1"},
            {"[Palette]\nb = #010203\n" + window, "unknown colour @a"},
            {"[Palette]\na = red\n" + window, "bad colour"},
            {"[Palette]\na = #010203\n[Window X]\nstyle = <<<\n", "without closing"},
            {"[Window X]\nborder = 2\n", "unknown key"},
            {"[Window X]\n[Window x]\n", "defined twice"},
            {"[Window X]\ninherit = Y\n", "unknown window"},
            {"[Window X]\ncorners = -3\n", "corner radius"}};
        for (const auto &[text, message] : cases) {
            SkinFile skin;
            QString error;
            QVERIFY(!skin.parse(text, &error));
            QVERIFY2(error.contains(message), qPrintable(error));
            SkinEngine engine;
            QVERIFY(engine.loadSkinData(skinSource()) && !engine.loadSkinData(text));
            QVERIFY(!engine.isLoaded());
        }
        // A missing file or a folder is no skin either; windows then stay plain.
        SkinEngine engine;
        QTemporaryDir dir;
        QVERIFY(!engine.loadSkinFile(dir.filePath(QStringLiteral("1.skn"))));
        QVERIFY(!engine.loadSkinFile(dir.path()));
        QWidget plain;
        plain.setStyleSheet(QStringLiteral("QLabel { color: red; }"));
        engine.applySkin(&plain, QStringLiteral("FreeForm"));
        engine.setHue(60);
        QCOMPARE(plain.styleSheet(), QStringLiteral("QLabel { color: red; }"));
        QVERIFY(!(plain.windowFlags() & Qt::FramelessWindowHint));
    }

    // Hue turns restyle every skinned window; free-form cuts the frame and corners, another
    // definition gives them back; removal restores the plain window for good.
    void applyHueShapeAndRemove()
    {
        SkinEngine engine;
        QVERIFY(engine.loadSkinFile(shippedSkinPath()));
        QMainWindow main;
        QWidget dialog;
        engine.applyDefaultSkin(&main);
        engine.applySkin(&dialog, QStringLiteral("Form"));
        const QString mainAt0 = main.styleSheet(), dialogAt0 = dialog.styleSheet();
        engine.setHue(4 * 30);
        QVERIFY(dialog.styleSheet() != dialogAt0 && main.styleSheet() != mainAt0);
        engine.setHue(360); // a full turn gives the first look back
        QCOMPARE(QStringList({main.styleSheet(), dialog.styleSheet()}),
                 QStringList({mainAt0, dialogAt0}));

        QMainWindow window;
        window.setStyleSheet(QStringLiteral("QLabel { color: navy; }"));
        window.setCentralWidget(new QLabel(QStringLiteral("Play")));
        window.resize(400, 240);
        window.show();
        const Qt::WindowFlags flags = window.windowFlags();
        engine.applySkin(&window, QStringLiteral("freeform"));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        // The corners are cut away, the middle is kept.
        QVERIFY(!window.mask().contains(QPoint(0, 0)) && window.mask().contains(QPoint(200, 0)));
        engine.applySkin(&dialog, QStringLiteral("freeform"));
        engine.applySkin(&dialog, QStringLiteral("Form"));
        QVERIFY(!(dialog.windowFlags() & Qt::FramelessWindowHint) && dialog.mask().isEmpty());

        engine.applySkin(&window, QStringLiteral("FreeForm"));
        engine.removeSkin(&window);
        engine.setHue(150); // no longer reaches it
        QCOMPARE(window.styleSheet(), QStringLiteral("QLabel { color: navy; }"));
        QCOMPARE(window.windowFlags(), flags);
        QVERIFY(window.mask().isEmpty() && window.isVisible());

        // A deleted window is forgotten: a hue change does not reach for it.
        auto *gone = new QWidget;
        engine.applyDefaultSkin(gone);
        delete gone;
        QVERIFY(!engine.isSkinned(gone));
        engine.setHue(30);

        // A popup shows skinned at the point, follows the hue and loses the skin with its window.
        QMainWindow owner;
        owner.resize(400, 300);
        engine.applyDefaultSkin(&owner);
        owner.show();
        QMenu menu(&owner);
        menu.addAction(QStringLiteral("Remove"));
        engine.skinnedWindow(&owner).popupMenu(&menu, 120, 90);
        QVERIFY(menu.isVisible()); // shown without blocking the caller
        QCOMPARE(menu.pos(), QPoint(120, 90));
        engine.setHue(120);
        const QColor accent = engine.skin()->palette().value(QStringLiteral("accent"));
        QVERIFY(menu.styleSheet().contains(SkinFile::rotated(accent, 120).name()));
        engine.removeSkin(&owner);
        QVERIFY(menu.styleSheet().isEmpty());
        SkinnedWindow().popupMenu(nullptr, 0, 0); // nothing to show, nothing happens
    }

    // Create hands over what was set before (colours other than 0: 0 keeps the system's); later
    // writes go out at once, a title only with an icon, texts in the ANSI code page. A tip
    // without text never shows; one with text shows below the pointer until the pointer leaves.
    void tooltipReachesItsWindow()
    {
        QWidget parent;
        parent.setGeometry(100, 100, 200, 80);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        CTooltip tip(&m_qt);
        tip.Destroy();              // harmless without a window
        tip.setBackColor(0x80ff00); // 0x00bbggrr
        tip.setVisibleTime(7000);
        tip.Create(&parent);
        const QPointer<TipWindow> w = window(tip);
        QVERIFY(w && !w->isBalloon());
        QCOMPARE(w->backgroundColor(), QColor(0, 0xff, 0x80));
        QCOMPARE(w->autoPopTime(), 7000);
        w->showTip(QPoint(150, 120));
        QVERIFY(!w->isVisible());

        tip.setTitle(QStringLiteral("Gr\u00f6\u00dfe"));
        QCOMPARE(w->title(), QString());
        tip.setIcon(2);
        tip.setTitle(QString());
        QCOMPARE(w->title(), QStringLiteral("Gr\u00f6\u00dfe"));
        tip.setTipText(QStringLiteral("caf\u00e9 \u266b"));
        QCOMPARE(w->text(), QStringLiteral("caf\u00e9 ?"));
        w->showTip(QPoint(150, 120));
        QVERIFY(w->isVisible());
        QCOMPARE(w->pos(), QPoint(150, 140));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&parent, &leave);
        QVERIFY(!w->isVisible());

        // A second Create replaces the window; the owner's release destroys the one it still
        // has; a tool whose window has gone leaves the tip inert.
        QPointer<TipWindow> second;
        {
            CTooltip again(&m_qt);
            again.Create(&parent);
            const QPointer<TipWindow> first = window(again);
            again.Create(&parent);
            QVERIFY(!first && window(again));
            second = window(again);
        }
        QVERIFY(!second);
        auto *gone = new QWidget;
        const TooltipApi::WindowHandle stale = QtTooltipWindowSystem::handleOf(gone);
        delete gone;
        CTooltip inert(&m_qt);
        inert.Create(stale);
        QVERIFY(window(inert));
        QCOMPARE(window(inert)->tool(), nullptr);
    }

    void initTestCase()
    {
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        QVERIFY(!skinSource().isEmpty());
    }

    // The skin, byte for byte, under any case of its name, over an older, longer file (a write
    // that did not truncate would leave a tail).
    void libraryWritesExactBytes()
    {
        for (const QString name : {"Media.skn", "mEDIA.SKN"}) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("1.skn"));
            TestEnv::writeFile(path, QByteArray(skinSource().size() * 2, 'x'));
            QCOMPARE(m_library.LoadSkin(path, name), 1);
            QCOMPARE(TestEnv::readFile(path), skinSource());
            QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("1.skn")});
        }
    }

    // Unknown names give 0; so do targets that cannot be written (rather than claiming
    // success): nothing is created and what was there stays.
    void libraryWritesNothing()
    {
        const char *const cases[][2] = {{"Media.sk", "1.skn"},
                                        {"Media.skn2", "1.skn"},
                                        {"", "1.skn"},
                                        {"Media.skn", "missing/1.skn"},
                                        {"Media.skn", "folder"}};
        for (const auto &[name, target] : cases) {
            QTemporaryDir dir;
            QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder")));
            TestEnv::writeFile(dir.filePath(QStringLiteral("folder/keep")), "kept");
            QCOMPARE(m_library.LoadSkin(dir.filePath(target), name), 0);
            QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("folder")});
            QCOMPARE(entries(dir.filePath(QStringLiteral("folder"))), QStringList{"keep"});
        }
        // Nor does a loader that finds no library. (The installed layout, the library in lib/
        // beside bin/, is loaded by the installed program's test.)
        QTemporaryDir empty;
        SkinLibrary missing({empty.path(), QString()});
        QVERIFY(!missing.load());
        QCOMPARE(missing.LoadSkin(empty.filePath(QStringLiteral("1.skn"))), 0);
        QCOMPARE(entries(empty.path()), QStringList());
    }

    // The library stands alone: nothing of ours, no Qt, only the C library (and, in a sanitizer
    // build, the sanitizer runtimes that build puts into every library).
    void libraryLinksOnlyLibc()
    {
        QByteArray dynamic;
        QCOMPARE(TestEnv::run("readelf", {"-d", TestEnv::binDir() + "/libtwrLib.so"}, &dynamic), 0);
        QStringList needed;
        for (const QByteArray &line : dynamic.split('\n'))
            if (line.contains("(NEEDED)"))
                needed << QString::fromLatin1(line.mid(line.indexOf('[') + 1).chopped(1));
        needed.removeIf([](const QString &n) {
            return Instrumented && (n.startsWith("libasan.") || n.startsWith("libubsan."));
        });
        QCOMPARE(needed, QStringList{"libc.so.6"});
    }
};

QTEST_MAIN(TestSkinEngine)
#include "tst_skinengine.moc"
