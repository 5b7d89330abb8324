// The skin engine: the skin file format, applying definitions, hue, removal and popups.
#include "tests/support/testenv.h"
#include "ui/skin/skinengine.h"

#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString shippedSkinPath()
{
    return TestEnv::sourceDir() + QStringLiteral("/resources/skin/media.skn");
}

QByteArray shippedSkin()
{
    QFile file(shippedSkinPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray SmallSkin = R"(# comment
[Palette]
accent = #ff0000
grey = #808080
glass = #80ff0000

[Window Default]
style = <<<
QPushButton { background-color: @accent; color: @grey; }
>>>

[Window Form]
inherit = default
style = <<<
QDialog { border: 1px solid @Accent; }
>>>

[Window FreeForm]
frame = frameless
corners = 12
translucent = yes
style = <<<
QWidget[skinWindow="true"] { background-color: @glass; }
>>>
)";

// Same picture to the eye: a window that was translucent once keeps an alpha channel in
// its grabs, whose premultiplication moves channels by a level.
bool looksTheSame(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    const auto *p = x.constBits();
    const auto *q = y.constBits();
    for (qsizetype i = 0; i < x.sizeInBytes(); ++i) {
        if (qAbs(int(p[i]) - int(q[i])) > 2)
            return false;
    }
    return true;
}

} // namespace

class TestSkinEngine : public QObject
{
    Q_OBJECT

private slots:
    void shippedSkinParses();
    void malformedSkinsAreRefused_data();
    void malformedSkinsAreRefused();
    void hueRotation_data();
    void hueRotation();
    void generatedStyleFollowsPaletteAndInheritance();
    void withoutSkinWindowsStayPlain();
    void hueRestylesEverySkinnedWindow();
    void deletingTheFileChangesNothing();
    void removeRestoresThePlainWindow();
    void freeFormIsFramelessAndShaped();
    void popupShowsAtPointAndTriggers();

private:
    TestConfigDir m_config;
};

void TestSkinEngine::shippedSkinParses()
{
    SkinFile skin;
    QString error;
    QVERIFY2(skin.parse(shippedSkin(), &error), qPrintable(error));
    // The definitions the windows ask for, found whatever the case.
    for (const char *name : {"Default", "form", "FreeForm"})
        QVERIFY2(skin.definition(QString::fromLatin1(name)), name);
    // The generated sheet is complete: no placeholder survives.
    for (const QString &name : skin.definitionNames())
        QVERIFY(!skin.styleSheet(*skin.definition(name), 90).contains(u'@'));
}

void TestSkinEngine::malformedSkinsAreRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    const QByteArray window = "[Window Default]\nstyle = <<<\nQWidget { color: @a; }\n>>>\n";
    QTest::newRow("empty") << QByteArray() << "no window definitions";
    QTest::newRow("binary") << QByteArray("\x00\x01\xd0\xcf\x11\xe0", 6) << "line 1";
    QTest::newRow("unknown colour") << ("[Palette]\nb = #010203\n" + window) << "unknown colour @a";
    QTest::newRow("named colour") << QByteArray("[Palette]\na = red\n") + window << "bad colour";
    QTest::newRow("unclosed style")
        << QByteArray("[Palette]\na = #010203\n[Window X]\nstyle = <<<\n") << "without closing";
    QTest::newRow("unknown key") << QByteArray("[Window X]\nborder = 2\n") << "unknown key";
    QTest::newRow("duplicate window") << QByteArray("[Window X]\n[Window x]\n") << "defined twice";
    QTest::newRow("unknown inherit") << QByteArray("[Window X]\ninherit = Y\n") << "unknown window";
    QTest::newRow("bad corners") << QByteArray("[Window X]\ncorners = -3\n") << "corner radius";
}

void TestSkinEngine::malformedSkinsAreRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    SkinFile skin;
    QString error;
    QVERIFY(!skin.parse(text, &error));
    QVERIFY2(error.contains(message), qPrintable(error));

    // The engine refuses it too and keeps no skin.
    SkinEngine engine;
    QVERIFY(engine.loadSkinData(SmallSkin));
    QVERIFY(!engine.loadSkinData(text));
    QVERIFY(!engine.isLoaded());
}

void TestSkinEngine::hueRotation_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("hue");
    QTest::addColumn<int>("expectedHue"); // -1: unchanged colour
    QTest::newRow("blue +60") << QColor(0, 0, 255) << 60 << 300;
    QTest::newRow("accent +210 wraps") << QColor(91, 140, 255) << 210 << 72;
    QTest::newRow("negative") << QColor(0, 255, 0) << -120 << 0;
    QTest::newRow("translucent") << QColor(255, 0, 0, 40) << 240 << 240;
    QTest::newRow("full turn") << QColor(18, 52, 86) << 360 << -1;
    QTest::newRow("grey stays") << QColor(128, 128, 128) << 90 << -1;
}

void TestSkinEngine::hueRotation()
{
    QFETCH(QColor, colour);
    QFETCH(int, hue);
    QFETCH(int, expectedHue);
    const QColor result = SkinFile::rotated(colour, hue);
    if (expectedHue < 0) {
        QCOMPARE(result, colour);
        return;
    }
    const QString shown = result.name(QColor::HexArgb);
    const int d = qAbs(result.hslHue() - expectedHue) % 360;
    QVERIFY2(qMin(d, 360 - d) <= 2, qPrintable(shown));
    QCOMPARE(result.alpha(), colour.alpha());
    // The luminance is kept, so text on it stays as readable as before.
    QVERIFY2(qAbs(SkinFile::luminance(result) - SkinFile::luminance(colour)) < 0.01,
             qPrintable(shown));
}

void TestSkinEngine::generatedStyleFollowsPaletteAndInheritance()
{
    SkinEngine engine;
    QVERIFY(engine.loadSkinData(SmallSkin));
    const QString form = engine.styleSheetFor(QStringLiteral("Form"));
    QVERIFY(form.contains(
        QStringLiteral("QPushButton { background-color: #ff0000; color: #808080; }")));
    QVERIFY(form.contains(QStringLiteral("QDialog { border: 1px solid #ff0000; }")));
    QVERIFY(engine.styleSheetFor(QStringLiteral("FreeForm"))
                .contains(QStringLiteral("rgba(255, 0, 0, 128)")));
    QCOMPARE(engine.styleSheetFor(QStringLiteral("Nothing")), QString());

    // An unknown definition draws a window with the default one.
    QWidget window;
    engine.applySkin(&window, QStringLiteral("NoSuchWindow"));
    QCOMPARE(engine.definitionOf(&window), QStringLiteral("Default"));
    const QString before = window.styleSheet();
    QCOMPARE(before, engine.styleSheetFor(QStringLiteral("Default")));

    // A hue set without redrawing waits for the next apply; greys do not turn.
    engine.setHue(120, false);
    QCOMPARE(window.styleSheet(), before);
    engine.applyDefaultSkin(&window);
    const QString turned = SkinFile::rotated(QColor(255, 0, 0), 120).name();
    QVERIFY(window.styleSheet().contains(
        QStringLiteral("background-color: %1; color: #808080;").arg(turned)));
}

void TestSkinEngine::withoutSkinWindowsStayPlain()
{
    SkinEngine engine;
    QTemporaryDir dir;
    QVERIFY(!engine.loadSkinFile(dir.filePath(QStringLiteral("1.skn"))));
    QVERIFY(!engine.loadSkinFile(dir.path())); // a folder is no skin
    QWidget window;
    window.setStyleSheet(QStringLiteral("QLabel { color: red; }"));
    engine.applyDefaultSkin(&window);
    engine.applySkin(&window, QStringLiteral("FreeForm"));
    engine.setHue(60);
    QCOMPARE(window.styleSheet(), QStringLiteral("QLabel { color: red; }"));
    QVERIFY(!engine.isSkinned(&window));
    QVERIFY(!(window.windowFlags() & Qt::FramelessWindowHint));
    engine.removeSkin(&window);
}

void TestSkinEngine::hueRestylesEverySkinnedWindow()
{
    SkinEngine engine;
    QVERIFY(engine.loadSkinFile(shippedSkinPath()));
    QMainWindow main;
    QWidget dialog;
    engine.applyDefaultSkin(&main);
    engine.applySkin(&dialog, QStringLiteral("Form"));
    const QString mainAt0 = main.styleSheet();
    const QString dialogAt0 = dialog.styleSheet();
    QVERIFY(!mainAt0.isEmpty() && mainAt0 != dialogAt0);

    QSignalSpy changed(&engine, &SkinEngine::hueChanged);
    engine.setHue(4 * 30);
    QCOMPARE(changed.size(), 1);
    QVERIFY(dialog.styleSheet() != dialogAt0);
    // The accent colour has turned by 120 degrees.
    const QColor accent = engine.skin()->palette().value(QStringLiteral("accent"));
    QVERIFY(main.styleSheet().contains(SkinFile::rotated(accent, 120).name()));
    QVERIFY(!main.styleSheet().contains(accent.name()));

    engine.setHue(360);
    QCOMPARE(engine.hue(), 0);
    QCOMPARE(main.styleSheet(), mainAt0);
    QCOMPARE(dialog.styleSheet(), dialogAt0);
}

void TestSkinEngine::deletingTheFileChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("1.skn"));
    QVERIFY(QFile::copy(shippedSkinPath(), path));

    SkinEngine engine;
    QVERIFY(engine.loadSkinFile(path));
    QMainWindow window;
    window.setCentralWidget(new QPushButton(QStringLiteral("Convert Now!")));
    window.resize(320, 200);
    engine.applyDefaultSkin(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage before = window.grab().toImage();

    QVERIFY(QFile::remove(path));
    QCoreApplication::processEvents();
    QCOMPARE(window.grab().toImage(), before);

    // The skin stays usable: hue changes and windows skinned later still work.
    engine.setHue(90);
    QVERIFY(window.grab().toImage() != before);
    engine.setHue(0);
    QCOMPARE(window.grab().toImage(), before);
    QWidget later;
    engine.applySkin(&later, QStringLiteral("Form"));
    QVERIFY(!later.styleSheet().isEmpty());
}

void TestSkinEngine::removeRestoresThePlainWindow()
{
    SkinEngine engine;
    QVERIFY(engine.loadSkinFile(shippedSkinPath()));
    QMainWindow window;
    window.setStyleSheet(QStringLiteral("QLabel { color: navy; }"));
    window.setCentralWidget(new QLabel(QStringLiteral("Play")));
    window.resize(300, 160);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage plain = window.grab().toImage();
    const Qt::WindowFlags flags = window.windowFlags();

    engine.applySkin(&window, QStringLiteral("FreeForm"));
    engine.applyDefaultSkin(&window);
    QVERIFY(window.grab().toImage() != plain);

    engine.removeSkin(&window);
    QCOMPARE(window.styleSheet(), QStringLiteral("QLabel { color: navy; }"));
    QCOMPARE(window.windowFlags(), flags);
    QVERIFY(window.mask().isEmpty() && window.isVisible());
    QVERIFY(looksTheSame(window.grab().toImage(), plain));

    // A hue change no longer reaches it; a second remove is harmless.
    engine.setHue(150);
    QCOMPARE(window.styleSheet(), QStringLiteral("QLabel { color: navy; }"));
    engine.removeSkin(&window);

    // A deleted window is forgotten: a hue change does not reach for it.
    auto *gone = new QWidget;
    engine.applyDefaultSkin(gone);
    delete gone;
    QVERIFY(!engine.isSkinned(gone));
    engine.setHue(30);
}

void TestSkinEngine::freeFormIsFramelessAndShaped()
{
    SkinEngine engine;
    QVERIFY(engine.loadSkinData(SmallSkin));
    QWidget splash;
    splash.resize(400, 240);
    engine.applySkin(&splash, QStringLiteral("freeform"));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash.testAttribute(Qt::WA_TranslucentBackground));
    // The corners are cut away, the middle is kept, and the shape follows the size.
    QVERIFY(!splash.mask().contains(QPoint(0, 0)));
    QVERIFY(!splash.mask().contains(QPoint(399, 239)));
    QVERIFY(splash.mask().contains(QPoint(200, 0)));
    splash.show();
    splash.resize(600, 300);
    QVERIFY(splash.mask().contains(QPoint(590, 150)));
    QVERIFY(!splash.mask().contains(QPoint(599, 299)));

    // Another definition gives the frame back and drops the shape.
    engine.applySkin(&splash, QStringLiteral("Form"));
    QVERIFY(!(splash.windowFlags() & Qt::FramelessWindowHint));
    QVERIFY(!splash.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(splash.mask().isEmpty());
}

void TestSkinEngine::popupShowsAtPointAndTriggers()
{
    SkinEngine engine;
    QVERIFY(engine.loadSkinData(SmallSkin));
    QMainWindow window;
    window.resize(400, 300);
    engine.applyDefaultSkin(&window);
    window.show();

    QMenu menu(&window);
    QAction *first = menu.addAction(QStringLiteral("Play Source File"));
    QAction *second = menu.addAction(QStringLiteral("Play Converted File"));
    QSignalSpy firstSpy(first, &QAction::triggered);
    QSignalSpy secondSpy(second, &QAction::triggered);

    engine.skinnedWindow(&window).popupMenu(&menu, 120, 90);
    QVERIFY(menu.isVisible()); // shown without blocking the caller
    QCOMPARE(menu.pos(), QPoint(120, 90));
    QCOMPARE(menu.styleSheet(), engine.styleSheetFor(SkinEngine::DefaultDefinition));
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(second).center());
    QCOMPARE(secondSpy.size(), 1);
    QCOMPARE(firstSpy.size(), 0);
    QTRY_VERIFY(!menu.isVisible());

    // The menu follows the hue and loses the skin with its window.
    engine.setHue(120);
    QVERIFY(menu.styleSheet().contains(SkinFile::rotated(QColor(255, 0, 0), 120).name()));
    engine.removeSkin(&window);
    QVERIFY(menu.styleSheet().isEmpty());

    // A window without a skin still gets a plain popup at the point.
    QWidget plainWindow;
    QMenu plainMenu;
    plainMenu.addAction(QStringLiteral("Remove"));
    engine.skinnedWindow(&plainWindow).popupMenu(&plainMenu, 30, 40);
    QVERIFY(plainMenu.isVisible() && plainMenu.styleSheet().isEmpty());
    QCOMPARE(plainMenu.pos(), QPoint(30, 40));
    SkinnedWindow().popupMenu(nullptr, 0, 0); // nothing to show, nothing happens
}

QTEST_MAIN(TestSkinEngine)
#include "tst_skinengine.moc"
