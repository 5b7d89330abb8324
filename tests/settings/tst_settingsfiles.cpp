#include "settings/keys.h"
#include "settings/settingsfiles.h"

#include "tests/support/testenv.h"

#include <QFile>
#include <QSet>
#include <QTest>

class tst_SettingsFiles : public QObject
{
    Q_OBJECT

private slots:
    void filesLiveInTheConfigFolder()
    {
        TestConfigDir config;
        QCOMPARE(SettingsFiles::workingFile(), config.file(QStringLiteral("twr.ini")));
        QVERIFY(!QFile::exists(SettingsFiles::workingFile()));
    }

    void shippedDefaultsHoldEveryOption()
    {
        TestConfigDir config;
        const QString defaults = SettingsFiles::defaultsFile();
        QCOMPARE(defaults, config.file(QStringLiteral("twr2.ini")));
        QVERIFY(QFile::exists(defaults));
        for (const Ini::Key &k : Ini::ApplyWriteOrder) {
            if (k.section == Ini::Output::Folder.section && QByteArray(k.key) == "folder")
                continue; // empty on purpose: the program folder takes its place
            QVERIFY2(!SettingsFiles::read(defaults, k).isEmpty(), k.key);
        }
        QVERIFY(SettingsFiles::read(defaults, Ini::Output::Format).isEmpty());
    }

    void existingDefaultsAreNeverReplaced()
    {
        TestConfigDir config;
        QFile f(config.file(QStringLiteral("twr2.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[output]\nopen=0\n");
        f.close();
        SettingsFiles::defaultsFile();
        QCOMPARE(SettingsFiles::read(config.file(QStringLiteral("twr2.ini")), Ini::Output::Open),
                 QString("0"));
    }

    void catalogueIsComplete()
    {
        QSet<QString> seen;
        for (const Ini::Key &k : Ini::AllKeys)
            seen.insert(QString::fromLatin1(k.section) + u'/' + QString::fromLatin1(k.key));
        QCOMPARE(seen.size(), int(Ini::AllKeys.size())); // no key twice
        QCOMPARE(Ini::ApplyWriteOrder.front().key, Ini::Output::Folder.key);
        QCOMPARE(Ini::ApplyWriteOrder.back().key, Ini::Mp3::Fs.key);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFiles)
#include "tst_settingsfiles.moc"
