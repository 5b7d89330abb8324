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
    // What Create sends: the tool, a title only with a title or an icon, colours other than 0,
    // the two times.
    void createSends_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<uint>("fore");
        QTest::addColumn<uint>("back");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("nothing set") << "" << 0 << 0u << 0u << QStringList{};
        QTest::newRow("icon, empty title") << "" << 1 << 0u << 0u << QStringList{"title 1 "};
        QTest::newRow("title, no icon") << "Hi" << 0 << 0u << 0u << QStringList{"title 0 Hi"};
        QTest::newRow("both colours")
            << "" << 0 << 0xffu << 0x10000u << QStringList{"fore 255", "back 65536"};
        QTest::newRow("background only") << "" << 0 << 0u << 0x12u << QStringList{"back 18"};
    }
    void createSends()
    {
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(uint, fore);
        QFETCH(uint, back);
        QFETCH(QStringList, sent);
        RecordingTooltipSystem system;
        CTooltip tip(&system);
        tip.setTitle(title);
        tip.setIcon(icon);
        tip.setForeColor(fore);
        tip.setBackColor(back);
        tip.setTipText(QStringLiteral("Tip"));
        tip.setVisibleTime(7000);
        tip.setDelayTime(250);
        QVERIFY(system.log.isEmpty()); // nothing is sent before there is a window
        tip.Create(Parent);
        QCOMPARE(system.created, 1);
        QCOMPARE(system.log,
                 (QStringList{"add Tip"} + sent + QStringList{"delay 7000", "delay 250"}));
    }

    void writesWithoutWindowSendNothing()
    {
        // As the main window uses it: style and icon set, Destroy called freely.
        RecordingTooltipSystem system;
        CTooltip tip(&system);
        tip.setStyle(1);
        tip.setIcon(1);
        tip.Destroy();
        tip.setTitle(QStringLiteral("Title"));
        tip.setForeColor(0x112233);
        tip.setTipText(QStringLiteral("Text"));
        tip.Destroy();
        QVERIFY(system.created == 0 && system.log.isEmpty() && system.destroyed.isEmpty());
    }

    void writesWithWindow()
    {
        RecordingTooltipSystem system;
        CTooltip tip(&system);
        tip.Create(Parent);
        system.log.clear();
        // A title goes out only with an icon, and neither empty nor 0 is sent.
        tip.setTitle(QStringLiteral("Gr\u00f6\u00dfe"));
        tip.setIcon(2);
        tip.setTitle(QString());
        tip.setIcon(0);
        // Colours go out as written, 0 included; texts in the ANSI code page.
        tip.setForeColor(0);
        tip.setBackColor(0xabcdef);
        tip.setTipText(QStringLiteral("caf\u00e9 \u266b"));
        QCOMPARE(system.log, (QStringList{"title 2 Gr\u00f6\u00dfe", "fore 0", "back 11259375",
                                          "update caf\u00e9 ?"}));
        QCOMPARE(tip.TipText(), QStringLiteral("caf\u00e9 \u266b"));
        // These wait for the next Create.
        system.log.clear();
        tip.setStyle(1);
        tip.setCentered(true);
        tip.setVisibleTime(1);
        tip.setDelayTime(2);
        QVERIFY(system.log.isEmpty());
    }

    void createRebuildsAndDestroyForgets()
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

    void qtTipWindowFollowsTheMessages()
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
        QVERIFY(window && window->isBalloon() && !window->isVisible());
        QCOMPARE(window->tool(), &parent);
        QCOMPARE(window->title(), QStringLiteral("Heads up"));
        QCOMPARE(window->icon(), 2);
        QCOMPARE(window->textColor(), QColor(255, 0, 0));
        QCOMPARE(window->backgroundColor(), QColor(0, 0xff, 0x80));
        QCOMPARE(QList<int>({window->autoPopTime(), window->initialTime()}),
                 QList<int>({4000, 300}));
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
        QEvent leave(QEvent::Leave); // leaving the tool hides the tip
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

        // A handle whose window has gone stands for nothing; a tool of it is simply inert.
        auto *gone = new QWidget;
        const WindowHandle stale = QtTooltipWindowSystem::handleOf(gone);
        delete gone;
        QCOMPARE(QtTooltipWindowSystem::widgetOf(stale), nullptr);
        tip.Create(stale);
        QVERIFY(qt.tipWindow(tip.windowHandle()));
        QCOMPARE(qt.tipWindow(tip.windowHandle())->tool(), nullptr);
    }

private:
    TestConfigDir m_config;
};

QTEST_MAIN(TestCTooltip)
#include "tst_ctooltip.moc"
