// The tooltip class: what it asks of the window system, and the Qt tip window behind it.
#include "recordingtooltipsystem.h"
#include "tests/support/testenv.h"
#include "ui/ctooltip.h"
#include "ui/qttooltipwindowsystem.h"
#include "ui/tipwindow.h"

#include <QTest>
#include <QWidget>

using namespace TooltipApi;

namespace {
constexpr WindowHandle Parent = 0x2a2a;
}

class TestCTooltip : public QObject
{
    Q_OBJECT

private slots:
    void createSequence_data();
    void createSequence();
    void defaultsAndWritesWithoutWindowSendNothing();
    void propertyWritesWithWindow();
    void createRebuildsAndDestroyForgets();
    void qtTipWindowFollowsTheMessages();

private:
    TestConfigDir m_config;
};

void TestCTooltip::createSequence_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("centered");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<uint>("fore");
    QTest::addColumn<uint>("back");
    QTest::addColumn<uint>("windowStyle");
    QTest::addColumn<QStringList>("log");

    const QStringList delays{"delay 2 7000", "delay 3 250"};
    QTest::newRow("defaults") << 0 << false << "" << 0 << 0u << 0u << 3u
                              << QStringList{"add 17 Tip"} + delays;
    QTest::newRow("balloon, centred")
        << 1 << true << "" << 0 << 0u << 0u << 67u << QStringList{"add 19 Tip"} + delays;
    QTest::newRow("style 2 is a standard tip")
        << 2 << false << "" << 0 << 0u << 0u << 3u << QStringList{"add 17 Tip"} + delays;
    QTest::newRow("icon with empty title") << 1 << false << "" << 1 << 0u << 0u << 67u
                                           << QStringList{"add 17 Tip", "title 1 "} + delays;
    QTest::newRow("title without icon") << 0 << false << "Hello" << 0 << 0u << 0u << 3u
                                        << QStringList{"add 17 Tip", "title 0 Hello"} + delays;
    QTest::newRow("both colours") << 0 << false << "" << 0 << 0x0000ffu << 0xffffffu << 3u
                                  << QStringList{"add 17 Tip", "fore 255", "back 16777215"} +
                                         delays;
    QTest::newRow("background only") << 0 << false << "" << 0 << 0u << 0x123456u << 3u
                                     << QStringList{"add 17 Tip", "back 1193046"} + delays;
}

void TestCTooltip::createSequence()
{
    QFETCH(int, style);
    QFETCH(bool, centered);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(uint, fore);
    QFETCH(uint, back);
    QFETCH(uint, windowStyle);
    QFETCH(QStringList, log);

    RecordingTooltipSystem system;
    CTooltip tip(&system);
    tip.setStyle(style);
    tip.setCentered(centered);
    tip.setTitle(title);
    tip.setIcon(icon);
    tip.setForeColor(fore);
    tip.setBackColor(back);
    tip.setTipText(QStringLiteral("Tip"));
    tip.setVisibleTime(7000);
    tip.setDelayTime(250);
    QVERIFY(system.messages.isEmpty()); // nothing is sent before there is a window

    QCOMPARE(tip.Create(Parent), false);
    QCOMPARE(system.created.size(), 1);
    const CreateWindowParams &params = system.created.first();
    QCOMPARE(params.className, std::string("tooltips_class32"));
    QCOMPARE(params.style, windowStyle);
    QVERIFY(params.exStyle == 0 && params.windowName.empty() && !params.parent && !params.menu);
    for (std::int32_t v : {params.x, params.y, params.width, params.height})
        QCOMPARE(v, CW_USEDEFAULT);
    QCOMPARE(params.instance, system.moduleInstance());

    QCOMPARE(system.log, log);
    for (const auto &m : std::as_const(system.messages))
        QCOMPARE(m.window, tip.windowHandle());
    const ToolInfo &add = system.messages.first().tool;
    QCOMPARE(add.cbSize, 44u);
    QVERIFY(add.hwnd == Parent && add.uId == std::uintptr_t(Parent));
    QVERIFY(!add.rect.left && !add.rect.top && !add.rect.right && !add.rect.bottom);
    QCOMPARE(add.hinst, system.moduleInstance());
}

void TestCTooltip::defaultsAndWritesWithoutWindowSendNothing()
{
    // As the main window uses it: balloon style and icon set, Destroy called freely.
    RecordingTooltipSystem system;
    CTooltip tip(&system);
    QCOMPARE(system.initCount, 1);
    QCOMPARE(tip.VisibleTime(), 5000);
    QCOMPARE(tip.DelayTime(), 500);
    tip.setStyle(1);
    tip.setIcon(1);
    tip.Destroy();
    tip.setTitle(QStringLiteral("Title"));
    tip.setForeColor(0x112233);
    tip.setBackColor(0x445566);
    tip.setTipText(QStringLiteral("Text"));
    tip.Destroy();
    QVERIFY(system.created.isEmpty() && system.messages.isEmpty() && system.destroyed.isEmpty());
    QCOMPARE(tip.windowHandle(), WindowHandle(0));
}

void TestCTooltip::propertyWritesWithWindow()
{
    RecordingTooltipSystem system;
    CTooltip tip(&system);
    tip.Create(Parent);
    system.clear();

    // A title only goes out with an icon; texts go out in the ANSI code page.
    tip.setTitle(QStringLiteral("Gr\u00f6\u00dfe"));
    QVERIFY(system.messages.isEmpty());
    tip.setIcon(2);
    QCOMPARE(system.log, QStringList{"title 2 Gr\u00f6\u00dfe"});
    QCOMPARE(system.messages.last().text, QByteArray("Gr\xf6\xdf"
                                                     "e"));
    system.clear();
    tip.setTitle(QString()); // an empty title is only stored
    tip.setIcon(0);          // and so is icon 0
    QVERIFY(system.messages.isEmpty());

    // Colours are sent as they are written, 0 included.
    tip.setForeColor(0);
    tip.setBackColor(0xabcdef);
    QCOMPARE(system.log, (QStringList{"fore 0", "back 11259375"}));
    system.clear();

    // The text updates the kept tool record.
    tip.setTipText(QStringLiteral("caf\u00e9 \u266b"));
    QCOMPARE(system.log, QStringList{"update 17 caf\u00e9 ?"});
    const auto &update = system.messages.first();
    QCOMPARE(update.text, QByteArray("caf\xe9 ?"));
    QVERIFY(update.tool.cbSize == 44u && update.tool.hwnd == Parent);
    QCOMPARE(tip.TipText(), QStringLiteral("caf\u00e9 \u266b"));
    system.clear();

    // These wait for the next Create.
    tip.setStyle(1);
    tip.setCentered(true);
    tip.setVisibleTime(1);
    tip.setDelayTime(2);
    QVERIFY(system.messages.isEmpty() && system.created.isEmpty());
}

void TestCTooltip::createRebuildsAndDestroyForgets()
{
    RecordingTooltipSystem system;
    {
        CTooltip tip(&system);
        tip.Create(Parent);
        const WindowHandle first = tip.windowHandle();
        tip.Create(Parent + 1);
        QCOMPARE(system.destroyed, QList<WindowHandle>{first});
        QCOMPARE(tip.parentHandle(), Parent + 1);
        const WindowHandle second = tip.windowHandle();
        QVERIFY(second != first);
        tip.Destroy();
        tip.Destroy();
        QCOMPARE(system.destroyed, (QList<WindowHandle>{first, second}));
        QCOMPARE(tip.windowHandle(), WindowHandle(0));
        tip.Create(Parent);
    }
    // The owner's release destroys the window it still has, and only that.
    QCOMPARE(system.destroyed.size(), 3);
    delete new CTooltip(&system);
    QCOMPARE(system.destroyed.size(), 3);
}

void TestCTooltip::qtTipWindowFollowsTheMessages()
{
    QtTooltipWindowSystem qt;
    QWidget parent;
    parent.setGeometry(100, 100, 200, 80);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    CTooltip tip(&qt);
    tip.setStyle(1);
    tip.setIcon(2);
    tip.setTitle(QStringLiteral("Heads up"));
    tip.setForeColor(0x0000ff); // red in 0x00bbggrr
    tip.setBackColor(0x80ff00);
    tip.setVisibleTime(4000);
    tip.setDelayTime(300);
    tip.Create(&parent);

    QPointer<TipWindow> window = qt.tipWindow(tip.windowHandle());
    QVERIFY(window);
    QVERIFY(window->isBalloon() && !window->isVisible());
    QCOMPARE(window->tool(), &parent);
    QCOMPARE(window->title(), QStringLiteral("Heads up"));
    QCOMPARE(window->icon(), 2);
    QCOMPARE(window->textColor(), QColor(255, 0, 0));
    QCOMPARE(window->backgroundColor(), QColor(0, 0xff, 0x80));
    QCOMPARE(QList<int>({window->autoPopTime(), window->initialTime()}), QList<int>({4000, 300}));
    window->showTip(QPoint(150, 120));
    QVERIFY(!window->isVisible()); // a tip without text never shows
    tip.setTipText(QStringLiteral("Hover text"));
    QCOMPARE(window->text(), QStringLiteral("Hover text"));

    // A standard tip is a plain rectangle window, shown just below the pointer.
    tip.setStyle(0);
    tip.Create(&parent);
    QVERIFY(!window); // the balloon was destroyed
    window = qt.tipWindow(tip.windowHandle());
    QVERIFY(window && !window->isBalloon());
    window->showTip(QPoint(150, 120));
    QVERIFY(window->isVisible());
    QCOMPARE(window->pos(), QPoint(150, 140));
    // Leaving the tool hides the tip.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&parent, &leave);
    QVERIFY(!window->isVisible());

    // A centred tip sits centred below the tool.
    tip.setCentered(true);
    tip.Create(&parent);
    window = qt.tipWindow(tip.windowHandle());
    window->showTip(QPoint(150, 120));
    const QRect toolRect(parent.mapToGlobal(QPoint(0, 0)), parent.size());
    QCOMPARE(window->geometry().center().x(), toolRect.center().x());
    QVERIFY(window->y() > toolRect.bottom());
    tip.Destroy();
    QVERIFY(!window);
    QCOMPARE(qt.tipWindow(tip.windowHandle()), nullptr);

    // A handle whose window has gone stands for nothing; a tool of it is simply inert.
    auto *gone = new QWidget;
    const WindowHandle stale = QtTooltipWindowSystem::handleOf(gone);
    QCOMPARE(QtTooltipWindowSystem::widgetOf(stale), gone);
    delete gone;
    QCOMPARE(QtTooltipWindowSystem::widgetOf(stale), nullptr);
    QCOMPARE(QtTooltipWindowSystem::widgetOf(0x1234), nullptr);
    tip.Create(stale);
    QVERIFY(qt.tipWindow(tip.windowHandle()));
    QCOMPARE(qt.tipWindow(tip.windowHandle())->tool(), nullptr);
}

QTEST_MAIN(TestCTooltip)
#include "tst_ctooltip.moc"
