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

// The signature served beside a file: ours over its hash or (minisign -l) over the content
// itself, or each way one fails; those after Changed fail before the file is fetched.
enum class Sign { Ours, Legacy, Changed, Missing, OtherKey, Garbage, UnknownKind, CommentChanged };

struct Answer
{
    int status = 200;
    QByteArray body{};
    QByteArray headers{}; // extra header lines, each ending in "\r\n"
    qint64 length = -1;   // announced: -1 the body's, -2 none (ends at close); more: then silent
    Sign sign = Sign::Ours;
};

// Answers GET from a table of paths (404 elsewhere).
struct HttpServer : QTcpServer
{
    QHash<QString, Answer> answers;
    QStringList requested;
    std::function<void()> onRequest = [] {
    }; // before each answer

    HttpServer()
    {
        QVERIFY(listen(QHostAddress::LocalHost, 0));
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                if (!s->canReadLine() || !s->property("path").isNull())
                    return;
                const QString path = s->readLine().split(' ').value(1).mid(1);
                s->setProperty("path", path);
                requested << path;
                onRequest();
                const Answer a = answers.value(path, Answer{404, "not here"});
                const qint64 length = a.length == -1 ? a.body.size() : a.length;
                QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\n" + a.headers;
                if (length != -2)
                    head += "Content-Length: " + QByteArray::number(length) + "\r\n";
                s->write(head + "Connection: close\r\n\r\n" + a.body);
                if (length <= a.body.size())
                    s->disconnectFromHost();
            });
        });
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
        TestEnv::run("minisign",
                     {"-G", "-W", "-p", dir.filePath("k.pub"), "-s", dir.filePath("k.key")});
        publicKey = TestEnv::readFile(dir.filePath("k.pub")).split('\n').value(1);
    }
    QByteArray sign(const QByteArray &content, bool legacy) const
    {
        const QString file = dir.filePath("signed");
        TestEnv::writeFile(file, content);
        QFile::remove(file + Sig);
        const QStringList args{"-S", "-s", dir.filePath("k.key"), "-m", file, "-t", "release 2.5"};
        TestEnv::run("minisign", legacy ? args + QStringList{"-l"} : args);
        return TestEnv::readFile(file + Sig);
    }
};

// Ours (the one the window trusts) and another.
const KeyPair &key(bool ours = true)
{
    static const KeyPair keys[2];
    return keys[ours ? 0 : 1];
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
        const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
        config.descriptionUrl = base + Ini;
        config.installerUrl = base + Exe;
        config.folder = cache.filePath("u");
        config.publicKey = key().publicKey;
        config.runningVersion = "1.9.0";
        serve(Ini, {200, offer()});
        serve(Exe, {200, Installer});
    }
    // `answer` at `path`, and beside it the signature `answer.sign` asks for.
    void serve(const QString &path, Answer answer)
    {
        const Sign how = answer.sign;
        QByteArray signature = key(how != Sign::OtherKey).sign(answer.body, how == Sign::Legacy);
        if (how == Sign::Changed) {
            answer.body += "\n";
        } else if (how == Sign::Garbage) {
            signature = "untrusted comment: x\nnot a signature\n";
        } else if (how == Sign::UnknownKind) { // the second letter of the algorithm's name
            QList<QByteArray> lines = signature.split('\n');
            lines[1] = QByteArray::fromBase64(lines[1]).replace(1, 1, "x").toBase64();
            signature = lines.join('\n');
        } else if (how == Sign::CommentChanged) {
            signature.replace("release 2.5", "release 2.6");
        }
        server.answers[path] = answer;
        server.answers[path + Sig] = {how == Sign::Missing ? 404 : 200, signature};
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
    QString lastMessage() const { return messages().value(messages().size() - 1); }
    QStringList saved() const { return QDir(config.folder).entryList(QDir::Files); }
};

} // namespace

class tst_frmUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!key().publicKey.isEmpty(), "minisign made no key"); }

    // What the server serves → what the window shows (label "": the description was not
    // read), the last message, what it keeps and starts.
    void check()
    {
        const auto row = [](const QString &tag, const Answer &description, const Answer &installer,
                            const QString &label, const QString &message, bool agree = true) {
            const bool failedBefore = QTest::currentTestFailed();
            const auto named = qScopeGuard([&] {
                if (!failedBefore && QTest::currentTestFailed())
                    qWarning("in the row \"%s\"", qPrintable(tag));
            });
            Update u;
            u.serve(Ini, description); // a redirect's content is signed where it was asked for
            u.serve(Exe, installer);
            u.server.answers["moved.ini"] = {200, description.body};
            if (description.status == 0) // nobody listens on the port any more
                u.server.close();
            u.platform->messageAnswers << (agree ? MessageAnswer::Ok : MessageAnswer::Cancel);
            frmUpdate &w = u.check();

            const bool read = !label.isEmpty(), opened = message == "Live Update Complete!";
            const bool asked = label.startsWith("There is an update");
            const bool kept = read && !message.startsWith("The update file " + Ini); // not refused
            QVERIFY2(u.ms < 10000, "ended without waiting for the stall time-out");
            QCOMPARE(w.Label1->text(), read ? label : "Click \"Begin Live Update\" to Start");
            QCOMPARE(u.lastMessage(), message);
            // Enabled again only after a check that read the description and left the window open.
            QCOMPARE(w.Command1->isEnabled(), read && agree && !opened);
            QCOMPARE(w.isVisible(), agree && !opened);
            QCOMPARE(u.saved(), opened ? QStringList({Exe, Ini})
                                : kept ? QStringList{Ini}
                                       : QStringList());
            // Started only once verified, with the bytes served.
            const QString exe = QDir(u.config.folder).filePath(Exe);
            QCOMPARE(PlatformCalls::args(*u.platform, "openDocument"),
                     opened ? QStringList{exe} : QStringList());
            QCOMPARE(TestEnv::readFile(exe), opened ? Installer : QByteArray());
            // A signature that cannot hold is refused before its file is fetched at all.
            QCOMPARE(u.server.requested.contains(Ini),
                     description.status != 0 && description.sign <= Sign::Changed);
            QCOMPARE(u.server.requested.contains(Exe),
                     asked && agree && installer.sign <= Sign::Changed);
        };
        const Answer good{200, offer()}, exe{200, Installer};
        const QString available = "There is an update available to version 2.5 beta";
        const QString none = "There is no update available. Current Version: ";
        const QString done = "Live Update Complete!", &failed = TransferError;
        row("update", good, exe, available, done);
        row("signed over the content", {.body = offer(), .sign = Sign::Legacy},
            {.body = Installer, .sign = Sign::Legacy}, available, done);
        row("newer by number, older by text", {200, offer("1.10")}, exe,
            "There is an update available to version 1.10", done);
        row("declined", good, exe, available, "Do you want to downloading the updated file now?",
            false);
        row("no version section", {200, "[x]\navi=new\ncurrent=9\n"}, exe, none, "");
        row("redirect on this machine, capital N",
            {302, "[version]\navi=New\ncurrent=3.0\n", "Location: /moved.ini\r\n"}, exe,
            none + "3.0", "");
        row("404", {404, "gone"}, exe, "", failed);
        row("refused", {0}, exe, "", failed);
        row("over 64 KiB", {200, QByteArray(65537, 'x')}, exe, "", failed);
        row("over 64 KiB, unannounced", {200, QByteArray(65537, 'x'), {}, -2}, exe, "", failed);
        row("redirect elsewhere", {302, {}, "Location: http://127.0.0.2/a.ini\r\n"}, exe, "",
            failed);
        row("installer 404", good, {404}, available, failed);
        row("installer over 1 GiB", good, {.length = (qint64(1) << 30) + 1}, available, failed);

        const QString refused = "The update file %1 was refused: %2. Nothing was kept or opened.";
        const QString notNewer = "the version it offers, %1, is not newer than this copy's "
                                 "version 1.9.0";
        for (const QString version : {"1.9", "1.8.10"})
            row("version " + version, {200, offer(version.toUtf8())}, exe, none + "1.9.0",
                refused.arg(Ini, notNewer.arg(version)));
        row("no version", {200, offer("beta")}, exe, none + "1.9.0",
            refused.arg(Ini, "it offers no version number (\"beta\")"));
        const QList<std::tuple<const char *, Sign, QString>> faults{
            {"missing", Sign::Missing, "its signature %1 is missing on the update server"},
            {"other key", Sign::OtherKey,
             "it was signed with another key than the one this copy of Tonewright trusts"},
            {"changed", Sign::Changed, "it was changed after it was signed"},
            {"garbage", Sign::Garbage, "its signature %1 is not a signature in minisign's format"},
            {"unknown kind", Sign::UnknownKind,
             "its signature %1 is not a signature in minisign's format"},
            {"comment changed", Sign::CommentChanged,
             "the trusted comment of its signature %1 was changed after signing"}};
        for (const QString &file : {Ini, Exe}) {
            for (const auto &[tag, sign, why] : faults) {
                const Answer bad{.body = file == Ini ? offer() : Installer, .sign = sign};
                row(file + ' ' + tag, file == Ini ? bad : good, file == Ini ? exe : bad,
                    file == Ini ? "" : available,
                    refused.arg(file, QString(why).replace("%1", file + Sig)));
            }
        }
    }
    // What the publisher's script makes is what the program takes; it refuses another key.
    void publishedWithTheSigningScript()
    {
        QTemporaryDir release;
        TestEnv::writeFile(release.filePath(Ini), offer());
        TestEnv::writeFile(release.filePath(Exe), Installer);
        for (bool ours : {false, true})
            QCOMPARE(TestEnv::run(TestEnv::sourceDir() + "/scripts/sign-update.sh",
                                  {"-s", key(ours).dir.filePath("k.key"), "-p",
                                   key().dir.filePath("k.pub"), release.filePath(Ini),
                                   release.filePath(Exe)}),
                     ours ? 0 : 1);
        Update u;
        for (const QString &name : {Ini, Ini + Sig, Exe, Exe + Sig})
            u.server.answers[name] = {200, TestEnv::readFile(release.filePath(name))};
        u.check();
        QCOMPARE(u.platform->count("openDocument"), 1);
    }

    // A stalled transfer is given up after the stall time-out, the clock running meanwhile, or
    // cancelled at once when the window closes. Panel 1 as each file's request arrives.
    void stalledTransfersAndFullDisk()
    {
        const QString checking = "Status: Checking for updated version.";
        const QString downloading = "Status: Downloading now, please wait...";
        const QString question = "Do you want to downloading the updated file now?";
        const QList<std::tuple<QString, QStringList, QStringList, QString>> cases{
            {Ini + Sig, {}, {TransferError}, "Time: 1 Seconds"}, // not closed
            {Ini, {checking}, {}, ""},
            {Exe, {checking, downloading}, {question}, ""}};
        for (const auto &[stalled, panels, messages, clock] : cases) {
            const bool closes = !stalled.endsWith(Sig);
            Update u;
            u.server.answers[stalled] = {.length = 1000};
            u.config.stallTimeoutMs = closes ? 30000 : 1500;
            QStringList seen;
            u.server.onRequest = [&] {
                if (!u.server.requested.last().endsWith(Sig))
                    seen << u.window->StatusBar1->panelText(1);
                if (closes && u.server.requested.last() == stalled)
                    QTimer::singleShot(300, u.window.get(), [&] { u.window->close(); });
            };
            frmUpdate &w = u.check();
            QVERIFY2(u.ms >= (closes ? 0 : 1400) && u.ms < 10000,
                     qPrintable(QString::number(u.ms)));
            QCOMPARE(seen, panels);
            QCOMPARE(u.messages(), messages);
            QCOMPARE(w.StatusBar1->panelText(2), clock);
            QCOMPARE(w.isVisible(), !closes);
            QCOMPARE(u.saved(), stalled == Exe ? QStringList{Ini} : QStringList());
        }
        // A full disk: the transfer fails and leaves no partial installer.
        Update u;
        TmpfsMount disk(u.cache.path(), 64 * 1024);
        TWR_SKIP_UNLESS_MOUNTED(disk);
        u.serve(Exe, {200, QByteArray(512 * 1024, 'i')});
        frmUpdate &w = u.check();
        QCOMPARE(u.messages().value(1), TransferError);
        QCOMPARE(u.saved(), QStringList{Ini});
        QVERIFY(w.Command1->isEnabled());
    }

    // Only https, or plain http to this machine, and only with the key updates are signed with;
    // the environment overrides the built-in addresses.
    void configuration()
    {
        const QString https = "https://example.com/twr_update.ini";
        const QByteArray ours = key().publicKey;
        const QList<std::tuple<QString, QByteArray, bool>> cases{
            {"", ours, false},
            {"http://example.com/twr_update.ini", ours, false},
            {https, ours, true},
            {https, "", false},
            {https, ours.left(20), false}};
        for (const auto &[url, publicKey, usable] : cases) {
            UpdateConfig config;
            config.descriptionUrl = url;
            config.publicKey = publicKey;
            QCOMPARE(frmUpdate(config, nullptr).Command1->isEnabled(), usable);
            QCOMPARE(config.canCheck(), !url.isEmpty() && publicKey == ours);
        }
        QTemporaryDir home;
        qputenv("TONEWRIGHT_UPDATE_URL", https.toUtf8());
        qputenv("TONEWRIGHT_INSTALLER_URL", "");
        qputenv("XDG_CACHE_HOME", home.path().toUtf8());
        const UpdateConfig c = UpdateConfig::fromEnvironment();
        QCOMPARE(QStringList({c.descriptionUrl, c.installerUrl, c.folder}),
                 QStringList({https, "", home.filePath("tonewright/update")}));
    }
};

QTEST_MAIN(tst_frmUpdate)
#include "tst_frmupdate.moc"
