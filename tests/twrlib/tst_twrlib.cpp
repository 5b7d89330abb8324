// The skin resource library as the program sees it: loaded at run time, LoadSkin called.
#include "ui/skin/skinlibrary.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray skinSource()
{
    QFile file(TestEnv::sourceDir() + QStringLiteral("/resources/skin/media.skn"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString libraryPath()
{
    return TestEnv::binDir() + QStringLiteral("/libtwrLib.so");
}

} // namespace

class TestTwrLib : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writesExactBytes_data();
    void writesExactBytes();
    void unknownNameWritesNothing_data();
    void unknownNameWritesNothing();
    void missingFolderCreatesNothing();
    void secondCallReplacesFile();
    void unwritableTargetKeepsWhatWasThere();
    void exportsOnlyLoadSkinAndNeedsOnlyTheCLibrary();
    void loaderFindsLibraryInLibFolder();
    void loaderWithoutLibraryReportsFailure();

private:
    TestConfigDir m_config;
    SkinLibrary m_library{QStringList{TestEnv::binDir()}};
    QTemporaryDir m_dir;
};

void TestTwrLib::initTestCase()
{
    QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
    QVERIFY(!skinSource().isEmpty());
    QVERIFY(m_dir.isValid());
}

void TestTwrLib::writesExactBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("as the program asks") << QStringLiteral("Media.skn");
    QTest::newRow("upper case") << QStringLiteral("MEDIA.SKN");
    QTest::newRow("lower case") << QStringLiteral("media.skn");
}

void TestTwrLib::writesExactBytes()
{
    QFETCH(QString, name);
    const QString path =
        m_dir.filePath(QStringLiteral("exact-%1.skn").arg(QTest::currentDataTag()));
    QCOMPARE(m_library.LoadSkin(path, name), 1);
    QCOMPARE(contents(path), skinSource());
    QCOMPARE(QFile(path).permissions() & QFile::ReadOwner, QFile::ReadOwner);
}

void TestTwrLib::unknownNameWritesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("other name") << QStringLiteral("Other.skn");
    QTest::newRow("prefix") << QStringLiteral("Media.sk");
    QTest::newRow("longer") << QStringLiteral("Media.skn2");
    QTest::newRow("empty") << QString();
}

void TestTwrLib::unknownNameWritesNothing()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("1.skn"));
    QCOMPARE(m_library.LoadSkin(path, name), 0);
    QVERIFY(QDir(dir.path()).isEmpty());
}

// Nothing can be written there, so the result says so (0) rather than claiming success.
void TestTwrLib::missingFolderCreatesNothing()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing"));
    QCOMPARE(m_library.LoadSkin(missing + QStringLiteral("/1.skn")), 0);
    QVERIFY(!QFileInfo::exists(missing));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestTwrLib::secondCallReplacesFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("1.skn"));
    {
        // Longer than the skin, so a write that does not truncate would leave a tail.
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(skinSource().size() * 2, 'x'));
    }
    QCOMPARE(m_library.LoadSkin(path), 1);
    QCOMPARE(contents(path), skinSource());
    QCOMPARE(m_library.LoadSkin(path), 1);
    QCOMPARE(contents(path), skinSource());
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("1.skn")});
}

void TestTwrLib::unwritableTargetKeepsWhatWasThere()
{
    QTemporaryDir dir;
    // A folder under the target name cannot be replaced by a file, whoever runs the test.
    const QString path = dir.filePath(QStringLiteral("1.skn"));
    QVERIFY(QDir().mkdir(path));
    QVERIFY(QFile::copy(QFINDTESTDATA("tst_twrlib.cpp"), path + QStringLiteral("/keep")));
    QCOMPARE(m_library.LoadSkin(path), 0);
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QFileInfo::exists(path + QStringLiteral("/keep")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("1.skn")});
}

void TestTwrLib::exportsOnlyLoadSkinAndNeedsOnlyTheCLibrary()
{
    QByteArray symbols;
    QCOMPARE(TestEnv::run(QStringLiteral("nm"),
                          {QStringLiteral("-D"), QStringLiteral("--defined-only"), libraryPath()},
                          &symbols),
             0);
    QStringList names;
    for (const QByteArray &line : symbols.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 3)
            names.append(QString::fromLatin1(fields.last()));
    }
    QCOMPARE(names, QStringList{QStringLiteral("LoadSkin")});

    QByteArray dynamic;
    QCOMPARE(
        TestEnv::run(QStringLiteral("readelf"), {QStringLiteral("-d"), libraryPath()}, &dynamic),
        0);
    QStringList needed;
    for (const QByteArray &line : dynamic.split('\n')) {
        if (line.contains("(NEEDED)"))
            needed.append(QString::fromLatin1(line.mid(line.indexOf('[') + 1).chopped(1)));
    }
    QCOMPARE(needed, QStringList{QStringLiteral("libc.so.6")});
}

void TestTwrLib::loaderFindsLibraryInLibFolder()
{
    // An installed layout: the program in bin/, the library in lib/.
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("lib")));
    QVERIFY(QFile::copy(libraryPath(), root.filePath(QStringLiteral("lib/libtwrLib.so"))));
    SkinLibrary library({root.filePath(QStringLiteral("bin")),
                         QDir::cleanPath(root.filePath(QStringLiteral("bin/../lib")))});
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    QVERIFY(library.fileName().startsWith(root.path()));
    const QString path = root.filePath(QStringLiteral("1.skn"));
    QCOMPARE(library.LoadSkin(path), 1);
    QCOMPARE(contents(path), skinSource());
}

void TestTwrLib::loaderWithoutLibraryReportsFailure()
{
    QTemporaryDir empty;
    SkinLibrary library({empty.path(), QString()});
    QVERIFY(!library.load());
    QVERIFY(!library.isLoaded());
    QVERIFY(!library.errorString().isEmpty());
    const QString path = empty.filePath(QStringLiteral("1.skn"));
    QCOMPARE(library.LoadSkin(path), 0);
    QVERIFY(!QFileInfo::exists(path));

    // The default folders are the program's own and its library folder.
    const QStringList folders = SkinLibrary::defaultFolders();
    QCOMPARE(folders.size(), 2);
    QCOMPARE(folders.last(), QDir::cleanPath(folders.first() + QStringLiteral("/../lib")));
}

QTEST_GUILESS_MAIN(TestTwrLib)
#include "tst_twrlib.moc"
