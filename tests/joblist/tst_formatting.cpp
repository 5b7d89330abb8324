#include "joblist/formatting.h"

#include <QTest>

class tst_Formatting : public QObject
{
    Q_OBJECT

private slots:
    void formatLength_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("padded");
        QTest::addColumn<QString>("plain");
        QTest::newRow("zero") << qint64(0) << "00:00:0"
                              << "00:00:0";
        QTest::newRow("7.5 s") << qint64(7500) << "00:00:7"
                               << "00:00:7";
        QTest::newRow("59.9 s") << qint64(59900) << "00:00:59"
                                << "00:00:59";
        QTest::newRow("60 s") << qint64(60000) << "00:01:00"
                              << "00:1:00";
        QTest::newRow("125 s") << qint64(125000) << "00:02:05"
                               << "00:2:05";
        QTest::newRow("3599 s") << qint64(3599999) << "00:59:59"
                                << "00:59:59";
        QTest::newRow("3600 s") << qint64(3600000) << "01:00:00"
                                << "1:00:00";
        QTest::newRow("3725 s") << qint64(3725000) << "01:02:05"
                                << "1:02:05";
        QTest::newRow("100 h") << qint64(360000000) << "100:00:00"
                               << "100:00:00";
        QTest::newRow("beyond 32 bits") << qint64(5000000000) << "1388:53:20"
                                        << "1388:53:20";
        QTest::newRow("negative") << qint64(-5) << "00:00:0"
                                  << "00:00:0";
    }
    void formatLength()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, padded);
        QFETCH(QString, plain);
        QCOMPARE(FormatLength(ms, LengthForm::Padded), padded);
        QCOMPARE(FormatLength(ms, LengthForm::Plain), plain);
    }

    void formatSize_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << "0.M";
        QTest::newRow("1.5 MiB") << qint64(1572864) << "1.5M";
        QTest::newRow("3 MiB") << qint64(3145728) << "3.M";
        QTest::newRow("1000000") << qint64(1000000) << "0.95M";
        QTest::newRow("rounds up to whole") << qint64(1048576 * 2 - 1) << "2.M";
        QTest::newRow("two decimals") << qint64(1300000) << "1.24M";
        QTest::newRow("one byte") << qint64(1) << "0.M";
        QTest::newRow("5 GiB, no grouping") << qint64(5368709120) << "5120.M";
    }
    void formatSize()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FormatSize(bytes), text);
    }
};

QTEST_GUILESS_MAIN(tst_Formatting)
#include "tst_formatting.moc"
