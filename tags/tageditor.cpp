#include "tags/tageditor.h"

#include "engine/engineerror.h"
#include "platform/platform.h"
#include "tags/fileinfo.h"
#include "tags/tagfields.h"
#include "tags/tagpanel.h"
#include "tags/tagwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include <limits>

namespace {

constexpr int GrowStep = 608;
constexpr int ShrinkStep = 1013;

QString numberText(qint64 n)
{
    return n > 0 ? QString::number(n) : QString();
}

} // namespace

TagEditor::TagEditor(TagPanel &panel, TagWindow &window, FileInfo &info, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_window(window)
    , m_info(info)
{
    TagPanel &p = m_panel;
    for (QWidget *box : std::initializer_list<QWidget *>{
             p.infoTitle, p.infoArtist, p.infoAlbum, p.infoGenre, p.infoYear, p.infoComment,
             p.infoTrack, p.infoGenreS, p.infoCopyright, p.infoComposer, p.infoURL, p.infoEncodedBy,
             p.infoOriginalArtist})
        box->installEventFilter(this);
    p.installEventFilter(this); // keys the panel's other controls leave unhandled
    // Closed, the panel lies below the window's edge: nothing in it may take the keyboard.
    p.setEnabled(isOpen());
    showVersion(tagVersion());
}

bool TagEditor::isOpen() const
{
    return m_window.heightTwips() == TagWindow::TagHeightTwips;
}

int TagEditor::tagVersion() const
{
    return m_panel.Option1[0]->isChecked() ? 1 : 2;
}

void TagEditor::EnterTagMode(const QString &path)
{
    LoadTags(path);
    if (isOpen())
        return;
    for (int twips = TagWindow::NormalHeightTwips; twips <= TagWindow::TagHeightTwips;
         twips += GrowStep) {
        m_window.setHeightTwips(twips);
        m_window.repaintNow();
    }
    m_panel.setEnabled(true);
    m_panel.cmdCloseTag->show();
    m_panel.lblFs->show();
    m_panel.infoTitle->setFocus();
}

void TagEditor::LeaveTagMode()
{
    for (int twips = TagWindow::TagHeightTwips; twips >= TagWindow::NormalHeightTwips;
         twips -= ShrinkStep)
        m_window.setHeightTwips(twips);
    m_window.repaintNow();
    m_panel.cmdCloseTag->hide();
    m_panel.lblFs->hide();
    m_panel.setEnabled(false);
}

std::array<QLineEdit *, 6> TagEditor::version2Boxes() const
{
    return {m_panel.infoGenreS, m_panel.infoCopyright, m_panel.infoComposer,
            m_panel.infoURL,    m_panel.infoEncodedBy, m_panel.infoOriginalArtist};
}

void TagEditor::showVersion(int version)
{
    // ID3v1 has no place for these six; they are greyed yet still handed over on Update.
    const QPalette standard = QApplication::palette();
    const QColor colour = standard.color(version != 1 ? QPalette::Base : QPalette::Button);
    for (QLineEdit *box : version2Boxes()) {
        box->setEnabled(version != 1);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, colour);
        box->setPalette(palette);
    }
}

void TagEditor::setYearText(const QString &text)
{
    // The box takes four characters from the keyboard, but shows a longer stored value whole.
    m_panel.infoYear->setMaxLength(std::max<int>(4, int(text.size())));
    m_panel.infoYear->setText(text);
}

void TagEditor::LoadTags(const QString &path)
{
    TagPanel &p = m_panel;
    m_shown = path;
    m_info.TagVersion = tagVersion();
    m_info.Load(path);
    showVersion(m_info.TagVersion == 1 ? 1 : 2);

    const FileInfo &f = m_info;
    const bool standardGenre = f.Genre >= 0 && f.Genre < FileInfo::GenreCount;
    m_loadedGenre = standardGenre ? f.Genre : -1;
    m_loadedGenreS = f.GenreS;
    p.infoTitle->setText(f.Title);
    p.infoArtist->setText(f.Artist);
    p.infoAlbum->setText(f.Album);
    p.infoGenre->setCurrentIndex(m_loadedGenre);
    p.infoGenreS->setText(f.GenreS);
    p.infoCopyright->setText(f.Copyright);
    p.infoComment->setText(f.Comment);
    setYearText(numberText(f.Year));
    p.infoTrack->setText(numberText(f.Track));
    p.infoComposer->setText(f.Composer);
    p.infoURL->setText(f.URL);
    p.infoEncodedBy->setText(f.EncodedBy);
    p.infoOriginalArtist->setText(f.OriginalArtist);

    const auto number = [](qint64 n, const char *unit = "") {
        return QString::number(n) + QLatin1String(unit);
    };
    p.infoFormatString->setText(f.FormatString());
    p.infoFrequency->setText(number(f.Frequency(), " Hz"));
    p.infoBitrate->setText(number(f.Bitrate(), " bps"));
    p.infoDuration->setText(number(f.GetDuration(), " ms"));
    p.infoChannels->setText(number(f.Channels()));
    p.infoSamples->setText(number(f.Samples()));
    p.infoSize->setText(number(f.GetFileSize()));
    p.infoBitsPerSample->setText(number(f.BitsPerSample()));
    p.infoFormatTag->setText(number(f.FormatTag()));
    // Long values are read from their beginning (setText leaves the cursor at the end).
    for (QLineEdit *box :
         {p.infoTitle, p.infoArtist, p.infoAlbum, p.infoComment, p.infoGenreS, p.infoCopyright,
          p.infoComposer, p.infoURL, p.infoEncodedBy, p.infoOriginalArtist, p.infoFormatString})
        box->setCursorPosition(0);

    p.lblFs->setText(QStringLiteral("File Name: ") + QFileInfo(path).fileName() +
                     QStringLiteral("  ( ") + f.FormatString() + QStringLiteral(" )"));
}

void TagEditor::warn(const QString &text)
{
    ShowWarning(text, m_panel.window());
}

std::optional<int> TagEditor::wholeNumber(QLineEdit *box, const QString &name, int minimum,
                                          int maximum, const QString &reason)
{
    const QString text = box->text().trimmed();
    if (text.isEmpty())
        return 0; // an empty box clears the field
    bool ok = !text.contains(QRegularExpression(QStringLiteral("[^0-9]")));
    const qint64 value = ok ? text.toLongLong(&ok) : 0;
    if (ok && value >= minimum && value <= maximum)
        return int(value);
    const QString range = maximum < std::numeric_limits<qint32>::max()
                              ? QStringLiteral(" from %1 to %2").arg(minimum).arg(maximum)
                              : QString();
    warn(QStringLiteral("The tag of \"%1\" was not updated: the %2 \"%3\" is not a whole "
                        "number%4%5.")
             .arg(QFileInfo(m_shown).fileName(), name, box->text(), range, reason));
    box->setFocus();
    box->selectAll();
    return std::nullopt;
}

void TagEditor::SaveTags()
{
    if (m_shown.isEmpty())
        return;
    TagPanel &p = m_panel;
    const std::optional<int> year =
        wholeNumber(p.infoYear, QStringLiteral("Year"), 0, std::numeric_limits<qint32>::max());
    if (!year)
        return;
    // ID3v1 keeps the track in one byte, where 0 means none: anything larger would be lost.
    // Other formats keep the fields of version 1 in their own tag, which has room.
    const std::optional<int> track =
        tagVersion() == 1 && TagIO::keepsId3v1(m_shown)
            ? wholeNumber(p.infoTrack, QStringLiteral("Track"), 1, 255,
                          QStringLiteral(" for an ID3v1 tag"))
            : wholeNumber(p.infoTrack, QStringLiteral("Track"), 0, 65535);
    if (!track)
        return;

    // Without a free text the genre text box mirrors the loaded genre's name; a new choice in
    // the list must not be outvoted by that stale mirror.
    const int genre = p.infoGenre->currentIndex();
    QString genreS = p.infoGenreS->text();
    if (genre != m_loadedGenre && m_loadedGenre >= 0 && genreS == m_loadedGenreS &&
        FileInfo::GenreNumber(genreS) == m_loadedGenre)
        genreS.clear();

    FileInfo &f = m_info;
    f.TagVersion = tagVersion();
    f.Title = p.infoTitle->text();
    f.Artist = p.infoArtist->text();
    f.Album = p.infoAlbum->text();
    f.Genre = genre;
    f.Copyright = p.infoCopyright->text();
    f.Comment = p.infoComment->text();
    f.Year = *year;
    f.Track = quint16(*track);
    f.URL = p.infoURL->text();
    f.Composer = p.infoComposer->text();
    f.EncodedBy = p.infoEncodedBy->text();
    f.GenreS = genreS;
    f.OriginalArtist = p.infoOriginalArtist->text();
    try {
        f.SaveTag(m_shown);
    } catch (const EngineError &e) {
        warn(e.message() + QStringLiteral("\nThe file was left as it was."));
    }
}

void TagEditor::Option1_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    m_panel.Option1[size_t(index)]->setChecked(true);
    if (m_shown.isEmpty())
        showVersion(index + 1);
    else
        LoadTags(m_shown);
}

void TagEditor::SwapTagVersion()
{
    TagPanel &p = m_panel;
    const std::array<QLineEdit *, 6> shared{p.infoTitle, p.infoArtist,  p.infoTrack,
                                            p.infoYear,  p.infoComment, p.infoAlbum};
    std::array<QString, 6> kept;
    for (size_t i = 0; i < shared.size(); ++i)
        kept[i] = shared[i]->text();
    const QString genre = p.infoGenre->currentText();

    Option1_Click(p.Option1[0]->isChecked() ? 1 : 0);

    for (size_t i = 0; i < shared.size(); ++i) {
        if (shared[i] == p.infoYear)
            setYearText(kept[i]);
        else
            shared[i]->setText(kept[i]);
        shared[i]->setCursorPosition(0);
    }
    p.infoGenre->setCurrentIndex(genre.isEmpty() ? -1 : p.infoGenre->findText(genre));
}

bool TagEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Escape) {
        m_panel.cmdCancel->click();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched != &m_panel) {
        m_panel.cmdSetInfo->click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
