// twr-convert on whole folders and file lists: --recursive, the kept structure, --flat,
// --files-from with find -print0, and GNU parallel running it over slices of a list.
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// `script` run by bash in `dir`, with $TWR naming twr-convert.
Ran shell(const QString &dir, const QString &script)
{
    const QString line = QStringLiteral("cd '%1' && TWR='%2' && %3");
    return TestEnv::runApart(
        "bash", {"-euo", "pipefail", "-c", line.arg(dir, TestEnv::twrConvert(), script)});
}

// Every file below `dir`, relative to it, sorted.
QStringList tree(const QString &dir)
{
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(dir).relativeFilePath(it.next());
    found.sort();
    return found;
}

QStringList withSuffix(QStringList paths, const QString &suffix)
{
    for (QString &path : paths)
        path = path.left(path.lastIndexOf('.')) + suffix;
    return paths;
}

} // namespace

class TestCliFolders : public QObject
{
    Q_OBJECT

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_lib;
    QStringList m_tracks;

private slots:
    void initTestCase()
    {
        m_lib = m_dir.filePath("Music");
        m_tracks = Fixture::library(m_lib);
        QVERIFY(!m_tracks.isEmpty());
    }

    void folderNeedsRecursive()
    {
        const Ran r = shell(m_dir.path(), "$TWR --format wav --output-dir out Music");
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err, QString("twr-convert: Music is a folder; use --recursive\n"));
        QVERIFY(!QFileInfo::exists(m_dir.filePath("out")));
    }

    // Equal track names in two albums land in their own album folders.
    void structureIsKept_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("below"); // the folder of the outputs' tree
        QTest::newRow("--recursive") << "$TWR --format mp3 --output-dir out -r Music"
                                     << "out";
        // The list's relative paths keep their folders as written.
        QTest::newRow("--files-from - --null")
            << "find Music -path '*/.*' -prune -o -type f ! -name '*.jpg' -print0 | "
               "$TWR --format mp3 --output-dir out --files-from - --null"
            << "out/Music";
        QTest::newRow("--files-from FILE")
            << "cd Music && find . -name '*.flac' -o -name '*.wav' -o -name '*.ogg' | "
               "grep -v '/\\.' > ../list && "
               "$TWR --format mp3 --output-dir ../out --keep-structure --files-from ../list"
            << "out";
    }
    void structureIsKept()
    {
        QFETCH(QString, script);
        QFETCH(QString, below);
        QDir(m_dir.filePath("out")).removeRecursively();
        const Ran r = shell(m_dir.path(), script);
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        const QString out = m_dir.filePath(below);
        QCOMPARE(tree(out), withSuffix(m_tracks, ".mp3"));
        for (const QString &file : tree(out))
            QCOMPARE(Fixture::audioStream(QDir(out).filePath(file))["codec_name"].toString(),
                     QString("mp3"));
    }

    // Flat, the second "01 Intro" would replace the first: it fails and the first stays.
    void flatRefusesTheSecondOfEqualNames()
    {
        QTemporaryDir out;
        const Ran r = shell(m_dir.path(),
                            "$TWR --format wav --flat -r --output-dir " + out.path() + " Music");
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out.count("FAILED"), 1);
        QVERIFY2(r.out.contains("Artist B/Album 2/01 Intro.flac: "), qPrintable(r.out));
        QCOMPARE(tree(out.path()), (QStringList{"01 Intro.wav", "02 Song.wav", "03 End.wav"}));
    }

    // The README's recipe for several machines, with two local "hosts": every slice of the
    // list lands in the one tree.
    void parallelOverSlicesOfTheList()
    {
        if (QStandardPaths::findExecutable("parallel").isEmpty())
            QFAIL("GNU parallel is missing: run scripts/install-deps.sh");
        QDir(m_dir.filePath("out")).removeRecursively();
        const Ran r = shell(
            m_dir.filePath("Music"),
            "find . -path '*/.*' -prune -o -type f \\( -iname '*.flac' -o -iname '*.wav' -o "
            "-iname '*.ogg' \\) -print0 | parallel --pipe --null --recend '\\0' -N 1 -S 2/:,2/: "
            "--will-cite \"cd '$PWD' && $TWR --format ogg --keep-structure --output-dir ../out "
            "--files-from - --null --jobs 1\"");
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        QCOMPARE(tree(m_dir.filePath("out")), withSuffix(m_tracks, ".ogg"));
    }
};

QTEST_GUILESS_MAIN(TestCliFolders)
#include "tst_clifolders.moc"
