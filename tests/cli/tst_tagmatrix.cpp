// The whole tag through a conversion, as an independent reader (mutagen) sees it: sources
// tagged by mutagen in every source format, converted by twr-convert into every output
// format, read back by tests/support/tagmatrix.py.
#include "tests/support/testenv.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList Formats{"mp3", "wma", "ogg", "wav", "flac", "opus", "m4a"};

// Every source converted into `format` under `out`; twr-convert's report ("" when it failed).
QString convert(const QStringList &sources, const QString &format, const QString &out,
                const QStringList &extra = {})
{
    const Ran r = TestEnv::twrConvert(
        QStringList{"--format", format, "--output-dir", out, "--overwrite"} + extra + sources);
    if (r.exitCode != 0)
        qWarning().noquote() << r.out << r.err;
    return r.exitCode == 0 ? r.out + r.err : QString();
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
    QVERIFY2(TestEnv::tagMatrix({"make", src}, &report) == 0, report.constData());
    QStringList sources;
    for (const QString &name : QDir(src).entryList(QDir::Files))
        sources << QDir(src).filePath(name);
    QCOMPARE(sources.size(), 8);

    QStringList outs;
    for (const QString &format : Formats) {
        outs << dir.filePath("with/" + format);
        const QString log = convert(sources, format, outs.last());
        QVERIFY2(!log.isEmpty(), qPrintable(format));
        // M4A keeps the images only; the back cover's type is reported, once per file.
        QCOMPARE(log.count("the picture types and descriptions could not be kept"),
                 format == "m4a" ? 7 : 0);
        // The three ID3-tagged sources' private frame has no place outside an ID3 tag.
        QCOMPARE(log.count("the fields PRIV could not be kept"),
                 format == "mp3" || format == "wav" ? 0 : 3);
        QCOMPARE(log.count("the ReplayGain peaks could not be kept"), format == "opus" ? 7 : 0);
    }
    QVERIFY2(TestEnv::tagMatrix(QStringList{"check", src} + outs, &report) == 0,
             report.constData());

    // Without pictures (an option --help names): none arrive, and the audio is what it was
    // with them.
    QVERIFY(TestEnv::twrConvert({"--help"}).out.contains("--no-pictures"));
    for (const QString &format : Formats)
        QVERIFY(!convert(sources, format, dir.filePath("without"), {"--no-pictures"}).isEmpty());
    QVERIFY2(TestEnv::tagMatrix({"bare", dir.filePath("with"), dir.filePath("without")}, &report) ==
                 0,
             report.constData());
}

QTEST_GUILESS_MAIN(TagMatrixTest)
#include "tst_tagmatrix.moc"
