// The installed program: an install into a temporary prefix that is then moved elsewhere,
// its programs run from there, its desktop metadata checked by the desktop's own validators,
// and the Debian package built (and, as root in CI, installed and removed again).
#include "platform/instancelock.h"
#include "platform/paths.h"

#include "tests/support/audiofixtures.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// Every file an installation holds, relative to its prefix. The private library folder
// follows the system's library folder name.
const QStringList InstalledFiles{
    "bin/tonewright",
    "bin/twr-convert",
    "lib(/[^/]+)?/tonewright/libtwrLib\\.so",
    "share/applications/(?<id>[^/]+)\\.desktop",
    "share/metainfo/[^/]+\\.metainfo\\.xml",
    "share/icons/hicolor/scalable/apps/[^/]+\\.svg",
    "share/icons/hicolor/48x48/apps/[^/]+\\.png",
    "share/icons/hicolor/128x128/apps/[^/]+\\.png",
    "share/icons/hicolor/256x256/apps/[^/]+\\.png",
    "share/doc/tonewright/index\\.html",
    "share/man/man1/tonewright\\.1\\.gz",
    "share/man/man1/twr-convert\\.1\\.gz",
};

// For each expected file, the listed paths it matches.
QList<QStringList> matchesOf(const QStringList &paths)
{
    QList<QStringList> out;
    for (const QString &pattern : InstalledFiles) {
        const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
        QStringList hits;
        for (const QString &p : paths)
            if (re.match(p).hasMatch())
                hits << p;
        out << hits;
    }
    return out;
}

// "Key=value" lines of a desktop entry's main group.
QMap<QString, QString> desktopEntry(const QString &path)
{
    QMap<QString, QString> keys;
    for (const QByteArray &line : TestEnv::readFile(path).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && !line.startsWith('#'))
            keys.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return keys;
}

int run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    return TestEnv::run(program, arguments, output, 300000);
}

bool runningAsRootInCi()
{
    return ::geteuid() == 0 && qEnvironmentVariable("CI") == QLatin1String("true");
}

} // namespace

class tst_Install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const QString staged = m_root.filePath("staged");
        QByteArray log;
        QCOMPARE(run(qEnvironmentVariable("TWR_CMAKE"),
                     {"--install", TestEnv::buildDir(), "--prefix", staged}, &log),
                 0);
        // Relocatable: the tree works wherever it is moved to.
        m_prefix = m_root.filePath("moved elsewhere");
        QVERIFY(QDir().rename(staged, m_prefix));
        QDirIterator it(m_prefix, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            m_files << QDir(m_prefix).relativeFilePath(it.next());
        m_files.sort();
    }

    void installsEveryFileOnce()
    {
        const QList<QStringList> hits = matchesOf(m_files);
        for (qsizetype i = 0; i < hits.size(); ++i)
            QVERIFY2(hits[i].size() == 1,
                     qPrintable(InstalledFiles[i] + ": " + hits[i].join(", ")));
        QCOMPARE(m_files.size(), InstalledFiles.size());
    }

    void desktopEntryOpensAudioFiles()
    {
        const QStringList entries =
            QDir(m_prefix + "/share/applications").entryList({"*.desktop"}, QDir::Files);
        QCOMPARE(entries.size(), 1);
        const QString id = entries[0].chopped(8);
        const QMap<QString, QString> entry =
            desktopEntry(m_prefix + "/share/applications/" + entries[0]);
        QCOMPARE(entry.value("Exec"), QStringLiteral("tonewright %F"));
        QCOMPARE(entry.value("Icon"), id);
        const QStringList types = entry.value("MimeType").split(';', Qt::SkipEmptyParts);
        for (const char *type : {"audio/mpeg", "audio/x-wav", "audio/ogg", "audio/x-ms-wma"})
            QVERIFY2(types.contains(type), type);
        // The icon, the metainfo and the entry carry one name.
        for (const QString &size : {"scalable/apps/" + id + ".svg", "48x48/apps/" + id + ".png"})
            QVERIFY2(QFile::exists(m_prefix + "/share/icons/hicolor/" + size), qPrintable(size));
        QVERIFY(TestEnv::readFile(m_prefix + "/share/metainfo/" + id + ".metainfo.xml")
                    .contains("<launchable type=\"desktop-id\">" + id.toUtf8() + ".desktop<"));
    }

    void validatorsAccept_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("folder");
        QTest::newRow("desktop entry")
            << "desktop-file-validate" << QStringList{} << "share/applications";
        QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--no-net"}
                                  << "share/metainfo";
    }

    void validatorsAccept()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        QFETCH(QString, folder);
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP("the validator is not installed (scripts/install-deps.sh installs it)");
        const QFileInfoList files = QDir(m_prefix + '/' + folder).entryInfoList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QByteArray output;
        const int status = run(tool, arguments << files[0].filePath(), &output);
        QVERIFY2(status == 0, output.constData());
        if (tool == "desktop-file-validate") // it prints nothing when all is well
            QVERIFY2(output.trimmed().isEmpty(), output.constData());
    }

    void installedConverterRuns()
    {
        QTemporaryDir work;
        TestConfigDir config;
        const QString wav = AudioFixtures::make(work.path(), "tone.wav", 1);
        QVERIFY(!wav.isEmpty());
        const QString program = m_prefix + "/bin/twr-convert";
        QCOMPARE(run(program, {"--version"}), 0);
        QByteArray output;
        QCOMPARE(
            run(program, {"--format", "ogg", "--output-dir", work.filePath("out"), wav}, &output),
            0);
        QCOMPARE(AudioFixtures::probe(work.filePath("out/tone.ogg")).value("codec_name").toString(),
                 QStringLiteral("vorbis"));
    }

    void installedWindowShowsAndCloses()
    {
        TestConfigDir config;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_DEBUG", "files"); // the loader names every library it maps
        program.setProcessEnvironment(env);
        program.start(m_prefix + "/bin/tonewright", {});
        QVERIFY(program.waitForStarted());

        // The running instance takes files from later starts once its window is shown.
        const QString socket = InstanceLock(config.path()).socketPath();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket) || program.state() != QProcess::Running,
                                 30000);
        QCOMPARE(program.state(), QProcess::Running);
        QVERIFY(!QFile::exists(config.file("1.skn"))); // written, read and deleted

        program.terminate(); // the session ending: the window closes the normal way
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QFile::exists(socket));

        const QString loaded = QString::fromLocal8Bit(program.readAllStandardError());
        const QRegularExpression skinLibrary(
            "file=" + QRegularExpression::escape(m_prefix) +
            "/\\S+/libtwrLib\\.so \\[0\\];\\s+generating link map");
        QVERIFY2(skinLibrary.match(loaded).hasMatch(), "the skin library was not loaded");
    }

    void installedProgramFindsItsGuide()
    {
        const QString guide = Paths::userGuide(m_prefix + "/bin");
        QVERIFY2(QFileInfo(guide).isFile(), qPrintable(guide));
        QCOMPARE(TestEnv::readFile(guide),
                 TestEnv::readFile(TestEnv::sourceDir() + "/resources/help/index.html"));
    }

    void packageHoldsEveryFile()
    {
        QByteArray output;
        QCOMPARE(run(qEnvironmentVariable("TWR_CPACK"),
                     {"--config", TestEnv::buildDir() + "/CPackConfig.cmake", "-G", "DEB", "-B",
                      m_root.filePath("package")},
                     &output),
                 0);
        const QStringList debs = QDir(m_root.filePath("package")).entryList({"*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = m_root.filePath("package/" + debs[0]);

        QCOMPARE(run("dpkg-deb", {"--contents", m_deb}, &output), 0);
        m_packaged.clear();
        for (const QByteArray &line : output.split('\n')) {
            const QString path = QString::fromUtf8(line).section(' ', -1);
            if (line.startsWith('-') && path.startsWith("./usr/"))
                m_packaged << path.mid(int(strlen("./usr/")));
        }
        const QList<QStringList> hits = matchesOf(m_packaged);
        for (qsizetype i = 0; i < hits.size(); ++i)
            QVERIFY2(hits[i].size() == 1,
                     qPrintable(InstalledFiles[i] + " in " + m_packaged.join(", ")));
        QCOMPARE(m_packaged.size(), InstalledFiles.size());

        // Dependencies computed from what the programs link.
        QCOMPARE(run("dpkg-deb", {"--field", m_deb, "Depends"}, &output), 0);
        for (const char *library : {"libqt6widgets6", "libmp3lame0", "libtag1v5", "libsdl2-2.0-0"})
            QVERIFY2(output.contains(library), output.constData());
    }

    void packageInstallsAndRemoves()
    {
        if (!runningAsRootInCi())
            QSKIP("installs system-wide: only as root in CI (CI=true)");
        QVERIFY(!m_deb.isEmpty());
        QByteArray output;
        if (run("dpkg-query", {"-W", "-f=${Status}", "tonewright"}, &output) == 0 &&
            output.contains("installed"))
            QSKIP("a tonewright package is installed already; the test would replace it");

        struct Removal
        {
            ~Removal() { TestEnv::run("dpkg", {"--purge", "tonewright"}, nullptr, 300000); }
        } removal;
        QVERIFY2(run("dpkg", {"-i", m_deb}, &output) == 0, output.constData());
        for (const QString &file : std::as_const(m_packaged))
            QVERIFY2(QFile::exists("/usr/" + file), qPrintable(file));
        QCOMPARE(run("/usr/bin/twr-convert", {"--version"}), 0);
        // The desktop's handler database now offers it for MP3 files.
        const QString entry = QFileInfo(packaged(".desktop")).fileName();
        if (QFile::exists("/usr/bin/update-desktop-database")) {
            const QByteArray cache = TestEnv::readFile("/usr/share/applications/mimeinfo.cache");
            QVERIFY2(QRegularExpression("\\naudio/mpeg=[^\\n]*" + QRegularExpression::escape(entry))
                         .match(QString::fromUtf8(cache))
                         .hasMatch(),
                     cache.constData());
        }

        QVERIFY2(run("dpkg", {"--purge", "tonewright"}, &output) == 0, output.constData());
        for (const QString &file : std::as_const(m_packaged))
            QVERIFY2(!QFile::exists("/usr/" + file), qPrintable(file));
        QVERIFY(!QDir(QFileInfo("/usr/" + packaged("libtwrLib.so")).path()).exists());
        QVERIFY(run("dpkg-query", {"-W", "tonewright"}) != 0); // no trace left in dpkg
    }

private:
    // The packaged file whose name ends with `ending`.
    QString packaged(const QString &ending) const
    {
        for (const QString &file : m_packaged)
            if (file.endsWith(ending))
                return file;
        return {};
    }

    QTemporaryDir m_root;
    QString m_prefix;
    QStringList m_files;
    QString m_deb;
    QStringList m_packaged;
};

QTEST_MAIN(tst_Install)
#include "tst_install.moc"
