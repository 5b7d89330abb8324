#include "convert/outputnaming.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestOutputNaming : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void baseDropsOnlyTheLastExtension();
};

void TestOutputNaming::names_data()
{
    // Sources lie in <tmp>/music; "out" writes into <tmp>/out, "music" into the output folder
    // <tmp>/music (given without its separator), "beside" into the source's folder.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("expected");

    QTest::newRow("five-letter extension") << "track.flac"
                                           << "out"
                                           << ".wav"
                                           << "out/track.wav";
    QTest::newRow("dotted name, folder") << "my.song.mp3"
                                         << "out"
                                         << ".wav"
                                         << "out/my.song.wav";
    QTest::newRow("dotted name, beside") << "my.song.mp3"
                                         << "beside"
                                         << ".wav"
                                         << "music/my.song.wav";
    QTest::newRow("digits and dash") << "lena-24.aiff"
                                     << "out"
                                     << ".mp3"
                                     << "out/lena-24.mp3";
    QTest::newRow("no dot, folder") << "README"
                                    << "out"
                                    << ".ogg"
                                    << "out/README.ogg";
    QTest::newRow("no dot, beside") << "README"
                                    << "beside"
                                    << ".mp3"
                                    << "music/README.mp3";
    QTest::newRow("short name") << "a.b"
                                << "out"
                                << ".wma"
                                << "out/a.wma";
    QTest::newRow("leading dot") << ".hidden"
                                 << "beside"
                                 << ".wav"
                                 << "music/.hidden.wav";
    QTest::newRow("back: beside, same extension") << "song.wav"
                                                  << "beside"
                                                  << ".wav"
                                                  << "music/song_back.wav";
    QTest::newRow("back: case differs") << "song.WAV"
                                        << "beside"
                                        << ".wav"
                                        << "music/song_back.wav";
    QTest::newRow("back: folder is the source's") << "my.song.mp3"
                                                  << "music"
                                                  << ".mp3"
                                                  << "music/my.song_back.mp3";
    QTest::newRow("other extension") << "song.wav"
                                     << "beside"
                                     << ".ogg"
                                     << "music/song.ogg";
}

void TestOutputNaming::names()
{
    QFETCH(QString, name);
    QFETCH(QString, mode);
    QFETCH(QString, extension);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("music"));
    const QString source = dir.filePath("music/" + name);
    TestEnv::writeFile(source, "audio");
    const QString folder = mode == "out" ? dir.filePath("out/") : dir.filePath("music");
    QCOMPARE(OutputNaming::outputPath(source, folder, mode == "beside", extension),
             dir.filePath(expected));
}

void TestOutputNaming::baseDropsOnlyTheLastExtension()
{
    QCOMPARE(OutputNaming::baseOf("/music/my.song.mp3"), QString("/music/my.song"));
    QCOMPARE(OutputNaming::baseOf("/music/README"), QString("/music/README"));
}

QTEST_GUILESS_MAIN(TestOutputNaming)
#include "tst_outputnaming.moc"
