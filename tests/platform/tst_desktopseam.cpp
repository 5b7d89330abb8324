// What leaves the process to sit on the desktop: the session-bus messages for the taskbar
// progress and the end-of-run notification (their shapes, and their arrival on a private
// bus), the run's feedback through the seam, and the channel on which a later start hands
// its files to the running instance.
#include "platform/desktopbus.h"
#include "platform/desktopplatform.h"
#include "platform/instancechannel.h"
#include "platform/runfeedback.h"

#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <cmath>
#include <thread>

namespace {

// The name of the desktop entry the build makes, without ".desktop".
QString builtDesktopId()
{
    const QStringList entries = QDir(TestEnv::buildDir() + QStringLiteral("/resources"))
                                    .entryList({QStringLiteral("*.desktop")}, QDir::Files);
    return entries.size() == 1 ? entries.first().chopped(int(strlen(".desktop"))) : QString();
}

// The argument types of a message to be sent (its D-Bus signature is known only once sent).
QStringList typesOf(const QDBusMessage &m)
{
    QStringList types;
    for (const QVariant &a : m.arguments())
        types << QString::fromLatin1(a.metaType().name());
    return types;
}

// Stands in for the desktop on a private session bus: the notification server, and a dock
// that listens to launcher entries.
class FakeDesktop : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QVariantList> notifications;
    QList<QVariantList> launcherUpdates;

public slots:
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints,
                int timeout)
    {
        notifications << QVariantList{app, replaces, icon, summary, body, actions, hints, timeout};
        return uint(notifications.size());
    }
    void Update(const QString &app, const QVariantMap &properties)
    {
        launcherUpdates << QVariantList{app, properties};
    }
};

// Sends from a thread of its own: the channel's send waits for the receiver, whose events
// this test's thread runs.
struct Sender
{
    std::atomic<int> result{-1};
    std::thread thread;

    Sender(const QString &path, const QStringList &files, int timeoutMs)
        : thread([this, path, files, timeoutMs] {
            result = InstanceChannel::send(path, files, timeoutMs) ? 1 : 0;
        })
    {
    }
    ~Sender() { thread.join(); }
};

} // namespace

class tst_DesktopSeam : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A private session bus for this process, set before anything connects to one.
        m_bus.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1")});
        if (!m_bus.waitForStarted())
            return; // messagesReachTheDesktop says so
        QVERIFY(m_bus.waitForReadyRead(10000));
        m_address = m_bus.readLine().trimmed();
        QVERIFY(!m_address.isEmpty());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address);
    }

    void cleanupTestCase()
    {
        m_bus.kill();
        m_bus.waitForFinished();
    }

    void launcherEntryUpdate_data()
    {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("progress");
        QTest::addColumn<bool>("visible");
        QTest::newRow("half") << 0.5 << 0.5 << true;
        QTest::newRow("start") << 0.0 << 0.0 << true;
        QTest::newRow("over the end") << 1.7 << 1.0 << true;
        QTest::newRow("taken off") << -1.0 << 0.0 << false;
    }

    void launcherEntryUpdate()
    {
        QFETCH(double, fraction);
        QFETCH(double, progress);
        QFETCH(bool, visible);
        const QDBusMessage m = DesktopBus::launcherEntryUpdate(fraction);
        QCOMPARE(m.type(), QDBusMessage::SignalMessage);
        QCOMPARE(m.interface(), QStringLiteral("com.canonical.Unity.LauncherEntry"));
        QCOMPARE(m.member(), QStringLiteral("Update"));
        QCOMPARE(typesOf(m), (QStringList{"QString", "QVariantMap"}));
        // Docks match the entry by the desktop file the program installs.
        QVERIFY(!builtDesktopId().isEmpty());
        QCOMPARE(m.arguments().value(0).toString(),
                 QStringLiteral("application://%1.desktop").arg(builtDesktopId()));
        const QVariantMap properties = m.arguments().value(1).toMap();
        QCOMPARE(properties.value(QStringLiteral("progress")).toDouble(), progress);
        QCOMPARE(properties.value(QStringLiteral("progress-visible")).toBool(), visible);
    }

    void runFinishedNotification_data()
    {
        QTest::addColumn<int>("converted");
        QTest::addColumn<int>("failed");
        QTest::addColumn<QString>("body");
        QTest::newRow("all converted") << 3 << 0 << "3 files converted.";
        QTest::newRow("one converted") << 1 << 0 << "1 file converted.";
        QTest::newRow("some failed") << 1 << 2 << "1 file converted, 2 failed.";
        QTest::newRow("all failed") << 0 << 4 << "0 files converted, 4 failed.";
    }

    void runFinishedNotification()
    {
        QFETCH(int, converted);
        QFETCH(int, failed);
        QFETCH(QString, body);
        const QDBusMessage m = DesktopBus::runFinishedNotification(converted, failed);
        QCOMPARE(m.type(), QDBusMessage::MethodCallMessage);
        QCOMPARE(m.service(), QStringLiteral("org.freedesktop.Notifications"));
        QCOMPARE(m.path(), QStringLiteral("/org/freedesktop/Notifications"));
        QCOMPARE(m.member(), QStringLiteral("Notify"));
        QCOMPARE(typesOf(m), (QStringList{"QString", "uint", "QString", "QString", "QString",
                                          "QStringList", "QVariantMap", "int"}));
        const QVariantList args = m.arguments();
        QCOMPARE(args.value(0).toString(), QStringLiteral("Tonewright"));
        QCOMPARE(args.value(2).toString(), builtDesktopId()); // the installed icon's name
        QCOMPARE(args.value(4).toString(), body);
        QCOMPARE(args.value(3).toString().contains(QStringLiteral("fail")), failed > 0);
        QCOMPARE(args.value(6).toMap().value(QStringLiteral("desktop-entry")).toString(),
                 builtDesktopId());
    }

    void messagesReachTheDesktop()
    {
        if (m_address.isEmpty())
            QSKIP("dbus-daemon is missing (scripts/install-deps.sh installs it)");
        TestConfigDir config;
        QDBusConnection desktop = QDBusConnection::connectToBus(QString::fromUtf8(m_address),
                                                                QStringLiteral("fake-desktop"));
        QVERIFY(desktop.isConnected());
        FakeDesktop fake;
        QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(desktop.registerService(QStringLiteral("org.freedesktop.Notifications")));
        QVERIFY(desktop.connect(
            QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
            QStringLiteral("Update"), &fake, SLOT(Update(QString, QVariantMap))));

        DesktopPlatform platform;
        platform.setTaskbarProgress(0.25);
        platform.notifyRunFinished(2, 1);
        QTRY_COMPARE(fake.launcherUpdates.size(), 1);
        QTRY_COMPARE(fake.notifications.size(), 1);
        QCOMPARE(fake.launcherUpdates[0][1].toMap().value("progress").toDouble(), 0.25);
        QCOMPARE(fake.notifications[0][4].toString(),
                 QStringLiteral("2 files converted, 1 failed."));

        desktop.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-desktop"));
    }

    void runFeedbackThroughTheSeam()
    {
        TestPlatform *platform = TestPlatform::install();
        QWidget window;
        {
            RunFeedback feedback(window);
            for (double f : {0.0, 0.004, std::nan(""), 0.5, 0.504, 0.51, 1.0})
                feedback.progress(f);
            QStringList sent;
            for (const PlatformCall &c : platform->callsOf("setTaskbarProgress"))
                sent << c.args.value(0);
            QCOMPARE(sent, (QStringList{"0", "0.5", "0.51", "1"}));

            // The user is elsewhere: the window is not active.
            platform->calls.clear();
            feedback.finished(3, 1);
            QCOMPARE(platform->calls.size(), 2);
            QCOMPARE(platform->calls[0].what, QStringLiteral("setTaskbarProgress"));
            QCOMPARE(platform->calls[0].args, QStringList{"-1"});
            QCOMPARE(platform->calls[1].what, QStringLiteral("notifyRunFinished"));
            QCOMPARE(platform->calls[1].args, (QStringList{"3", "1"}));
        }
        QCOMPARE(platform->count("setTaskbarProgress"), 1); // nothing left to take off

        // Watched to the end in the active window: no notification.
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        platform->calls.clear();
        {
            RunFeedback feedback(window);
            feedback.progress(0.3);
            feedback.finished(1, 0);
        }
        QCOMPARE(platform->count("notifyRunFinished"), 0);
        QCOMPARE(platform->callsOf("setTaskbarProgress").last().args, QStringList{"-1"});

        // A run that ends without finished() still takes its progress off.
        platform->calls.clear();
        {
            RunFeedback feedback(window);
            feedback.progress(0.7);
        }
        QCOMPARE(platform->callsOf("setTaskbarProgress").last().args, QStringList{"-1"});
    }

    void channelHandsFilesOver_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("one") << QStringList{"/music/a.mp3"};
        QTest::newRow("odd names")
            << QStringList{"/m/with space.ogg", "/m/äöü €.wav", "/m/line\nbreak.mp3", "/m/#%?.wma"};
        QStringList many;
        for (int i = 0; i < 2000; ++i)
            many << QStringLiteral("/a/rather/long/folder/name/for/many/files/%1.flac").arg(i);
        QTest::newRow("many") << many;
    }

    void channelHandsFilesOver()
    {
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s"));
        InstanceChannel channel(path);
        QVERIFY(channel.listen());
        QVERIFY(!(QFileInfo(path).permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        Sender sender(path, files, 10000);
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received[0][0].toStringList(), files);
        QTRY_COMPARE(sender.result.load(), 1);
    }

    void channelEdges()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s"));

        // Nobody listens: the sender gives up after its time.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!InstanceChannel::send(path, {"/a.mp3"}, 300));
        QVERIFY(clock.elapsed() >= 250);

        // A socket file left behind by a crashed instance is taken over.
        TestEnv::writeFile(path, "stale");
        InstanceChannel channel(path);
        QVERIFY(channel.listen());
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);

        // Something that is not a hand-over is dropped; the channel goes on working.
        QLocalSocket stranger;
        stranger.connectToServer(path);
        QVERIFY(stranger.waitForConnected(5000));
        stranger.write("HELLO, is this the instance you are looking for?");
        QVERIFY(stranger.waitForBytesWritten(5000));
        QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(received.size(), 0);

        Sender sender(path, {"/b.wav"}, 10000);
        QTRY_COMPARE(received.size(), 1);
        QTRY_COMPARE(sender.result.load(), 1);
    }

    void channelWaitsForAnInstanceStillLoading()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s"));
        InstanceChannel channel(path);
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        Sender sender(path, {"/late.ogg"}, 10000);
        QTest::qWait(400);
        QVERIFY(channel.listen());
        QTRY_COMPARE(received.size(), 1);
        QTRY_COMPARE(sender.result.load(), 1);
    }

private:
    QProcess m_bus;
    QByteArray m_address;
};

QTEST_MAIN(tst_DesktopSeam)
#include "tst_desktopseam.moc"
