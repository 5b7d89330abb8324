// Converting one file with the conversion job, and the output names.
#include "convert/conversionjob.h"
#include "convert/outputformat.h"
#include "convert/outputnaming.h"
#include "engine/converter.h"
#include "settings/profilereader.h"
#include "settings/settingsfiles.h"
#include "tags/fileinfo.h"
#include "tests/support/fixture.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <optional>

using Job = ConversionJob;
Q_DECLARE_METATYPE(Job::Outcome)

class TestConversionJob : public QObject
{
    Q_OBJECT

private:
    Job::Result convert(const QString &source, const QString &output, Job::Callbacks c = {})
    {
        return Job(m_reader, m_writer, std::move(c)).run(source, output);
    }

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QString m_wav; // 4 s, 16-bit PCM: about 700 kB as WAV
    Converter m_reader;
    Converter m_writer;
    Job::Callbacks m_replace;

private slots:
    void initTestCase()
    {
        m_wav = Fixture::tone(m_dir.path(), "song.wav", 4, {"-c:a", "pcm_s16le"});
        QVERIFY(!m_wav.isEmpty());
        Fixture::setEveryFormat(m_writer);
        m_replace.overwrite = [](const QString &) {
            return Job::OverwriteAnswer::Replace;
        };
    }

    // No output name, a folder that cannot be made, the source itself: failed with a reason
    // that names the file, and the source untouched.
    void failsWithAPlainReason()
    {
        TestEnv::writeFile(m_dir.filePath("afile"), "a file, not a folder");
        const QByteArray before = TestEnv::readFile(m_wav);
        const QList<std::tuple<QString, QString, QString>> cases{
            {m_wav, "", "no output name can be built from song.wav"},
            {m_wav, m_dir.filePath("afile/sub/song.mp3"), "/afile/sub for song.mp3 cannot be"},
            {m_wav, m_wav, "replace the source file song.wav"}};
        for (const auto &[source, output, reason] : cases) {
            const Job::Result r = convert(source, output);
            QCOMPARE(r.outcome, Job::Outcome::Failed);
            QVERIFY2(r.reason.contains(reason), qPrintable(r.reason));
        }
        QCOMPARE(TestEnv::readFile(m_wav), before);
    }

    void olderOutputSurvives_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QByteArray>("older");
        QTest::addColumn<Job::Outcome>("outcome");
        QTest::addColumn<QString>("reason");

        const QString full = "song.wav cannot be written: the disk is full";
        const QString cancelled =
            "the conversion of song.wav was cancelled; song.wav was not written";
        QTest::newRow("full disk") << "full" << QByteArray("older") << Job::Outcome::Failed << full;
        QTest::newRow("full disk, none older")
            << "full" << QByteArray() << Job::Outcome::Failed << full;
        // The cancel arrives while the window yields in the progress call of the second chunk.
        QTest::newRow("cancel, none older")
            << "cancel" << QByteArray() << Job::Outcome::Cancelled << cancelled;
    }

    void olderOutputSurvives()
    {
        QFETCH(QString, cause);
        QFETCH(QByteArray, older);
        QFETCH(Job::Outcome, outcome);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        std::optional<TmpfsMount> disk;
        if (cause == "full") {
            disk.emplace(folder.path(), 192 * 1024);
            TWR_SKIP_UNLESS_MOUNTED(*disk);
        }
        const QString out = folder.filePath("song.wav");
        if (!older.isEmpty())
            TestEnv::writeFile(out, older);

        int chunks = 0;
        bool cancel = false;
        Job::Callbacks c = m_replace;
        c.progress = [&](qint64, qint64) {
            cancel = ++chunks == 2 && cause == "cancel";
        };
        c.cancelled = [&] {
            return cancel;
        };
        const Job::Result r = convert(m_wav, out, c);
        QCOMPARE(r.outcome, outcome);
        QCOMPARE(r.reason, reason);
        QCOMPARE(TestEnv::files(folder.path()),
                 older.isEmpty() ? QStringList() : QStringList{"song.wav"});
        QCOMPARE(TestEnv::readFile(out), older);
    }

    void tagReachesEveryFormat_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("tagged");
        for (const OutputFormat &format : OutputFormats::all())
            QTest::newRow(format.extension) << QString(format.extension) << true;
        QTest::newRow("untagged source") << ".mp3" << false;
    }

    void tagReachesEveryFormat()
    {
        QFETCH(QString, extension);
        QFETCH(bool, tagged);
        // An MP3 source whose tag is ID3v2 only, every field set.
        const QString source = Fixture::tone(m_dir.path(), "tagged.mp3", 1, {"-write_id3v1", "0"});
        FileInfo tag;
        tag.TagVersion = 2;
        if (tagged) {
            tag.Title = QStringLiteral("Über den Wolken");
            tag.Artist = QStringLiteral("Artist 歌");
            tag.Album = tag.Comment = tag.Composer = tag.EncodedBy = tag.OriginalArtist =
                tag.Copyright = tag.URL = tag.GenreS = "Text";
            tag.Genre = 17;
            tag.Year = 1975;
            tag.Track = 4;
            tag.SaveTag(source);
        }
        const QByteArray before = TestEnv::readFile(source);
        QVERIFY(!before.isEmpty() && !before.right(128).startsWith("TAG"));
        QTemporaryDir outDir;
        const Job::Result r = convert(source, outDir.filePath("tagged" + extension));
        QCOMPARE(r.outcome, Job::Outcome::Converted);
        QCOMPARE(r.tagWarning, QString());
        QCOMPARE(TestEnv::readFile(source), before);

        FileInfo copy;
        copy.TagVersion = 2;
        copy.Load(r.output);
        QVERIFY(copy.isAudio());
        QCOMPARE(Fixture::tagTexts(copy), Fixture::tagTexts(tagged ? tag : FileInfo()));
        // An MP3 output carries the ID3v1 block too.
        const QByteArray tail = TestEnv::readFile(r.output).right(128);
        QCOMPARE(tail.startsWith("TAG") && tail.mid(4, 3) == "ber", tagged && extension == ".mp3");
    }

    // The format table: found by its names, in the order of its ids, and each format's
    // settings read back as they were written.
    void formatTable()
    {
        QStringList names;
        for (const OutputFormat &format : OutputFormats::all()) {
            QCOMPARE(&OutputFormats::of(format.id), &format);
            QCOMPARE(OutputFormats::byName(format.section), &format);
            QCOMPARE(OutputFormats::byName(QString(format.extension).toUpper()), &format);
            QCOMPARE(OutputFormats::byLabel(format.label), &format);
            names << format.section;
            const QString first = m_dir.filePath("first.ini"), second = m_dir.filePath("again.ini");
            for (const EncoderSettings &value :
                 {EncoderSettingsSet()[format.id],
                  format.read(ProfileReader(SettingsFiles::shippedDefaults()))}) {
                QFile::remove(first);
                QFile::remove(second);
                QVERIFY(format.write(value, first, nullptr));
                const ProfileReader stored(first);
                QVERIFY(format.write(format.read(stored), second, nullptr));
                QCOMPARE(TestEnv::readFile(second), TestEnv::readFile(first));
                QCOMPARE(EncoderSetup::describe(format.read(stored)),
                         EncoderSetup::describe(value));
                QCOMPARE(stored.ignored(), QStringList());
            }
        }
        QCOMPARE(names, OutputFormats::names());
        QCOMPARE(names.removeDuplicates(), 0);
    }

    void names()
    {
        // Sources lie in <tmp>/music; "out" writes into <tmp>/out, "music" into the output folder
        // <tmp>/music (given without its separator), "beside" into the source's folder.
        const QList<std::array<QString, 4>> rows{
            {"track.flac", "out", ".wav", "out/track.wav"},
            {"README", "out", ".mp3", "out/README.mp3"},
            {".hidden", "beside", ".wav", "music/.hidden.wav"},
            {"song.wav", "beside", ".ogg", "music/song.ogg"},
            {"lena-24.aiff", "out", ".mp3", "out/lena-24.mp3"},
            // The output would be the source itself: "_back" is added.
            {"my.song.mp3", "music", ".mp3", "music/my.song_back.mp3"},
            {"song.WAV", "beside", ".wav", "music/song_back.wav"}};
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("music"));
        for (const auto &[name, mode, extension, expected] : rows) {
            const QString source = dir.filePath("music/" + name);
            TestEnv::writeFile(source, "audio");
            const QString folder = mode == "out" ? dir.filePath("out/") : dir.filePath("music");
            QCOMPARE(OutputNaming::outputPath(source, folder, mode == "beside", extension),
                     dir.filePath(expected));
        }
        QCOMPARE(OutputNaming::baseOf("/music/my.song.mp3"), QString("/music/my.song"));
        QCOMPARE(OutputNaming::baseOf("/music/README"), QString("/music/README"));
    }
};

QTEST_GUILESS_MAIN(TestConversionJob)
#include "tst_conversionjob.moc"
