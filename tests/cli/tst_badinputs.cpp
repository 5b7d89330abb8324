// The bad-input corpus through twr-convert into every output format: no crash, one line
// per file, a summary, and reasons in plain words. The corpus: short files in every format
// the engine reads, cut short at many points, zeroed, scrambled or bit-flipped, reduced to
// their headers; empty files, noise and text under audio names. (Float sources with NaN,
// infinite and out-of-range samples go into every encoder in tst_damagedsources, whose
// outputs are decoded and checked sample by sample.)
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray noise(int size, unsigned seed)
{
    QByteArray b(size, '\0');
    for (char &c : b)
        c = char((seed = seed * 1103515245u + 12345u) >> 16);
    return b;
}

QStringList makeCorpus(const QString &dir)
{
    QStringList out;
    auto add = [&](const QString &name, const QByteArray &content) {
        TestEnv::writeFile(QDir(dir).filePath(name), content);
        out << QDir(dir).filePath(name);
    };
    const QList<QStringList> bases{
        {"s16.wav", "-c:a", "pcm_s16le"},  {"f32.wav", "-c:a", "pcm_f32le"},
        {"cbr.mp3", "-c:a", "libmp3lame"}, {"vbr.ogg", "-c:a", "libvorbis"},
        {"v2.wma", "-c:a", "wmav2"},       {"lossless.flac"},
        {"aac.m4a", "-c:a", "aac"}};
    for (const QStringList &base : bases) {
        const QString whole = Fixture::tone(dir, "whole-" + base.first(), 2, base.mid(1));
        const QByteArray bytes = TestEnv::readFile(whole);
        if (whole.isEmpty() || !QFile::remove(whole))
            return {};
        for (const int percent : {1, 5, 10, 25, 50, 75, 90, 99})
            add(QStringLiteral("cut%1-").arg(percent) + base.first(),
                bytes.left(bytes.size() * percent / 100));
        add("zeroed-" + base.first(),
            QByteArray(bytes).replace(bytes.size() / 2, 300, QByteArray(300, '\0')));
        add("scrambled-" + base.first(),
            QByteArray(bytes).replace(bytes.size() / 3, 2000, noise(2000, 7)));
        add("header-" + base.first(), bytes.left(64));
        QByteArray flipped = bytes;
        for (qsizetype i = 8; i < flipped.size(); i += 97)
            flipped[i] = char(flipped[i] ^ 0x5a);
        add("flipped-" + base.first(), flipped);
    }
    for (const QString ext : {"mp3", "wav", "ogg", "wma", "flac"}) {
        add("empty-" + ext + "." + ext, {});
        add("noise-" + ext + "." + ext,
            noise(5000, unsigned(ext.size() * 31 + ext.at(0).unicode())));
    }
    add("text.mp3", "not audio at all\n");
    return out;
}

} // namespace

class TestBadInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(m_dir.filePath("in")));
        m_inputs = makeCorpus(m_dir.filePath("in"));
        QVERIFY(m_inputs.size() > 60);
    }

    void everyFormatSurvives_data()
    {
        QTest::addColumn<QString>("format");
        for (const char *f : {"mp3", "wma", "ogg", "wav"})
            QTest::newRow(f) << f;
    }

    void everyFormatSurvives()
    {
        QFETCH(QString, format);
        const Ran r =
            TestEnv::twrConvert(QStringList{"--format", format, "--overwrite", "--jobs", "2",
                                            "--output-dir", m_dir.filePath("out-" + format)} +
                                    m_inputs,
                                600000);
        const QString &out = r.out;
        QCOMPARE(r.exitCode, 1); // the empty and noise files fail (-1: crashed or hung)

        QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        const QRegularExpressionMatch m =
            QRegularExpression(R"(^(\d+) converted, 0 skipped, (\d+) failed, (\d+) with warnings$)")
                .match(lines.isEmpty() ? QString() : lines.takeLast());
        QVERIFY2(m.hasMatch(), qPrintable(out));
        QCOMPARE(m.captured(1).toInt() + m.captured(2).toInt(), int(m_inputs.size()));
        QCOMPARE(lines.size(), m_inputs.size());
        QCOMPARE(int(lines
                         .filter(QRegularExpression("^converted with warnings  .*: "
                                                    "(cut|zeroed|scrambled|flipped|header)"))
                         .size()),
                 m.captured(3).toInt());
        QVERIFY(m.captured(3).toInt() > 10);
        // The libraries' bare error texts say nothing about the file.
        for (const char *bare :
             {"Invalid argument", "End of file", "Operation not permitted", "Unknown error",
              "Input/output error", "No such file", "Invalid data"})
            QVERIFY2(!out.contains(QLatin1String(bare)), bare);
        for (const QString &line : lines.filter(QRegularExpression("^FAILED"))) {
            const QString source = line.mid(11).section(QStringLiteral(": "), 0, 0);
            QVERIFY2(line.mid(11 + source.size() + 2).startsWith(QFileInfo(source).fileName()),
                     qPrintable(line));
        }
    }

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QStringList m_inputs;
};

QTEST_GUILESS_MAIN(TestBadInputs)
#include "tst_badinputs.moc"
