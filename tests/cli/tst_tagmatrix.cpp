// The whole tag through a conversion, as an independent reader (mutagen) sees it: sources
// tagged by mutagen in every source format, converted by twr-convert into every output
// format, read back by tagmatrix.py.
#include "tests/support/testenv.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList Formats{"mp3", "wma", "ogg", "wav", "flac", "opus", "m4a"};

// The system's Python, which Debian's mutagen installs into.
int matrix(const QStringList &arguments, QByteArray *output)
{
    return TestEnv::run("/usr/bin/python3",
                        QStringList{TestEnv::sourceDir() + "/tests/cli/tagmatrix.py"} + arguments,
                        output);
}

// Every source converted into `format` under `out`; twr-convert's report.
QByteArray convert(const QStringList &sources, const QString &format, const QString &out,
                   const QStringList &extra = {})
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QDir(TestEnv::binDir()).filePath("twr-convert"),
            QStringList{"--format", format, "--output-dir", out, "--overwrite"} + extra + sources);
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qWarning().noquote() << p.readAll();
    return p.exitCode() == 0 ? p.readAll() : QByteArray();
}

} // namespace

class TagMatrixTest : public QObject
{
    Q_OBJECT

private slots:
    void everySourceIntoEveryOutput();
};

void TagMatrixTest::everySourceIntoEveryOutput()
{
    TestConfigDir config;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString src = dir.filePath("src");
    QVERIFY(QDir().mkpath(src));
    QByteArray report;
    QVERIFY2(matrix({"make", src}, &report) == 0, report.constData());
    QStringList sources;
    for (const QString &name : QDir(src).entryList(QDir::Files))
        sources << QDir(src).filePath(name);
    QCOMPARE(sources.size(), 8);

    QStringList outs;
    for (const QString &format : Formats) {
        outs << dir.filePath("with/" + format);
        const QByteArray log = convert(sources, format, outs.last());
        QVERIFY2(!log.isEmpty(), qPrintable(format));
        // M4A keeps the images only; the back cover's type is reported, once per file.
        const qsizetype warned = log.count("the picture types and descriptions could not be kept");
        QCOMPARE(warned, format == "m4a" ? 7 : 0);
        // The three ID3-tagged sources' private frame has no place outside an ID3 tag.
        QCOMPARE(log.count("the fields PRIV could not be kept"),
                 format == "mp3" || format == "wav" ? 0 : 3);
        if (format == "opus")
            QCOMPARE(log.count("the ReplayGain peaks could not be kept"), 7);
    }
    QVERIFY2(matrix(QStringList{"check", src} + outs, &report) == 0, report.constData());

    // Without pictures (an option --help names): none arrive, and the audio is what it was
    // with them.
    QByteArray help;
    QCOMPARE(TestEnv::run(QDir(TestEnv::binDir()).filePath("twr-convert"), {"--help"}, &help), 0);
    QVERIFY(help.contains("--no-pictures"));
    for (const QString &format : Formats)
        QVERIFY(!convert(sources, format, dir.filePath("without"), {"--no-pictures"}).isEmpty());
    QVERIFY2(matrix({"bare", dir.filePath("with"), dir.filePath("without")}, &report) == 0,
             report.constData());
}

QTEST_GUILESS_MAIN(TagMatrixTest)
#include "tst_tagmatrix.moc"
