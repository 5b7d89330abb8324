// The tag editor on a real panel over real files; what it writes is read back with ffprobe or
// straight from the file's bytes.
#include "app/mainstate.h"
#include "engine/fileinfo.h"
#include "joblist/joblistmodel.h"
#include "tags/tageditor.h"
#include "tags/tagpanel.h"
#include "tags/tagwindow.h"

#include "tests/support/fixture.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"
#include "tests/tags/probedtag.h"

#include <QComboBox>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>

namespace {

// Records each height and each repaint, in order.
struct RecordingWindow : TagWindow
{
    int twips = NormalHeightTwips;
    QStringList log;
    int heightTwips() const override { return twips; }
    void setHeightTwips(int t) override { log << QString::number(twips = t); }
    void repaintNow() override { log << "paint"; }
};

// An ID3v1 block as the format lays it out: 30-byte texts, 4-digit year, 28-byte comment,
// zero, track, genre.
QByteArray id3v1(const QByteArray &title, const QByteArray &year, int track, int genre)
{
    auto pad = [](const QByteArray &s, int n) {
        return s.leftJustified(n, '\0', true);
    };
    return "TAG" + pad(title, 30) + pad("V1 Artist", 30) + pad("V1 Album", 30) + pad(year, 4) +
           pad("V1 Comment", 28) + '\0' + char(track) + char(genre);
}

struct Editor
{
    QWidget host;
    TagPanel *p = new TagPanel(&host);
    RecordingWindow window;
    MainState state;
    JobListModel jobs;
    ::FileInfo info;
    TestPlatform *platform = TestPlatform::install();
    std::unique_ptr<TagEditor> editor;

    Editor()
    {
        p->fillGenres();
        editor = std::make_unique<TagEditor>(*p, window, state, jobs, info);
    }
    // Lists `path`, points at its row and opens the editor on it.
    void open(const QString &path)
    {
        const QFileInfo file(path);
        jobs.AddJobRow(file.fileName(), "", "", file.absolutePath(), "/out");
        state.HoverRow = jobs.count();
        editor->EnterTagMode();
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const PlatformCall &call : platform->callsOf("messageBox"))
            texts << call.args.value(0) + "|" + call.args.value(1) + "|" + call.args.value(3);
        return texts;
    }
};

const QString Warning = QString::number(int(MessageIcon::Warning));

} // namespace

class tst_TagEditor : public QObject
{
    Q_OBJECT

    TestConfigDir m_config;
    QTemporaryDir m_dir;

    // A 1.5 s MP3 with an ID3v2 tag from ffmpeg and (when `v1` is given) an ID3v1 block.
    QString mp3(const QString &name, const QByteArray &v1 = {}, const QStringList &meta = {})
    {
        QStringList args{"-f", "lavfi", "-i", "sine=duration=1.5", "-id3v2_version", "3"};
        for (const QString &m : meta)
            args << "-metadata" << m;
        const QString path = Fixture::make(m_dir.path(), name, args);
        QFile f(path);
        if (!v1.isEmpty() && f.open(QIODevice::Append))
            f.write(v1);
        return path;
    }

private slots:
    void openAndClose()
    {
        Editor e;
        const QString a = mp3("a.mp3", {}, {"title=A"}), b = mp3("b.mp3", {}, {"title=B"});
        e.editor->Option1_Click(1);
        e.editor->EnterTagMode(); // the pointer has not been over a row yet
        QVERIFY(e.window.log.isEmpty());
        QCOMPARE(e.state.CurrentFile, QString());

        e.open(a);
        QCOMPARE(e.window.log.join(' '), QString("6900 paint 7508 paint 8116 paint 8724 paint "
                                                 "9332 paint 9940 paint"));
        QCOMPARE(e.state.CurrentFile, a);
        QVERIFY(e.p->lblFs->isVisibleTo(&e.host) && e.p->cmdCloseTag->isVisibleTo(&e.host));
        QCOMPARE(e.p->infoTitle->text(), QString("A"));
        QCOMPARE(e.p->lblFs->text(), "File Name: a.mp3  ( " + e.p->infoFormatString->text() + " )");
        QTest::keyClicks(e.p->infoYear, "20045");
        QCOMPARE(e.p->infoYear->text(), QString("2004"));

        e.window.log.clear();
        e.open(b); // already open: reloads without resizing
        QVERIFY(e.window.log.isEmpty());
        QCOMPARE(e.p->infoTitle->text(), QString("B"));

        e.editor->LeaveTagMode();
        QCOMPARE(e.window.log.join(' '), QString("9940 8927 7914 6901 paint"));
        QVERIFY(!e.editor->isOpen() && !e.p->lblFs->isVisibleTo(&e.host));
        e.window.log.clear();
        e.editor->EnterTagMode();
        QCOMPARE(e.window.log.first(), QString("6900"));
        QCOMPARE(e.window.twips, 9940);

        e.jobs.clearAll(); // a pointer position left over from removed rows opens nothing
        e.editor->LeaveTagMode();
        e.editor->EnterTagMode();
        QCOMPARE(e.window.twips, 6901);
    }

    void loadShowsTagAndProperties()
    {
        Editor e;
        const QString title = QString::fromUtf8("Eine sehr lange Überschrift, länger als dreißig");
        const QString path = mp3(
            "props.mp3", {}, {"title=" + title, "genre=Rock", "date=1999", "comment=Live take"});
        e.editor->Option1_Click(1);
        e.open(path);
        QCOMPARE(e.p->infoTitle->text(), title);
        QCOMPARE(e.p->infoGenre->currentText(), QString("Rock"));
        QCOMPARE(e.p->infoYear->text(), QString("1999"));
        QVERIFY(e.p->infoComposer->isEnabled());
        QCOMPARE(e.p->infoComment->text(), QString("Live take")); // FFmpeg's own comment frame
        const QJsonObject s = Fixture::audioStream(path);
        QCOMPARE(e.p->infoFrequency->text(), s.value("sample_rate").toString() + " Hz");
        QCOMPARE(e.p->infoChannels->text(), QString::number(s.value("channels").toInt()));
        QCOMPARE(e.p->infoSize->text(), QString::number(QFileInfo(path).size()));
        QVERIFY(e.p->infoBitrate->text().endsWith(" bps"));
        const double ms = s.value("duration").toString().toDouble() * 1000;
        QVERIFY(qAbs(e.p->infoDuration->text().chopped(3).toDouble() - ms) < 60);

        e.p->infoComment->setText("Studio take");
        e.editor->SaveTags();
        QCOMPARE(probedTag(path, "comment"), QString("Studio take"));
        QVERIFY(!Fixture::readAll(path).contains("Live take"));
    }

    void id3v1AndSwap()
    {
        Editor e;
        const QByteArray v1 = id3v1("V1 Title", "1987", 5, 8); // Jazz
        const QString path =
            mp3("both.mp3", v1, {"title=V2 Title", "composer=V2 Composer", "genre=Rock"});
        const QByteArray audio = Fixture::audioMd5(path);
        e.open(path); // ID3v1 is chosen at start
        QCOMPARE(e.p->infoTitle->text(), QString("V1 Title"));
        QCOMPARE(e.p->infoGenre->currentText(), QString("Jazz"));
        const QColor greyed = e.p->infoComposer->palette().color(QPalette::Base);
        QVERIFY(!e.p->infoComposer->isEnabled());

        // The greyed boxes are still handed over; ID3v1 has no place for them.
        e.p->infoComposer->setText("Typed");
        e.p->infoTitle->setText(QString(40, 'L'));
        e.editor->SaveTags();
        QCOMPARE(e.info.Composer, QString("Typed"));
        QCOMPARE(Fixture::readAll(path).right(128).mid(3, 30), QByteArray(30, 'L'));
        QCOMPARE(probedTag(path, "composer"), QString("V2 Composer"));
        e.editor->LoadTags(path);
        QCOMPARE(e.p->infoTitle->text(), QString(30, 'L'));

        e.p->infoTitle->setText("V1 Title");
        e.editor->SaveTags();
        const QByteArray before = Fixture::readAll(path);
        QCOMPARE(before.right(128), v1);
        e.editor->SwapTagVersion();
        QVERIFY(e.p->Option1[1]->isChecked() && e.p->infoComposer->isEnabled());
        QVERIFY(e.p->infoComposer->palette().color(QPalette::Base) != greyed);
        QCOMPARE(e.p->infoComposer->text(), QString("V2 Composer"));
        QCOMPARE(e.p->infoTitle->text(), QString("V1 Title"));
        QCOMPARE(e.p->infoYear->text(), QString("1987"));
        QCOMPARE(Fixture::readAll(path), before); // nothing written yet

        e.editor->SaveTags();
        QCOMPARE(probedTag(path, "title"), QString("V1 Title"));
        QCOMPARE(probedTag(path, "genre"), QString("Jazz"));
        QCOMPARE(probedTag(path, "track"), QString("5"));
        QCOMPARE(probedTag(path, "composer"), QString("V2 Composer"));
        QCOMPARE(Fixture::readAll(path).right(128), v1);
        QCOMPARE(Fixture::audioMd5(path), audio);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("refused"); // the box a message names, or ""
        QTest::newRow("stored") << "2004"
                                << "7"
                                << "";
        QTest::newRow("empty clears") << ""
                                      << ""
                                      << "";
        QTest::newRow("track beyond 32767") << "2004"
                                            << "40000"
                                            << "";
        QTest::newRow("year with a letter") << "20x4"
                                            << "1"
                                            << "Year";
        QTest::newRow("negative year") << "-1"
                                       << "1"
                                       << "Year";
        QTest::newRow("track beyond 65535") << "2004"
                                            << "65536"
                                            << "Track";
    }

    void numbers()
    {
        QFETCH(QString, year);
        QFETCH(QString, track);
        QFETCH(QString, refused);
        Editor e;
        const QString path = mp3("n.mp3", {}, {"date=1999", "track=3"});
        e.editor->Option1_Click(1);
        e.open(path);
        const QByteArray before = Fixture::readAll(path);
        e.p->infoYear->setText(year);
        e.p->infoTrack->setText(track);
        e.editor->SaveTags();
        if (!refused.isEmpty()) {
            QCOMPARE(e.messages().size(), 1);
            QVERIFY(e.messages()[0].contains("n.mp3"));
            QVERIFY(e.messages()[0].contains(refused));
            QVERIFY(e.messages()[0].endsWith("|Tonewright|" + Warning));
            QCOMPARE(Fixture::readAll(path), before);
            return;
        }
        QVERIFY(e.messages().isEmpty());
        QCOMPARE(probedTag(path, "date"), year);
        QCOMPARE(probedTag(path, "track"), track);
    }

    void genres()
    {
        Editor e;
        const QString none = mp3("none.mp3", id3v1("No genre", "", 0, 255), {"title=x"});
        const QString rock = mp3("rock.mp3", {}, {"genre=Rock"});
        for (int version : {0, 1}) {
            e.editor->Option1_Click(version);
            e.open(none);
            QCOMPARE(e.p->infoGenre->currentIndex(), -1);
            e.editor->SaveTags();
        }
        QCOMPARE(probedTag(none, "genre"), QString());
        QCOMPARE(quint8(Fixture::readAll(none).back()), quint8(255));

        e.p->infoGenreS->setText("Chillwave"); // free text with no number
        e.editor->SaveTags();
        QCOMPARE(probedTag(none, "genre"), QString("Chillwave"));

        e.open(rock); // the free-text box mirrors "Rock"; choosing Jazz in the list wins
        QCOMPARE(e.p->infoGenreS->text(), QString("Rock"));
        e.p->infoGenre->setCurrentIndex(8);
        e.editor->SaveTags();
        e.editor->SaveTags();
        QCOMPARE(probedTag(rock, "genre"), QString("Jazz"));
    }

    void failedSaveIsReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only") << "readonly"
                                   << "read-only";
        QTest::newRow("gone") << "gone"
                              << "does not exist";
        QTest::newRow("disk full for the tag") << "full tag"
                                               << "No space left";
        QTest::newRow("disk full for a working copy") << "full copy"
                                                      << "No space left";
    }

    void failedSaveIsReported()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir(m_dir.filePath("fail-XXXXXX"));
        const QString path = dir.filePath("song.mp3");
        const QString made = mp3("source.mp3", {}, {"title=Before"});
        struct Unmount
        {
            QString at;
            ~Unmount() { at.isEmpty() || ::umount(qPrintable(at)); }
        } unmount;
        if (kind.startsWith("full")) {
            // Room for the file and a copy but not the long tag, or for half a copy.
            const qint64 bytes = QFileInfo(made).size();
            const qint64 room = kind == "full tag" ? 2 * bytes + 65536 : bytes * 3 / 2;
            const QByteArray size = "size=" + QByteArray::number(room);
            if (::mount("tmpfs", qPrintable(dir.path()), "tmpfs", 0, size.constData()) != 0)
                QSKIP("mounting a small tmpfs needs root; the full disk cannot be made here");
            unmount.at = dir.path();
        }
        Editor e;
        QVERIFY(QFile::copy(made, path));
        const QByteArray before = Fixture::readAll(path);
        e.editor->Option1_Click(1);
        e.open(path);
        e.p->infoComment->setText(QString(200000, 'c')); // more than the disk has left
        if (kind == "readonly")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        if (kind == "gone")
            QVERIFY(QFile::remove(path));
        e.editor->SaveTags();
        const QStringList texts = e.messages();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains("song.mp3") && texts[0].contains(reason), qPrintable(texts[0]));
        QCOMPARE(Fixture::readAll(path), kind == "gone" ? QByteArray() : before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 kind == "gone" ? QStringList() : QStringList{"song.mp3"});
    }

    void formats_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QStringList>("codec");
        QTest::newRow("ogg") << "ogg" << QStringList{"-c:a", "libvorbis"};
        QTest::newRow("wma") << "wma" << QStringList{"-c:a", "wmav2"};
        QTest::newRow("flac") << "flac" << QStringList{};
        QTest::newRow("mp3") << "mp3" << QStringList{};
    }

    void formats()
    {
        QFETCH(QString, ext);
        QFETCH(QStringList, codec);
        Editor e;
        const QString path = Fixture::tone(m_dir.path(), "f." + ext, 1.5, codec);
        const QByteArray audio = Fixture::audioMd5(path);
        const QString title = QString::fromUtf8("Ночь — 夜の歌 « ø »");
        e.editor->Option1_Click(1);
        e.open(path);
        e.p->infoTitle->setText(title);
        e.p->infoComposer->setText(QString::fromUtf8("Dvořák"));
        e.p->infoTrack->setText("12");
        for (int length : {20000, 5}) { // a tag that grows well past any padding, then shrinks
            e.p->infoComment->setText(QString(length, 'k'));
            e.editor->SaveTags();
            QCOMPARE(Fixture::audioMd5(path), audio);
        }
        QVERIFY(e.messages().isEmpty());
        QCOMPARE(probedTag(path, "title"), title);
        QCOMPARE(probedTag(path, "composer"), QString::fromUtf8("Dvořák"));
        e.p->infoTitle->clear();
        e.editor->LoadTags(path);
        QCOMPARE(e.p->infoTitle->text(), title);
        QCOMPARE(e.p->infoTrack->text(), QString("12"));
        QCOMPARE(e.p->infoComment->text(), QString("kkkkk"));
    }
};

QTEST_MAIN(tst_TagEditor)
#include "tst_tageditor.moc"
