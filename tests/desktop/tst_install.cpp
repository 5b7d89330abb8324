// The install, moved elsewhere and run from there, its desktop metadata validated, and the
// Debian package built (as root also installed into a root of its own and removed again).
#include "platform/instancelock.h"
#include "platform/paths.h"

#include "tests/support/testenv.h"

#include <QtTest>
#include <QtWidgets>

#include <unistd.h>

namespace {

// Every file an installation holds, relative to its prefix, as blank-separated patterns. The
// private library folder follows the system's library folder name.
const QStringList InstalledFiles =
    QStringLiteral(
        "bin/tonewright bin/twr-convert lib(/[^/]+)?/tonewright/libtwrLib\\.so "
        "share/applications/[^/]+\\.desktop share/metainfo/[^/]+\\.metainfo\\.xml "
        "share/icons/hicolor/scalable/apps/[^/]+\\.svg share/icons/hicolor/48x48/apps/[^/]+\\.png "
        "share/icons/hicolor/128x128/apps/[^/]+\\.png share/icons/hicolor/256x256/apps/[^/]+\\.png "
        "share/doc/tonewright/index\\.html share/man/man1/tonewright\\.1\\.gz "
        "share/man/man1/twr-convert\\.1\\.gz")
        .split(u' ');

// "" when `paths` holds each expected file exactly once and nothing else; else what is wrong.
QString everyFileOnce(const QStringList &paths)
{
    for (const QString &pattern : InstalledFiles) {
        const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
        if (paths.filter(re).size() != 1)
            return pattern + " in " + paths.join(", ");
    }
    return paths.size() == InstalledFiles.size() ? QString() : paths.join(", ");
}

int run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    return TestEnv::run(program, arguments, output, 300000);
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
        QCOMPARE(run(qEnvironmentVariable("TWR_CMAKE"),
                     {"--install", TestEnv::buildDir(), "--prefix", staged}),
                 0);
        // Relocatable: the tree works wherever it is moved to.
        m_prefix = m_root.filePath("moved elsewhere");
        QVERIFY(QDir().rename(staged, m_prefix));
        QDirIterator it(m_prefix, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            m_files << QDir(m_prefix).relativeFilePath(it.next());
        const QString wrong = everyFileOnce(m_files);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void desktopMetadata()
    {
        const QString entryFile = m_files.filter(".desktop").value(0);
        const QString id = QFileInfo(entryFile).completeBaseName();
        const QString entry = QString::fromUtf8(TestEnv::readFile(m_prefix + '/' + entryFile));
        QVERIFY(entry.contains("\nExec=tonewright %F\n"));
        // The entry and its icon carry one name.
        QVERIFY(m_files.contains("share/icons/hicolor/scalable/apps/" + id + ".svg"));
        QVERIFY(entry.contains("\nIcon=" + id + '\n'));
        const QString types = entry.section("\nMimeType=", 1).section('\n', 0, 0);
        for (const char *type :
             {"audio/mpeg;", "audio/x-wav;", "audio/ogg;", "audio/x-ms-wma;", "inode/directory;"})
            QVERIFY2(types.contains(type), type);

        const QList<QStringList> validators{{"desktop-file-validate", m_prefix + '/' + entryFile},
                                            {"appstreamcli", "validate", "--no-net",
                                             m_prefix + "/share/metainfo/" + id + ".metainfo.xml"}};
        for (const QStringList &command : validators) {
            if (QStandardPaths::findExecutable(command[0]).isEmpty())
                QSKIP("a validator is missing (scripts/install-deps.sh installs them)");
            QByteArray output;
            QVERIFY2(run(command[0], command.mid(1), &output) == 0, output.constData());
            // desktop-file-validate prints nothing when all is well, hints included.
            QVERIFY2(command[0] != "desktop-file-validate" || output.trimmed().isEmpty(),
                     output.constData());
        }
    }

    // Both programs start from the moved tree; the window finds the skin library and the guide
    // there. (What the converter writes is checked on the build tree's copy.)
    void installedProgramsRun()
    {
        QCOMPARE(run(m_prefix + "/bin/twr-convert", {"--version"}), 0);
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

        program.terminate(); // as when the session ends: the window closes the normal way
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QFile::exists(socket));
        const QRegularExpression skinLibrary(
            "file=" + QRegularExpression::escape(m_prefix) +
            "/\\S+/libtwrLib\\.so \\[0\\];\\s+generating link map");
        QVERIFY(
            skinLibrary.match(QString::fromLocal8Bit(program.readAllStandardError())).hasMatch());

        const QString guide = Paths::userGuide(m_prefix + "/bin");
        QCOMPARE(TestEnv::readFile(guide),
                 TestEnv::readFile(TestEnv::sourceDir() + "/resources/help/index.html"));
    }

    void packageHoldsEveryFile()
    {
        QCOMPARE(run(qEnvironmentVariable("TWR_CPACK"),
                     {"--config", TestEnv::buildDir() + "/CPackConfig.cmake", "-G", "DEB", "-B",
                      m_root.filePath("package")}),
                 0);
        const QStringList debs = QDir(m_root.filePath("package")).entryList({"*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = m_root.filePath("package/" + debs[0]);

        QByteArray output;
        QCOMPARE(run("dpkg-deb", {"--contents", m_deb}, &output), 0);
        for (const QByteArray &line : output.split('\n')) {
            const QString path = QString::fromUtf8(line).section(' ', -1);
            if (line.startsWith('-') && path.startsWith("./usr/"))
                m_packaged << path.mid(6);
        }
        const QString wrong = everyFileOnce(m_packaged);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));

        // Dependencies computed from what the programs link.
        QCOMPARE(run("dpkg-deb", {"--field", m_deb, "Depends"}, &output), 0);
        for (const char *library : {"libqt6widgets6", "libmp3lame0", "libtag1v5", "libsdl2-2.0-0"})
            QVERIFY2(output.contains(library), output.constData());
    }

    // Installed by dpkg into a root of its own, so the machine's packages are never touched;
    // the maintainer scripts run outside it (they only refresh the loader's cache).
    void packageInstallsAndRemoves()
    {
        if (::geteuid() != 0)
            QSKIP("dpkg runs the package's ldconfig, which needs root (CI runs as root)");
        QVERIFY(!m_deb.isEmpty());
        const QString root = m_root.filePath("dpkg-root");
        QVERIFY(QDir().mkpath(root + "/var/lib/dpkg/info") &&
                QDir().mkpath(root + "/var/lib/dpkg/updates"));
        TestEnv::writeFile(root + "/var/lib/dpkg/status", "");
        const QStringList dpkg{"--root=" + root, "--force-script-chrootless", "--force-depends"};

        QByteArray output;
        QVERIFY2(run("dpkg", dpkg + QStringList{"-i", m_deb}, &output) == 0, output.constData());
        for (const QString &file : std::as_const(m_packaged))
            QVERIFY2(QFile::exists(root + "/usr/" + file), qPrintable(file));
        QCOMPARE(run(root + "/usr/bin/twr-convert", {"--version"}), 0);

        QVERIFY2(run("dpkg", dpkg + QStringList{"--purge", "tonewright"}, &output) == 0,
                 output.constData());
        QVERIFY(!QDir(root + "/usr").exists());
    }

private:
    QTemporaryDir m_root;
    QString m_prefix;
    QStringList m_files;
    QString m_deb;
    QStringList m_packaged;
};

QTEST_MAIN(tst_Install)
#include "tst_install.moc"
