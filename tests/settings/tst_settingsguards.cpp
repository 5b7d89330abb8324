// A settings path that holds no settings file: nothing blocks, nothing grows without bound,
// and nothing is written over it.
#include "settings/profile.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestSettingsGuards : public QObject
{
    Q_OBJECT

private slots:
    void notAFileIsMissingAndKept_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to /dev/zero") << "zero";
        QTest::newRow("folder") << "folder";
        QTest::newRow("just over 1 MiB") << "large";
        QTest::newRow("link to nothing") << "dangling";
    }

    void notAFileIsMissingAndKept()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString ini = dir.filePath("twr.ini");
        const QByteArray large = "[output]\nformat=WAV\n" + QByteArray(1024 * 1024, ';');
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0644), 0);
        else if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", ini));
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(ini));
        else if (kind == "large")
            TestEnv::writeFile(ini, large);
        else
            QVERIFY(QFile::link(dir.filePath("gone.ini"), ini));

        QElapsedTimer t;
        t.start();
        QCOMPARE(ReadIni(ini, "output", "format"), QString());
        WriteIni(ini, "output", "format", "MP3");
        QCOMPARE(ReadIni(ini, "output", "format"), QString());
        QVERIFY(t.elapsed() < 10000);

        const QFileInfo after(ini);
        if (kind == "fifo") {
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(ini).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        } else if (kind == "zero" || kind == "dangling") {
            QVERIFY(after.isSymLink());
        } else if (kind == "folder") {
            QVERIFY(after.isDir());
        } else {
            QCOMPARE(TestEnv::readFile(ini), large);
        }
        QCOMPARE(
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System),
            QStringList{"twr.ini"});
    }

    void exactlyOneMiBIsStillAFile()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("twr.ini");
        QByteArray content = "[output]\nformat=WAV\n";
        content += QByteArray(1024 * 1024 - content.size(), ';');
        TestEnv::writeFile(ini, content);
        QCOMPARE(ReadIni(ini, "output", "format"), QString("WAV"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsGuards)
#include "tst_settingsguards.moc"
