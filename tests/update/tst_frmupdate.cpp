// The live update window against a real HTTP server on 127.0.0.1, through the test platform.
#include "ui/statusbar.h"
#include "update/frmupdate.h"

#include "tests/support/platformcalls.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <QtWidgets>

namespace {

struct Answer
{
    int status = 200;
    QByteArray body{};
    QByteArray headers{}; // extra header lines, each ending in "\r\n"
    bool stall = false;   // send the head, then keep silent
    qint64 length = -1;   // announced length; -1: the body's, -2: none (the body ends at close)
};

// Answers GET from a table of paths (404 elsewhere).
struct HttpServer : QTcpServer
{
    QHash<QString, Answer> answers;
    QStringList requested;
    std::function<void()> onRequest; // before each answer

    HttpServer()
    {
        QVERIFY(listen(QHostAddress::LocalHost, 0));
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
        });
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(serverPort()).arg(path);
    }
    void serve(QTcpSocket *s)
    {
        if (!s->canReadLine() || !s->property("path").isNull())
            return;
        const QString path = s->readLine().split(' ').value(1).mid(1);
        s->setProperty("path", path);
        requested << path;
        if (onRequest)
            onRequest();
        const Answer a = answers.value(path, Answer{404, "not here"});
        QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\n" + a.headers;
        const qint64 length = a.length == -1 ? a.body.size() : a.length;
        if (length != -2)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        s->write(head + "Connection: close\r\n\r\n");
        if (!a.stall) {
            s->write(a.body);
            s->disconnectFromHost();
        }
    }
};

const QString TransferError =
    QStringLiteral("An error has occured in the file transfer or write.  Please try again later.");
const QByteArray Installer = QByteArray("#!/bin/sh\necho installing\n").repeated(50);
const QString Ini = QStringLiteral("twr_update.ini"), Exe = QStringLiteral("all4twr.exe");

// A description offering version "2.5 beta" of `installer`, with `sha` or its real checksum.
QByteArray offer(const QByteArray &installer, const QByteArray &sha = "real")
{
    const QByteArray sum =
        sha != "real" ? sha
                      : QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex();
    return "[version]\r\navi=new\r\ncurrent=2.5 beta\r\n" + (sum.isEmpty() ? "" : "sha256=" + sum);
}

struct Update
{
    TestPlatform *platform = TestPlatform::install();
    QTemporaryDir cache;
    HttpServer server;
    UpdateConfig config;
    std::unique_ptr<frmUpdate> window;
    qint64 ms = 0; // how long the check took

    Update()
    {
        config.descriptionUrl = server.url(Ini);
        config.installerUrl = server.url(Exe);
        config.folder = cache.filePath("u");
        server.answers = {{Ini, {200, offer(Installer)}}, {Exe, {200, Installer}}};
    }
    frmUpdate &check()
    {
        window = std::make_unique<frmUpdate>(config, nullptr);
        window->show();
        QElapsedTimer clock;
        clock.start();
        window->Command1->click();
        ms = clock.elapsed();
        return *window;
    }
    QStringList messages() const { return PlatformCalls::messages(*platform); }
    QStringList saved() const { return QDir(config.folder).entryList(QDir::Files); }
};

} // namespace

Q_DECLARE_METATYPE(Answer)

class tst_frmUpdate : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<Answer>("description");
        QTest::addColumn<Answer>("installer");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<QString>("label");   // "": the description was not read
        QTest::addColumn<QString>("message"); // pattern of the last message
        const Answer good{200, offer(Installer)}, exe{200, Installer};
        const QString available = "There is an update available to version 2.5 beta";
        const QString none = "There is no update available. Current Version: ";
        const QString error = "^" + QRegularExpression::escape(TransferError) + "$";
        const QString unverified = "all4twr.exe.*verified";

        QTest::newRow("update") << good << exe << true << available << "^Live Update Complete!$";
        QTest::newRow("declined") << good << exe << false << available << "downloading the upd";
        QTest::newRow("no version section")
            << Answer{200, "[x]\navi=new\ncurrent=9\n"} << exe << true << none << "^$";
        QTest::newRow("redirect on this machine, capital N")
            << Answer{302, {}, "Location: /moved.ini\r\n"} << exe << true << none + "3.0"
            << "^$";
        QTest::newRow("404") << Answer{404, "gone"} << exe << true << "" << error;
        QTest::newRow("refused") << Answer{0} << exe << true << "" << error;
        QTest::newRow("over 64 KiB")
            << Answer{200, QByteArray(65537, 'x')} << exe << true << "" << error;
        QTest::newRow("over 64 KiB, unannounced")
            << Answer{200, QByteArray(65537, 'x'), {}, false, -2} << exe << true << "" << error;
        QTest::newRow("redirect elsewhere")
            << Answer{302, {}, "Location: http://127.0.0.2/a.ini\r\n"} << exe << true << ""
            << error;
        QTest::newRow("wrong sha256")
            << Answer{200, offer("other")} << exe << true << available << unverified;
        QTest::newRow("no sha256")
            << Answer{200, offer(Installer, "")} << exe << true << available << unverified;
        QTest::newRow("installer 404") << good << Answer{404} << true << available << error;
        QTest::newRow("installer over 1 GiB")
            << good << Answer{200, {}, {}, true, (qint64(1) << 30) + 1} << true << available
            << error;
    }
    void check()
    {
        QFETCH(Answer, description);
        QFETCH(Answer, installer);
        QFETCH(bool, agree);
        QFETCH(QString, label);
        QFETCH(QString, message);
        Update u;
        u.server.answers = {{Ini, description},
                            {Exe, installer},
                            {"moved.ini", {200, "[version]\navi=New\ncurrent=3.0\n"}}};
        QTcpServer closed; // nobody listens on its port once it is closed
        closed.listen(QHostAddress::LocalHost);
        if (description.status == 0)
            u.config.descriptionUrl =
                QStringLiteral("http://127.0.0.1:%1/x").arg(closed.serverPort());
        closed.close();
        u.platform->messageAnswers << (agree ? MessageAnswer::Ok : MessageAnswer::Cancel);
        frmUpdate &w = u.check();

        const bool read = !label.isEmpty();
        const bool opened = message.contains("Complete");
        QVERIFY2(u.ms < 10000, "ended without waiting for the stall time-out");
        QCOMPARE(w.Label1->text(), read ? label : "Click \"Begin Live Update\" to Start");
        const QString last = u.messages().value(u.messages().size() - 1);
        QVERIFY2(QRegularExpression(message).match(last).hasMatch(), qPrintable(last));
        // Enabled again only after a check that read the description and left the window open.
        QCOMPARE(w.Command1->isEnabled(), read && agree && !opened);
        QCOMPARE(w.isVisible(), agree && !opened);
        const QStringList saved = !read ? QStringList() : QStringList{Ini};
        QCOMPARE(u.saved(), opened ? QStringList({Exe, Ini}) : saved);
        // Started only once verified, with the bytes served.
        QCOMPARE(u.platform->count("openDocument"), opened ? 1 : 0);
        QCOMPARE(TestEnv::readFile(QDir(u.config.folder).filePath(Exe)),
                 opened ? Installer : QByteArray());
    }

    void stalledServerTimesOut()
    {
        Update u;
        u.server.answers[Ini] = {200, {}, {}, true, 100};
        u.config.stallTimeoutMs = 1500;
        frmUpdate &w = u.check();
        QVERIFY2(u.ms >= 1400 && u.ms < 10000, qPrintable(QString::number(u.ms)));
        QCOMPARE(u.messages(), QStringList{TransferError});
        // The clock kept running while the transfer was waited for.
        QCOMPARE(w.StatusBar1->panelText(2), QStringLiteral("Time: 1 Seconds"));
    }

    // The stalled file → panel 1 as each request arrives.
    void closingCancelsTheTransfer()
    {
        const QString checking = "Status: Checking for updated version.";
        for (const auto &[stalled, panels] : QList<std::pair<QString, QStringList>>{
                 {Ini, {checking}}, {Exe, {checking, "Status: Downloading now, please wait..."}}}) {
            Update u;
            u.server.answers[stalled] = {200, {}, {}, true, 1000};
            QStringList seen;
            u.server.onRequest = [&] {
                seen << u.window->StatusBar1->panelText(1);
                QTimer::singleShot(300, u.window.get(), [&] { u.window->close(); });
            };
            frmUpdate &w = u.check(); // with the default 30 s stall time-out
            QVERIFY2(u.ms < 10000, qPrintable(QString::number(u.ms)));
            QCOMPARE(seen, panels);
            QVERIFY(!w.isVisible());
            QCOMPARE(u.messages().size(), stalled == Exe ? 1 : 0); // only the question
            QCOMPARE(u.saved(), stalled == Exe ? QStringList{Ini} : QStringList());
        }
    }

    void fullDiskLeavesNoPartialInstaller()
    {
        Update u;
        QDir().mkpath(u.config.folder);
        TmpfsMount disk(u.config.folder, 64 * 1024);
        TWR_SKIP_UNLESS_MOUNTED(disk);
        const QByteArray big(512 * 1024, 'i');
        u.server.answers = {{Ini, {200, offer(big)}}, {Exe, {200, big}}};
        frmUpdate &w = u.check();
        QCOMPARE(u.messages().value(1), TransferError);
        QCOMPARE(u.saved(), QStringList{Ini});
        QVERIFY(w.Command1->isEnabled());
    }

    // Only https, or plain http to this machine, is offered.
    void configuredAddresses()
    {
        const QList<std::pair<QString, bool>> cases{{"", false},
                                                    {"http://example.com/twr_update.ini", false},
                                                    {"https://example.com/twr_update.ini", true}};
        for (const auto &[url, usable] : cases) {
            UpdateConfig config;
            config.descriptionUrl = url;
            frmUpdate w(config, nullptr);
            QCOMPARE(w.Command1->isEnabled(), usable);
        }
    }

    void environmentOverridesTheBuild()
    {
        QTemporaryDir home;
        qputenv("TONEWRIGHT_UPDATE_URL", "https://mirror.example/u/twr_update.ini");
        qputenv("TONEWRIGHT_INSTALLER_URL", "");
        qputenv("XDG_CACHE_HOME", home.path().toUtf8());
        const UpdateConfig c = UpdateConfig::fromEnvironment();
        QCOMPARE(QStringList({c.descriptionUrl, c.installerUrl, c.folder}),
                 QStringList({"https://mirror.example/u/twr_update.ini", "",
                              home.filePath("tonewright/update")}));
    }
};

QTEST_MAIN(tst_frmUpdate)
#include "tst_frmupdate.moc"
