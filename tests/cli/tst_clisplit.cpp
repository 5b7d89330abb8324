// Long files on several cores through twr-convert: which files are split and what turns it
// off. Whether a joined stream is right is the codecs' own tests' business; here a split
// shows as an output that differs from one instance's while decoding to the same length.
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Chords over pink noise, `seconds` long.
QString music(const QString &dir, const QString &name, int seconds)
{
    const QString d = QString::number(seconds);
    return Fixture::make(dir, name,
                         {"-f", "lavfi", "-i", "anoisesrc=c=pink:r=44100:a=0.2:d=" + d, "-f",
                          "lavfi", "-i", "sine=f=196:r=44100:d=" + d, "-f", "lavfi", "-i",
                          "sine=f=247:r=44100:d=" + d, "-filter_complex", "[0][1][2]amix=inputs=3",
                          "-ac", "2", "-c:a", "pcm_s16le"});
}

} // namespace

class tst_CliSplit : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_long;
    QString m_short;

    // The output of `source` in one run of twr-convert with `args` (and `before` converted
    // first), read whole.
    QByteArray convert(const QString &source, const QString &format, const QStringList &args,
                       const QStringList &before = {})
    {
        const QString out = m_dir.filePath("out");
        const QString output =
            QDir(out).filePath(QFileInfo(source).completeBaseName() + "." + format);
        QFile::remove(output);
        QByteArray log;
        const int code =
            TestEnv::run(TestEnv::twrConvert(),
                         QStringList{"--format", format, "--output-dir", out, "--overwrite"} +
                             args + before + QStringList{source},
                         &log);
        if (code != 0)
            qWarning().noquote() << log;
        return code == 0 ? TestEnv::readFile(output) : QByteArray();
    }

    static qint64 decodedFrames(const QByteArray &file)
    {
        QTemporaryDir dir;
        TestEnv::writeFile(dir.filePath("x.mp3"), file);
        return Fixture::decode(dir.filePath("x.mp3")).size() / 8;
    }

private slots:
    void initTestCase()
    {
        qputenv("TONEWRIGHT_CONFIG_DIR", QFile::encodeName(m_dir.filePath("config")));
        m_long = music(m_dir.path(), "long.wav", 75);
        m_short = music(m_dir.path(), "short.wav", 50);
        QVERIFY(!m_long.isEmpty() && !m_short.isEmpty());
    }

    // Alone, a long file takes every job; started beside a short one, it has no idle core at
    // first and takes the short one's when that ends.
    void longFileTakesTheFreeCores()
    {
        const QByteArray one = convert(m_long, "mp3", {"--jobs", "1"});
        QCOMPARE(decodedFrames(one), qint64(75 * 44100));
        for (const QStringList &before : {QStringList(), QStringList{m_short}}) {
            const QByteArray split = convert(m_long, "mp3", {"--jobs", "2"}, before);
            QVERIFY(!split.isEmpty() && split != one);
            QCOMPARE(decodedFrames(split), decodedFrames(one));
        }
    }

    void whatKeepsOneInstance_data()
    {
        QTest::addColumn<bool>("isLong");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("--no-split")
            << true << QStringList{"--jobs", "2", "--no-split"} << QByteArray();
        QTest::newRow("the setting off")
            << true << QStringList{"--jobs", "2"} << QByteArray("[output]\nsplit=0\n");
        QTest::newRow("under a minute") << false << QStringList{"--jobs", "2"} << QByteArray();
    }

    void whatKeepsOneInstance()
    {
        QFETCH(bool, isLong);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, settings);
        const QString ini = m_dir.filePath("twr.ini");
        TestEnv::writeFile(ini, settings);
        args << "--settings" << ini;
        const QString source = isLong ? m_long : m_short;
        const QByteArray one = convert(source, "mp3", {"--jobs", "1", "--settings", ini});
        QVERIFY(!one.isEmpty());
        QCOMPARE(convert(source, "mp3", args), one);
    }
};

QTEST_GUILESS_MAIN(tst_CliSplit)
#include "tst_clisplit.moc"
