// What reaches the desktop: taskbar progress and end-of-run notification on the session bus,
// the run's feedback, and the channel a later start hands its files over on.
#include "platform/desktopbus.h"
#include "platform/instancechannel.h"
#include "platform/runfeedback.h"

#include "tests/support/platformcalls.h"
#include "tests/support/testenv.h"

#include <QDBusMessage>
#include <QLocalSocket>
#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <thread>

#include <sys/stat.h>

namespace {

// The argument types of a message to be sent (its D-Bus signature is known only once sent).
QStringList typesOf(const QDBusMessage &m)
{
    QStringList types;
    for (const QVariant &a : m.arguments())
        types << QString::fromLatin1(a.metaType().name());
    return types;
}

// Sends from a thread of its own: the channel's send waits for the receiver, whose events
// this test's thread runs.
struct Sender
{
    std::atomic<int> result{-1};
    std::thread thread;

    Sender(const QString &path, const QStringList &files)
        : thread([this, path, files] { result = InstanceChannel::send(path, files, 10000); })
    {
    }
    ~Sender() { thread.join(); }
};

// Runs a Python snippet as the user "nobody"; its arguments follow it.
QStringList asNobody(const QString &script, const QStringList &args)
{
    return QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                       script} +
           args;
}

// A channel on a socket in a fresh folder, not yet listening.
struct Channel
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s");
    InstanceChannel channel{path};
    QSignalSpy received{&channel, &InstanceChannel::filesReceived};
};

} // namespace

class tst_DesktopSeam : public QObject
{
    Q_OBJECT

private slots:
    void messageShapesAndRunFeedback()
    {
        const QStringList entries =
            QDir(TestEnv::buildDir() + "/resources").entryList({"*.desktop"}, QDir::Files);
        QCOMPARE(entries.size(), 1); // the desktop entry the build makes
        const QString id = entries[0].chopped(8);
        // fraction → progress shown, visible
        const QList<std::tuple<double, double, bool>> updates{
            {0.5, 0.5, true}, {0.0, 0.0, true}, {1.7, 1.0, true}, {-1.0, 0.0, false}};
        for (const auto &[fraction, progress, visible] : updates) {
            const QDBusMessage m = DesktopBus::launcherEntryUpdate(fraction);
            QCOMPARE(m.interface() + '.' + m.member(), "com.canonical.Unity.LauncherEntry.Update");
            QCOMPARE(typesOf(m), (QStringList{"QString", "QVariantMap"}));
            // Docks match the entry by the desktop file the program installs.
            QCOMPARE(m.arguments()[0].toString(), "application://" + id + ".desktop");
            const QVariantMap properties = m.arguments()[1].toMap();
            QCOMPARE(properties.value("progress").toDouble(), progress);
            QCOMPARE(properties.value("progress-visible").toBool(), visible);
        }

        // converted, failed → body
        const QList<std::tuple<int, int, QString>> ends{{1, 0, "1 file converted."},
                                                        {0, 4, "0 files converted, 4 failed."}};
        for (const auto &[converted, failed, body] : ends) {
            const QDBusMessage m = DesktopBus::runFinishedNotification(converted, failed);
            QCOMPARE(m.service() + m.path(),
                     "org.freedesktop.Notifications/org/freedesktop/Notifications");
            QCOMPARE(typesOf(m), (QStringList{"QString", "uint", "QString", "QString", "QString",
                                              "QStringList", "QVariantMap", "int"}));
            const QVariantList args = m.arguments();
            QCOMPARE(args[2].toString(), id); // the installed icon's name
            QCOMPARE(args[4].toString(), body);
            QCOMPARE(args[3].toString().contains("fail"), failed > 0);
            QCOMPARE(args[6].toMap().value("desktop-entry").toString(), id);
        }

        // Watched to the end in the active window: no notification (a run's end in another window
        // is checked with a whole run). A run that ends without finished() still takes its progress
        // off; one that finishes takes it off once.
        TestPlatform *platform = TestPlatform::install();
        QWidget window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (bool finishes : {true, false}) {
            platform->calls.clear();
            {
                RunFeedback feedback(window);
                for (double f : {0.0, 0.004, qQNaN(), 0.5, 0.504, 0.51, 1.0})
                    feedback.progress(f);
                if (finishes)
                    feedback.finished(1, 0);
            }
            QCOMPARE(PlatformCalls::args(*platform, "setTaskbarProgress"),
                     (QStringList{"0", "0.5", "0.51", "1", "-1"}));
            QCOMPARE(platform->count("notifyRunFinished"), 0);
        }
    }

    // Another user reaches neither side even through an open socket file: the running
    // instance drops its connection, and a later start sends nothing to its socket.
    void channelOnlyBetweenThisUser()
    {
        Channel c;
        QVERIFY(::chmod(QFile::encodeName(c.dir.path()).constData(), 0777) == 0);
        QVERIFY(c.channel.listen());
        QVERIFY(::chmod(QFile::encodeName(c.path).constData(), 0777) == 0);
        QProcess stranger;
        stranger.start("setpriv",
                       asNobody("import socket,sys\n"
                                "s=socket.socket(socket.AF_UNIX); s.connect(sys.argv[1])\n"
                                "s.sendall(b'TWR1\\0\\0\\0\\6/x.mp3')\n"
                                "try: print(s.recv(1))\n"
                                "except ConnectionResetError: print(b'')",
                                {c.path}));
        QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QProcess::NotRunning, 10000);
        QVERIFY2(stranger.readAllStandardOutput().trimmed() == "b''", // closed unanswered
                 stranger.readAllStandardError().constData());
        QCOMPARE(c.received.size(), 0);

        const QString planted = c.dir.filePath("planted");
        QProcess listener;
        listener.start(
            "setpriv",
            asNobody("import os,socket,sys\n"
                     "s=socket.socket(socket.AF_UNIX); s.bind(sys.argv[1])\n"
                     "os.chmod(sys.argv[1],0o777); s.listen(); print('ready',flush=True)\n"
                     "c,_=s.accept(); c.settimeout(5); print(c.recv(100))",
                     {planted}));
        QVERIFY(listener.waitForReadyRead(10000));
        QCOMPARE(listener.readLine().trimmed(), "ready");
        QVERIFY(!InstanceChannel::send(planted, {"/home/me/secret.mp3"}, 3000));
        QVERIFY(listener.waitForFinished(10000));
        QCOMPARE(listener.readAllStandardOutput().trimmed(), "b''");
    }

    // Idle connections are capped and timed out; junk or an oversized announcement is dropped
    // at once; hand-overs still get through afterwards, on a socket only this user may open.
    void channelEdgesAndLimits()
    {
        Channel c;
        // Nobody listens: the sender gives up after its time.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!InstanceChannel::send(c.path, {"/a.mp3"}, 300));
        QVERIFY(clock.elapsed() >= 250);
        // An instance that holds the lock but still loads: the sender waits for it. A socket
        // file left behind by a crashed instance does not stop it from listening.
        TestEnv::writeFile(c.path, "stale");
        {
            Sender sender(c.path, {"/late.ogg"});
            QTest::qWait(400);
            QVERIFY(c.channel.listen());
            QTRY_COMPARE(sender.result.load(), 1);
        }
        QCOMPARE(c.received.takeFirst().value(0).toStringList(), QStringList{"/late.ogg"});
        QVERIFY(!(QFileInfo(c.path).permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i <= InstanceChannel::MaxConnections; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(c.path);
            QVERIFY(idle.back()->waitForConnected(5000));
            QTest::qWait(20); // taken one by one
        }
        const auto connected = [&] {
            return std::count_if(idle.begin(), idle.end(), [](const auto &s) {
                return s->state() == QLocalSocket::ConnectedState;
            });
        };
        QTRY_COMPARE(connected(), InstanceChannel::MaxConnections);
        QTRY_COMPARE_WITH_TIMEOUT(connected(), 0, InstanceChannel::ConnectionTimeoutMs + 3000);

        QByteArray greedy = "TWR1";
        greedy.resize(8);
        qToBigEndian(quint32(InstanceChannel::MaxPayload + 1), greedy.data() + 4);
        for (const QByteArray &junk : {QByteArray("HELLO, is this the instance?"), greedy}) {
            QLocalSocket stranger;
            stranger.connectToServer(c.path);
            QVERIFY(stranger.waitForConnected(5000));
            stranger.write(junk);
            QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, 1000);
        }

        QStringList many;
        for (int i = 0; i < 2000; ++i)
            many << QStringLiteral("/a/rather/long/folder/name/for/many/files/%1.flac").arg(i);
        // One plain file is handed over by the real program in the start-up tests.
        for (const QStringList &files : QList<QStringList>{
                 {"/m/with space.ogg", "/m/äöü €.wav", "/m/line\nbreak.mp3", "/m/#%?.wma"}, many}) {
            Sender sender(c.path, files);
            QTRY_COMPARE(sender.result.load(), 1);
            QCOMPARE(c.received.takeFirst().value(0).toStringList(), files);
        }
        QCOMPARE(c.received.size(), 0);
    }
};

QTEST_MAIN(tst_DesktopSeam)
#include "tst_desktopseam.moc"
