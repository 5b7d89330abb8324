#include "convert/outputnaming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestOutputNaming : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void backNameWhenTheOutputIsTheSource_data();
    void backNameWhenTheOutputIsTheSource();
};

void TestOutputNaming::names_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("besideSource");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("expected");

    QTest::newRow("beside: up to the first dot") << "/music/my.song.mp3"
                                                 << "" << true << ".wav"
                                                 << "/music/my.wav";
    QTest::newRow("folder: last four dropped") << "/music/my.song.mp3"
                                               << "/out/" << false << ".wav"
                                               << "/out/my.song.wav";
    QTest::newRow("folder: five-letter extension") << "/music/track.flac"
                                                   << "/out/" << false << ".wav"
                                                   << "/out/track..wav";
    QTest::newRow("folder without separator") << "/music/a.mp3"
                                              << "/out" << false << ".ogg"
                                              << "/out/a.ogg";
    QTest::newRow("beside: no dot") << "/music/noext"
                                    << "" << true << ".mp3"
                                    << "/music/noext.mp3";
    QTest::newRow("folder: name too short") << "/music/abc"
                                            << "/out/" << false << ".mp3"
                                            << "";
    QTest::newRow("folder: four characters") << "/music/a.wa"
                                             << "/out/" << false << ".mp3"
                                             << "/out/.mp3";
}

void TestOutputNaming::names()
{
    QFETCH(QString, source);
    QFETCH(QString, folder);
    QFETCH(bool, besideSource);
    QFETCH(QString, extension);
    QFETCH(QString, expected);
    QCOMPARE(OutputNaming::outputPath(source, folder, besideSource, extension), expected);
}

void TestOutputNaming::backNameWhenTheOutputIsTheSource_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("besideSource");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("expected");

    QTest::newRow("beside, same extension") << "song.wav" << true << ".wav"
                                            << "song_back.wav";
    QTest::newRow("output folder is the source folder") << "song.mp3" << false << ".mp3"
                                                        << "song_back.mp3";
    QTest::newRow("other extension") << "song.wav" << true << ".ogg"
                                     << "song.ogg";
    // Linux names differ by case, so these are different files here.
    QTest::newRow("case differs") << "song.WAV" << true << ".wav"
                                  << "song.wav";
}

void TestOutputNaming::backNameWhenTheOutputIsTheSource()
{
    QFETCH(QString, name);
    QFETCH(bool, besideSource);
    QFETCH(QString, extension);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString source = dir.filePath(name);
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QString folder = dir.path() + QDir::separator();
    QCOMPARE(OutputNaming::outputPath(source, folder, besideSource, extension),
             dir.filePath(expected));
}

QTEST_GUILESS_MAIN(TestOutputNaming)
#include "tst_outputnaming.moc"
