// The tag editor in the real main window, driven through its buttons, menus, list and keys.
#include "app/frmdialog.h"
#include "joblist/joblistmodel.h"
#include "tags/tagpanel.h"

#include "tests/support/fixture.h"
#include "tests/support/testenv.h"
#include "tests/support/testplatform.h"
#include "tests/tags/probedtag.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

class tst_TagEditorWindow : public QObject
{
    Q_OBJECT

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    TestPlatform *m_platform = nullptr;
    std::unique_ptr<frmDialog> m_w;

    QPoint rowCentre(int row) const
    {
        return m_w->viewEvent->visualRect(m_w->jobs->index(row, 1)).center();
    }
    void hover(int row)
    {
        QWidget *viewport = m_w->viewEvent->viewport();
        QMouseEvent move(QEvent::MouseMove, rowCentre(row), viewport->mapToGlobal(rowCentre(row)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }

private slots:
    void init()
    {
        m_platform = TestPlatform::install();
        m_w = std::make_unique<frmDialog>();
        m_w->Form_Load();
        m_w->show();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
    }
    void cleanup() { m_w.reset(); }

    void newUserRetitlesAFile()
    {
        const QString song = Fixture::tone(m_dir.path(), "song.mp3", 1, {"-id3v2_version", "0"});
        m_platform->openFilesAnswers << QStringList{song};
        m_w->cmdOpenFile->click();
        hover(0);
        m_w->cmdTag->click();
        QCOMPARE(m_w->heightTwips(), 9940);
        QWidget *focus = QApplication::focusWidget();
        QCOMPARE(focus, m_w->tagPanel->infoTitle);
        QTest::keyClicks(focus, "My new title");
        QTest::keyClick(focus, Qt::Key_Return);
        QCOMPARE(probedTag(song, "title"), QString("My new title"));
        QTest::keyClick(focus, Qt::Key_Escape);
        QCOMPARE(m_w->heightTwips(), 6901);
        QVERIFY(m_platform->callsOf("messageBox").isEmpty());
    }

    void everyEntryReachesTheEditor()
    {
        const QString one = Fixture::tone(m_dir.path(), "one.ogg", 1, {"-c:a", "libvorbis"});
        const QString two = Fixture::tone(m_dir.path(), "two.ogg", 1, {"-c:a", "libvorbis"});
        m_platform->openFilesAnswers << QStringList{one, two};
        m_w->cmdOpenFile->click();
        TagPanel &p = *m_w->tagPanel;
        hover(0);
        const auto opensAndCloses = [&](const std::function<void()> &open, QPushButton *close) {
            open();
            QCOMPARE(m_w->heightTwips(), 9940);
            close->click();
            QCOMPARE(m_w->heightTwips(), 6901);
        };
        opensAndCloses([&] { m_w->id3tag->trigger(); }, p.cmdCloseTag);
        opensAndCloses([&] { m_w->id3->trigger(); }, p.cmdCancel);
        QTest::mouseClick(m_w->viewEvent->viewport(), Qt::LeftButton, {}, rowCentre(0));
        QTest::mouseDClick(m_w->viewEvent->viewport(), Qt::LeftButton, {}, rowCentre(0));
        QCOMPARE(m_w->heightTwips(), 9940);

        hover(1); // a click on another row while open shows that row
        QTest::mouseClick(m_w->viewEvent->viewport(), Qt::LeftButton, {}, rowCentre(1));
        QVERIFY(p.lblFs->text().startsWith("File Name: two.ogg  ( "));
        p.Option1[1]->click();
        QVERIFY(p.infoURL->isEnabled());
        p.cmdID3->click();
        QVERIFY(p.Option1[0]->isChecked() && !p.infoURL->isEnabled());
        p.infoTitle->setText("Second");
        p.cmdSetInfo->click();
        QCOMPARE(probedTag(two, "title"), QString("Second"));

        m_w->cmdClear->click();
        QCOMPARE(m_w->heightTwips(), 6901);
    }
};

QTEST_MAIN(tst_TagEditorWindow)
#include "tst_tageditorwindow.moc"
