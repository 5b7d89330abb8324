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
const QString Sig = QStringLiteral(".minisig");

// A description offering `version`.
QByteArray offer(const QByteArray &version = "2.5 beta")
{
    return "[version]\r\navi=new\r\ncurrent=" + version + "\r\n";
}

// A minisign key pair made for this run.
struct KeyPair
{
    QTemporaryDir dir;
    QByteArray publicKey; // the public key file's second line

    KeyPair()
    {
        const QStringList args{
            "-G", "-W", "-p", dir.filePath("k.pub"), "-s", dir.filePath("k.key")};
        if (TestEnv::run("minisign", args) == 0)
            publicKey = TestEnv::readFile(dir.filePath("k.pub")).split('\n').value(1);
    }
    // The signature file of `content`; `legacy` signs the content itself, not its hash.
    QByteArray sign(const QByteArray &content, bool legacy = false) const
    {
        const QString file = dir.filePath("signed"), signature = file + Sig;
        TestEnv::writeFile(file, content);
        QStringList args{"-S", "-s", dir.filePath("k.key"), "-m", file, "-t", "release 2.5"};
        if (legacy)
            args << "-l";
        QFile::remove(signature);
        return TestEnv::run("minisign", args) == 0 ? TestEnv::readFile(signature) : QByteArray();
    }
};

const KeyPair &ourKey()
{
    static const KeyPair key;
    return key;
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
        config.publicKey = ourKey().publicKey;
        config.runningVersion = "1.9.0";
        serve(Ini, {200, offer()});
        serve(Exe, {200, Installer});
    }
    // `answer` at `path`, and beside it its signature made with our key.
    void serve(const QString &path, const Answer &answer, bool legacy = false)
    {
        server.answers[path] = answer;
        server.answers[path + Sig] = {200, ourKey().sign(answer.body, legacy)};
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

QString refused(const QString &file, const QString &why)
{
    return QStringLiteral("The update file %1 was refused: %2. Nothing was kept or opened.")
        .arg(file, why);
}

} // namespace

Q_DECLARE_METATYPE(Answer)

class tst_frmUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!ourKey().publicKey.isEmpty(), "minisign made no key"); }

    void check_data()
    {
        QTest::addColumn<Answer>("description");
        QTest::addColumn<Answer>("installer");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<QString>("label");   // "": the description was not read
        QTest::addColumn<QString>("message"); // pattern of the last message
        const Answer good{200, offer()}, exe{200, Installer};
        const QString available = "There is an update available to version 2.5 beta";
        const QString none = "There is no update available. Current Version: ";
        const QString error = "^" + QRegularExpression::escape(TransferError) + "$";

        QTest::newRow("update") << good << exe << true << available << "^Live Update Complete!$";
        QTest::newRow("newer by number, older by text")
            << Answer{200, offer("1.10")} << exe << true
            << "There is an update available to version 1.10"
            << "^Live Update Complete!$";
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
        u.serve(Ini, description);
        u.serve(Exe, installer);
        const QByteArray moved = "[version]\navi=New\ncurrent=3.0\n";
        u.server.answers["moved.ini"] = {200, moved};
        if (description.status == 302) // signed where it was asked for, served where it moved
            u.server.answers[Ini + Sig] = {200, ourKey().sign(moved)};
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

    // Signatures over the content itself (minisign -l) are taken as well as over its hash.
    void legacySignaturesOpen()
    {
        Update u;
        u.serve(Ini, {200, offer()}, true);
        u.serve(Exe, {200, Installer}, true);
        u.platform->messageAnswers << MessageAnswer::Ok;
        u.check();
        QCOMPARE(u.messages().value(1), "Live Update Complete!");
        QCOMPARE(PlatformCalls::args(*u.platform, "openDocument"),
                 QStringList{QDir(u.config.folder).filePath(Exe)});
    }

    // What the publisher's script makes is what the program takes; another key is refused.
    void publishedWithTheSigningScript()
    {
        static const KeyPair other;
        for (const KeyPair *signer : {&ourKey(), &other}) {
            QTemporaryDir release;
            TestEnv::writeFile(release.filePath(Ini), offer());
            TestEnv::writeFile(release.filePath(Exe), Installer);
            const int rc = TestEnv::run(TestEnv::sourceDir() + "/scripts/sign-update.sh",
                                        {"-s", signer->dir.filePath("k.key"), "-p",
                                         ourKey().dir.filePath("k.pub"), release.filePath(Ini),
                                         release.filePath(Exe)});
            QCOMPARE(rc, signer == &ourKey() ? 0 : 1);
            Update u;
            for (const QString &name : {Ini, Ini + Sig, Exe, Exe + Sig})
                u.server.answers[name] = {200, TestEnv::readFile(release.filePath(name))};
            u.platform->messageAnswers << MessageAnswer::Ok;
            u.check();
            QCOMPARE(u.platform->count("openDocument"), signer == &ourKey() ? 1 : 0);
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("why");
        for (const QString &file : {Ini, Exe}) {
            const QString signature = file + Sig;
            const auto row = [&](const char *fault, const QString &why) {
                QTest::addRow("%s %s", qPrintable(file), fault) << file << fault << why;
            };
            row("missing", "its signature " + signature + " is missing on the update server");
            row("other key", "it was signed with another key than the one this copy of "
                             "Tonewright trusts");
            row("changed", "it was changed after it was signed");
            row("garbage", "its signature " + signature +
                               " is not a signature in minisign's "
                               "format");
            row("unknown kind", "its signature " + signature +
                                    " is not a signature in "
                                    "minisign's format");
            row("comment changed",
                "the trusted comment of its signature " + signature + " was changed after signing");
        }
        const QString notNewer = "the version it offers, %1, is not newer than this copy's "
                                 "version 1.9.0";
        QTest::newRow("same version") << Ini << "1.9" << notNewer.arg("1.9");
        QTest::newRow("older version") << Ini << "1.8.10" << notNewer.arg("1.8.10");
        QTest::newRow("no version") << Ini << "beta"
                                    << "it offers no version number (\"beta\")";
    }
    void refusals()
    {
        QFETCH(QString, file);
        QFETCH(QString, fault);
        QFETCH(QString, why);
        Update u;
        Answer &content = u.server.answers[file];
        QByteArray &signature = u.server.answers[file + Sig].body;
        if (fault == "missing") {
            u.server.answers.remove(file + Sig);
        } else if (fault == "other key") {
            static const KeyPair other;
            signature = other.sign(content.body);
        } else if (fault == "changed") {
            content.body += "\n";
        } else if (fault == "garbage") {
            signature = "untrusted comment: x\nnot a signature\n";
        } else if (fault == "unknown kind") {
            QList<QByteArray> lines = signature.split('\n');
            QByteArray decoded = QByteArray::fromBase64(lines[1]);
            decoded[1] = 'x';
            lines[1] = decoded.toBase64();
            signature = lines.join('\n');
        } else if (fault == "comment changed") {
            signature.replace("release 2.5", "release 2.6");
        } else {
            u.serve(Ini, {200, offer(fault.toUtf8())});
        }
        u.platform->messageAnswers << MessageAnswer::Ok;
        u.check();

        QCOMPARE(u.messages().value(u.messages().size() - 1), refused(file, why));
        QCOMPARE(u.saved(), file == Exe ? QStringList{Ini} : QStringList());
        QCOMPARE(u.platform->count("openDocument"), 0);
        // A signature that cannot hold is refused before its file is fetched at all.
        const bool fetched =
            !QStringList{"missing", "other key", "garbage", "unknown kind", "comment changed"}
                 .contains(fault);
        QCOMPARE(u.server.requested.contains(file), fetched);
    }

    void stalledServerTimesOut()
    {
        Update u;
        u.server.answers[Ini + Sig] = {200, {}, {}, true, 100};
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
                if (u.server.requested.last().endsWith(Sig))
                    return;
                seen << u.window->StatusBar1->panelText(1);
                if (u.server.requested.last() == stalled)
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
        u.serve(Exe, {200, QByteArray(512 * 1024, 'i')});
        frmUpdate &w = u.check();
        QCOMPARE(u.messages().value(1), TransferError);
        QCOMPARE(u.saved(), QStringList{Ini});
        QVERIFY(w.Command1->isEnabled());
    }

    // Only https, or plain http to this machine, and only with the key updates are signed with.
    void configuredAddresses()
    {
        const QString https = "https://example.com/twr_update.ini";
        const QByteArray key = ourKey().publicKey;
        const QList<std::tuple<QString, QByteArray, bool>> cases{
            {"", key, false},
            {"http://example.com/twr_update.ini", key, false},
            {https, key, true},
            {https, "", false},
            {https, key.left(20), false}};
        for (const auto &[url, publicKey, usable] : cases) {
            UpdateConfig config;
            config.descriptionUrl = url;
            config.publicKey = publicKey;
            frmUpdate w(config, nullptr);
            QCOMPARE(w.Command1->isEnabled(), usable);
            QCOMPARE(config.canCheck(), !url.isEmpty() && publicKey == key);
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
