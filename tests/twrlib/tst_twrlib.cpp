// The skin resource library as the program sees it: the built library loaded at run time from
// the build's bin folder, LoadSkin called. Without the library every case fails.
#include "tests/support/testenv.h"
#include "ui/skin/skinlibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Instrumented = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Instrumented = true;
#else
constexpr bool Instrumented = false;
#endif
#else
constexpr bool Instrumented = false;
#endif

namespace {

QByteArray skinSource()
{
    return TestEnv::readFile(TestEnv::sourceDir() + QStringLiteral("/resources/skin/media.skn"));
}

QString libraryPath()
{
    return TestEnv::binDir() + QStringLiteral("/libtwrLib.so");
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestTwrLib : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        QVERIFY(m_library.fileName().startsWith(TestEnv::binDir()));
        QVERIFY(!skinSource().isEmpty());
    }

    void writesExactBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("as the program asks") << QStringLiteral("Media.skn");
        QTest::newRow("upper case") << QStringLiteral("MEDIA.SKN");
        QTest::newRow("lower case") << QStringLiteral("media.skn");
    }
    void writesExactBytes()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("1.skn"));
        // Longer than the skin, so a write that does not truncate would leave a tail.
        TestEnv::writeFile(path, QByteArray(skinSource().size() * 2, 'x'));
        QCOMPARE(m_library.LoadSkin(path, name), 1);
        QCOMPARE(TestEnv::readFile(path), skinSource());
        QCOMPARE(m_library.LoadSkin(path, name), 1);
        QCOMPARE(TestEnv::readFile(path), skinSource());
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("1.skn")});
    }

    // Unknown names give 0; so do targets that cannot be written (rather than claiming
    // success): nothing is created and what was there stays.
    void writesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        const auto row = [](const char *tag, const char *name, const char *target) {
            QTest::newRow(tag) << QString(name) << QString(target);
        };
        row("other name", "Other.skn", "1.skn");
        row("prefix", "Media.sk", "1.skn");
        row("longer", "Media.skn2", "1.skn");
        row("empty name", "", "1.skn");
        row("missing folder", "Media.skn", "missing/1.skn");
        row("a folder in the way", "Media.skn", "folder");
    }
    void writesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder")));
        TestEnv::writeFile(dir.filePath(QStringLiteral("folder/keep")), "kept");
        QCOMPARE(m_library.LoadSkin(dir.filePath(target), name), 0);
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("folder")});
        QCOMPARE(entries(dir.filePath(QStringLiteral("folder"))), QStringList{"keep"});
    }

    void exportsOnlyLoadSkinAndNeedsOnlyTheCLibrary()
    {
        QByteArray symbols;
        QCOMPARE(TestEnv::run("nm", {"-D", "--defined-only", libraryPath()}, &symbols), 0);
        QStringList names;
        for (const QByteArray &line : symbols.split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 3)
                names.append(QString::fromLatin1(fields.last()));
        }
        QCOMPARE(names, QStringList{QStringLiteral("LoadSkin")});

        QByteArray dynamic;
        QCOMPARE(TestEnv::run("readelf", {"-d", libraryPath()}, &dynamic), 0);
        QStringList needed;
        for (const QByteArray &line : dynamic.split('\n')) {
            if (line.contains("(NEEDED)"))
                needed.append(QString::fromLatin1(line.mid(line.indexOf('[') + 1).chopped(1)));
        }
        if (Instrumented) {
            // A sanitizer build links its runtimes into every library; nothing else may come.
            needed.removeIf([](const QString &n) {
                return n.startsWith(QLatin1String("libasan.")) ||
                       n.startsWith(QLatin1String("libubsan."));
            });
        }
        QCOMPARE(needed, QStringList{QStringLiteral("libc.so.6")});
    }

    void loaderFindsLibraryInLibFolder()
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
        QCOMPARE(TestEnv::readFile(path), skinSource());
    }

    void loaderWithoutLibraryReportsFailure()
    {
        QTemporaryDir empty;
        SkinLibrary library({empty.path(), QString()});
        QVERIFY(!library.load());
        QVERIFY(!library.errorString().isEmpty());
        QCOMPARE(library.LoadSkin(empty.filePath(QStringLiteral("1.skn"))), 0);
        QCOMPARE(entries(empty.path()), QStringList());
    }

private:
    TestConfigDir m_config;
    SkinLibrary m_library{QStringList{TestEnv::binDir()}};
};

QTEST_GUILESS_MAIN(TestTwrLib)
#include "tst_twrlib.moc"
