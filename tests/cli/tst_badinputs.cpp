// The bad-input corpus through twr-convert into every output format: no crash, one line
// per file, a summary, and reasons in plain words.
#include "tests/cli/badinputs.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestBadInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_inputs = BadInputs::make(m_dir.filePath("in"));
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
        QProcess p;
        p.start(QDir(TestEnv::binDir()).filePath("twr-convert"),
                QStringList{"--format", format, "--overwrite", "--jobs", "2", "--output-dir",
                            m_dir.filePath("out-" + format)} +
                    m_inputs);
        QVERIFY(p.waitForFinished(600000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == 0 || p.exitCode() == 1, qPrintable(err));

        QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QVERIFY(!lines.isEmpty());
        const QRegularExpression summary(
            R"(^(\d+) converted, (\d+) skipped, (\d+) failed, (\d+) with warnings$)");
        const QRegularExpressionMatch m = summary.match(lines.takeLast());
        QVERIFY(m.hasMatch());
        QCOMPARE(m.captured(1).toInt() + m.captured(2).toInt() + m.captured(3).toInt(),
                 int(m_inputs.size()));
        QCOMPARE(lines.size(), m_inputs.size());
        // The libraries' bare error texts say nothing about the file.
        for (const char *bare :
             {"Invalid argument", "End of file", "Operation not permitted", "Unknown error",
              "Input/output error", "No such file", "Invalid data"}) {
            QVERIFY2(!out.contains(QLatin1String(bare)), bare);
        }
        for (const QString &line : lines) {
            QVERIFY2(line.startsWith("converted") || line.startsWith("FAILED     "),
                     qPrintable(line));
            if (line.startsWith("FAILED     ")) {
                const QString source = line.mid(11).section(QStringLiteral(": "), 0, 0);
                const QString name = QFileInfo(source).fileName();
                QVERIFY2(line.mid(11 + source.size() + 2).contains(name), qPrintable(line));
            }
        }
    }

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QStringList m_inputs;
};

QTEST_GUILESS_MAIN(TestBadInputs)
#include "tst_badinputs.moc"
