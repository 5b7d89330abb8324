// The tag editor on a real panel and in the real window, over real files; what it writes is
// read back with ffprobe or straight from the file's bytes.
#include "joblist/joblistcommands.h"
#include "joblist/joblistmodel.h"
#include "tags/fileinfo.h"
#include "tags/tageditor.h"
#include "tags/tagpanel.h"

#include "tests/support/fixture.h"
#include "tests/support/loadedwindow.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

namespace {

struct RecordingWindow : TagWindow
{
    int twips = NormalHeightTwips;
    QStringList log; // each height with the panel's part, and each repaint
    int heightTwips() const override { return twips; }
    void setHeightTwips(int t, int panel) override
    {
        log << QString::number(twips = t) + '/' + QString::number(panel);
    }
    void repaintNow() override { log << "paint"; }
};

QByteArray id3v1(const QByteArray &title, int track, int genre)
{
    return "TAG" + title.leftJustified(90, '\0') + "1987" + QByteArray(29, '\0') + char(track) +
           char(genre);
}

struct Editor
{
    QWidget host;
    TagPanel *p = new TagPanel(&host);
    RecordingWindow window;
    ::FileInfo info;
    TestPlatform *platform = TestPlatform::install();
    TagEditor editor{*p, window, info};

    Editor() { p->fillGenres(); }
    // Opens the editor on `path` in tag `version`.
    void open(const QString &path, int version = 2)
    {
        editor.Option1_Click(version - 1);
        editor.EnterTagMode(path);
    }
};

} // namespace

class tst_TagEditor : public QObject
{
    Q_OBJECT

    TestConfigDir m_config;
    QTemporaryDir m_dir;

    // 1.5 s of audio in the extension's default codec, tagged by ffmpeg with `meta`, and an
    // ID3v1 block when given.
    QString make(const QString &name, const QStringList &meta, const QByteArray &v1 = {})
    {
        QStringList args{"-f", "lavfi", "-i", "sine=duration=1.5"};
        for (const QString &m : meta)
            args << "-metadata" << m;
        QFile f(Fixture::make(m_dir.path(), name, args));
        if (f.open(QIODevice::Append))
            f.write(v1);
        return f.fileName();
    }

private slots:
    void openCloseAndId3v1()
    {
        Editor e;
        e.open(make("a.mp3", {"title=A"}));
        QVERIFY(e.window.log.size() > 2 && e.window.log.endsWith("paint")); // grows visibly
        QCOMPARE(e.window.twips, 9940);
        QVERIFY(e.p->lblFs->isVisibleTo(&e.host));
        QTest::keyClicks(e.p->infoYear, "20045");
        QCOMPARE(e.p->infoYear->text(), QString("2004"));

        e.window.log.clear();
        e.open(make("b.mp3", {"title=B"})); // already open: reloads without resizing
        QCOMPARE(e.p->infoTitle->text() + e.window.log.join(' '), QString("B"));
        e.editor.LeaveTagMode();
        QVERIFY(!e.editor.isOpen() && !e.p->isVisibleTo(&e.host));
        QCOMPARE(e.window.twips, 6900);
        e.window.log.clear();
        e.editor.LeaveTagMode(); // closed: no shrinking the list away
        QVERIFY(e.window.log.isEmpty());

        // Open or closed is the editor's state, whatever height the user gave the window; it
        // grows and shrinks by the panel's height from there, and lands where it began.
        e.window.twips = 9940;
        QVERIFY(!e.editor.isOpen());
        e.window.twips = 12000;
        e.open(make("tall.mp3", {}));
        QCOMPARE(e.window.log.join(' '), QString("12000/0 paint 12608/608 paint 13216/1216 paint "
                                                 "13824/1824 paint 14432/2432 paint 15040/3040 "
                                                 "paint"));
        e.window.log.clear();
        e.editor.LeaveTagMode();
        QCOMPARE(e.window.log.join(' '), QString("15040/3040 14027/2027 13014/1014 12000/0 paint"));

        // ID3v1: no genre, a long title, the other version's frames; swapping versions.
        const QString none = make("none.mp3", {}, id3v1("No genre", 0, 255));
        e.open(none, 1);
        QCOMPARE(e.p->infoGenre->currentIndex(), -1);
        e.editor.SaveTags(); // no genre stays none, never position 0 ("Blues")
        QCOMPARE(quint8(TestEnv::readFile(none).back()), quint8(255));

        const QByteArray v1 = id3v1("V1 Title", 5, 8); // Jazz
        const QString path = make("both.mp3", {"title=V2", "composer=V2 C", "genre=Rock"}, v1);
        const QByteArray audio = Fixture::audioMd5(path);
        e.open(path, 1);
        QCOMPARE(e.p->infoTitle->text() + e.p->infoGenre->currentText(), QString("V1 TitleJazz"));
        QVERIFY(!e.p->infoComposer->isEnabled());
        // Greyed boxes are still handed over, though ID3v1 has no place for them; a long title
        // is cut to the format's 30 characters, as a reload shows.
        e.p->infoComposer->setText("Typed");
        e.p->infoTitle->setText(QString(40, 'L'));
        e.editor.SaveTags();
        QCOMPARE(e.info.Composer + Fixture::tag(path, "composer"), QString("TypedV2 C"));
        e.editor.LoadTags(path);
        QCOMPARE(e.p->infoTitle->text(), QString(30, 'L'));
        e.p->infoTitle->setText("V1 Title");
        e.editor.SaveTags();
        QCOMPARE(TestEnv::readFile(path).right(128), v1);
        // ID3v1 holds tracks up to 255; a larger one is refused with the old value kept.
        e.p->infoTrack->setText("255");
        e.editor.SaveTags();
        const QByteArray before = TestEnv::readFile(path);
        QCOMPARE(quint8(before.at(before.size() - 2)), quint8(255));
        e.p->infoTrack->setText("300");
        e.editor.SaveTags();
        QVERIFY(TestEnv::readFile(path) == before);
        QCOMPARE(PlatformCalls::messages(*e.platform),
                 QStringList("The tag of \"both.mp3\" was not updated: the Track \"300\" is not a "
                             "whole number from 1 to 255 for an ID3v1 tag."));
        e.p->infoTrack->setText("5");

        e.editor.SwapTagVersion();
        QVERIFY(e.p->Option1[1]->isChecked() && e.p->infoComposer->isEnabled());
        QCOMPARE(e.p->infoComposer->text() + e.p->infoTitle->text() + e.p->infoYear->text(),
                 QString("V2 CV1 Title1987"));
        e.editor.SaveTags();
        QCOMPARE(Fixture::tag(path, "title") + Fixture::tag(path, "genre") +
                     Fixture::tag(path, "track") + Fixture::tag(path, "composer"),
                 QString("V1 TitleJazz5V2 C"));
        QCOMPARE(Fixture::audioMd5(path), audio);

        // Other formats keep the ID3v1 fields in their own tag, which takes any 16-bit track.
        const QString ogg = make("v1.ogg", {"track=3"});
        e.open(ogg, 1);
        e.p->infoTrack->setText("300");
        e.editor.SaveTags();
        QCOMPARE(Fixture::tag(ogg, "track"), QString("300"));
    }

    void saves_data()
    {
        // stored: date/track in the file afterwards; message: part of the one message shown
        for (const char *column : {"file", "year", "track", "trouble", "stored", "message"})
            QTest::addColumn<QString>(column);
        const auto row = [](const char *name, QString f, QString y, QString t, QString trouble,
                            QString s, QString m) {
            QTest::newRow(name) << f << y << t << trouble << s << m;
        };
        row("mp3", "n.mp3", "2004", "7", "", "2004/7", "");
        row("empty clears", "n.mp3", "", "", "", "/", "");
        row("track over 32767", "n.mp3", "2004", "40000", "", "2004/40000", "");
        row("letter in year", "n.mp3", "20x4", "1", "", "1999/3", "not updated: the Year \"20x4\"");
        row("signed year", "n.mp3", "-1", "1", "", "1999/3", "the Year \"-1\" is not a whole");
        row("track over 65535", "n.mp3", "2004", "65536", "", "1999/3", "the Track \"65536\"");
        row("read-only", "n.mp3", "2004", "7", "read-only", "1999/3", "the file is read-only");
        row("gone", "n.flac", "2004", "7", "gone", "/", "the file does not exist");
        row("disk full for the tag", "n.ogg", "2004", "7", "full tag", "1999/3",
            "the disk is full");
        row("disk full for a copy", "n.mp3", "2004", "7", "full copy", "1999/3",
            "the disk is full");
    }

    // Each way a save is refused; the audio is never touched. (Every format's fields round trip
    // in the tag tests; the refusals here still cover MP3, OGG and FLAC.)
    void saves()
    {
        QFETCH(QString, file);
        QFETCH(QString, year);
        QFETCH(QString, track);
        QFETCH(QString, trouble);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        const QString made =
            make("made." + file.section('.', 1), {"date=1999", "track=3", "comment=Old comment"});
        QTemporaryDir dir(m_dir.filePath("save-XXXXXX"));
        const QString path = dir.filePath(file);
        // Room for a copy but not the long tag, or for half a copy.
        const qint64 bytes = QFileInfo(made).size();
        const qint64 room = trouble.endsWith("tag") ? 2 * bytes + 65536 : bytes * 3 / 2;
        std::optional<TmpfsMount> disk;
        if (trouble.startsWith("full")) {
            disk.emplace(dir.path(), room);
            TWR_SKIP_UNLESS_MOUNTED(*disk);
        }
        Editor e;
        QVERIFY(QFile::copy(made, path));
        const QByteArray before = TestEnv::readFile(path), audio = Fixture::audioMd5(path);
        const QString title =
            QString::fromUtf8("Ночь — 夜の歌 « ø », longer than thirty characters");
        e.open(path);
        QCOMPARE(e.p->infoComment->text(), QString("Old comment")); // FFmpeg's own frames too
        e.p->infoGenreS->setText("Chillwave");                      // a free genre text is kept
        e.p->infoTitle->setText(title);
        e.p->infoYear->setText(year);
        e.p->infoTrack->setText(track);
        e.p->infoComment->setText(QString(200000, 'c')); // grows the tag past any padding
        if (trouble == "read-only")
            QFile::setPermissions(path, QFile::ReadOwner);
        if (trouble == "gone")
            QFile::remove(path);
        e.editor.SaveTags();
        QCOMPARE(Fixture::tag(path, "date") + "/" + Fixture::tag(path, "track"), stored);
        QCOMPARE(Fixture::tag(path, "title") + Fixture::tag(path, "genre"),
                 message.isEmpty() ? title + "Chillwave" : QString());
        QCOMPARE(TestEnv::readFile(path) == before, !message.isEmpty() && trouble != "gone");
        QCOMPARE(Fixture::audioMd5(path), trouble == "gone" ? QByteArray() : audio);
        QCOMPARE(TestEnv::files(dir.path()).size(), trouble == "gone" ? 0 : 1);
        const QStringList shown = PlatformCalls::messages(*e.platform);
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(shown.join("").contains(message) &&
                     shown.join("").contains("\"" + file + "\"") == !message.isEmpty(),
                 qPrintable(shown.join("")));
    }

    // Update changes the panel's fields and nothing else: sources tagged by mutagen in every
    // format the editor saves keep their pictures, ReplayGain, identifiers, both artists and
    // their unknown field, as mutagen reads them after the save, their audio, and their kind of
    // tag (an ID3v2.4 one stays 2.4, so nothing that 2.3 lacks is dropped).
    void updateKeepsWhatThePanelDoesNotShow()
    {
        const QString src = m_dir.filePath("keep/src");
        QVERIFY(QDir().mkpath(src));
        QByteArray report;
        QVERIFY2(TestEnv::tagMatrix({"make", src}, &report) == 0, report.constData());
        Editor e;
        const QStringList names = QDir(src).entryList(QDir::Files);
        QCOMPARE(names.size(), 8);
        for (const QString &name : names) {
            const QString path = QDir(src).filePath(name);
            const QByteArray head = TestEnv::readFile(path).left(4);
            const QByteArray audio = Fixture::audioMd5(path);
            e.open(path);
            e.p->infoTitle->setText("Edited " + name);
            e.editor.SaveTags();
            QCOMPARE(Fixture::audioMd5(path), audio);
            QCOMPARE(TestEnv::readFile(path).left(4), head);
            ::FileInfo saved;
            saved.TagVersion = 2;
            saved.Load(path);
            QCOMPARE(saved.Title, "Edited " + name);
        }
        QVERIFY2(TestEnv::tagMatrix({"check", src, src}, &report) == 0, report.constData());
    }

    // In the real window: what a new user does, then every other way in and out.
    void inTheWindow()
    {
        LoadedWindow f;
        frmDialog &w = *f.w;
        TestPlatform *platform = f.platform;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QString song = Fixture::tone(m_dir.path(), "song.mp3", 1, {"-id3v2_version", "0"});
        const QString two = make("two.ogg", {});
        platform->openFilesAnswers << QStringList{song, two};
        w.cmdOpenFile->click();
        QWidget *list = w.viewEvent->viewport();
        const auto at = [&](int row) {
            return w.viewEvent->visualRect(w.jobs->index(row, 1)).center();
        };
        w.jobList().mouseMoved(at(0)); // the pointer over the first row
        w.cmdTag->click();
        QWidget *focus = QApplication::focusWidget();
        QCOMPARE(focus, w.tagPanel->infoTitle);
        QTest::keyClicks(focus, "My new title");
        QTest::keyClick(focus, Qt::Key_Return);
        QCOMPARE(Fixture::tag(song, "title"), QString("My new title"));
        QTest::keyClick(focus, Qt::Key_Escape);
        QCOMPARE(w.heightTwips(), 6900);

        TagPanel &p = *w.tagPanel;
        for (auto [open, close] : {std::pair{w.id3tag, p.cmdCloseTag}, {w.id3, p.cmdCancel}}) {
            open->trigger();
            QCOMPARE(w.heightTwips(), 9940);
            close->click();
            QCOMPARE(w.heightTwips(), 6900);
        }
        QTest::mouseClick(list, Qt::LeftButton, {}, at(0));
        QTest::mouseDClick(list, Qt::LeftButton, {}, at(0));
        QVERIFY(w.tagEditor().isOpen());
        // A click on another row while open shows that row.
        QTest::mouseClick(list, Qt::LeftButton, {}, at(1));
        QVERIFY(p.lblFs->text().startsWith("File Name: two.ogg  ( "));
        p.Option1[1]->click();
        QVERIFY(p.infoURL->isEnabled());
        p.cmdID3->click();
        QVERIFY(p.Option1[0]->isChecked() && !p.infoURL->isEnabled());
        w.cmdClear->click();
        QCOMPARE(w.heightTwips() + platform->count("messageBox"), 6900);
        QVERIFY(!w.tagEditor().isOpen());
    }
};

QTEST_MAIN(tst_TagEditor)
#include "tst_tageditor.moc"
