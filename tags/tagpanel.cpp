#include "tags/tagpanel.h"

#include "tags/fileinfo.h"
#include "ui/namedwidgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

using namespace NamedWidgets;

namespace {

// A label with its box in one row of a form grid.
void addRow(QGridLayout *grid, int row, int column, const QString &caption, QWidget *box)
{
    auto *label = new QLabel(caption, box->parentWidget());
    label->setBuddy(box);
    if (column > 0)
        label->setContentsMargins(10, 0, 0, 0); // a gap between the groups of fields
    grid->addWidget(label, row, column);
    grid->addWidget(box, row, column + 1);
}

} // namespace

TagPanel::TagPanel(QWidget *parent)
    : QFrame(parent)
{
    QWidget *panel = this;
    setObjectName(QStringLiteral("tagPanel"));
    setFrameShape(QFrame::StyledPanel);
    auto *outer = new QVBoxLayout(panel);
    outer->setContentsMargins(8, 2, 8, 2);
    outer->setSpacing(2);

    // Heading: the file's name and format, the tag version choice, and the close box.
    auto *heading = new QHBoxLayout;
    heading->setSpacing(6);
    lblFs = named(new QLabel(panel), QStringLiteral("lblFs"));
    lblFs->setTextFormat(Qt::PlainText);
    lblFs->setVisible(false);
    lblFs->setMinimumWidth(80);
    heading->addWidget(lblFs, 1);
    Option1[0] =
        named(new QRadioButton(QStringLiteral("ID3v1"), panel), QStringLiteral("Option1_0"));
    Option1[1] =
        named(new QRadioButton(QStringLiteral("ID3v2"), panel), QStringLiteral("Option1_1"));
    auto *versions = new QButtonGroup(panel);
    for (int i = 0; i < 2; ++i) {
        Option1[size_t(i)]->setProperty("index", i);
        versions->addButton(Option1[size_t(i)], i);
        heading->addWidget(Option1[size_t(i)]);
    }
    Option1[0]->setChecked(true);
    cmdID3 = button(panel, "cmdID3", QStringLiteral("<-->"),
                    QStringLiteral("  Copy between ID3v1 and ID3v2  "));
    heading->addWidget(cmdID3);
    heading->addSpacing(12);
    cmdCloseTag =
        button(panel, "cmdCloseTag", QStringLiteral("X"), QStringLiteral("Close Tag Editor Mode"));
    cmdCloseTag->setVisible(false);
    heading->addWidget(cmdCloseTag);
    outer->addLayout(heading);

    // Fields: the shared ones, the ID3v2-only ones, then the audio properties with the panel's
    // buttons below them.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(1);
    infoTitle = field(panel, "infoTitle");
    infoArtist = field(panel, "infoArtist");
    infoAlbum = field(panel, "infoAlbum");
    infoGenre = named(new QComboBox(panel), QStringLiteral("infoGenre"));
    infoGenre->setMaxVisibleItems(20);
    infoYear = field(panel, "infoYear");
    infoYear->setMaxLength(4);
    infoComment = field(panel, "infoComment");
    infoTrack = field(panel, "infoTrack");
    addRow(grid, 0, 0, QStringLiteral("Title:"), infoTitle);
    addRow(grid, 1, 0, QStringLiteral("Artists:"), infoArtist);
    addRow(grid, 2, 0, QStringLiteral("Album:"), infoAlbum);
    addRow(grid, 3, 0, QStringLiteral("Genre:"), infoGenre);
    addRow(grid, 4, 0, QStringLiteral("Year:"), infoYear);
    addRow(grid, 5, 0, QStringLiteral("Track:"), infoTrack);
    addRow(grid, 6, 0, QStringLiteral("Comment:"), infoComment);

    infoGenreS = field(panel, "infoGenreS");
    infoCopyright = field(panel, "infoCopyright");
    infoComposer = field(panel, "infoComposer");
    infoURL = field(panel, "infoURL");
    infoEncodedBy = field(panel, "infoEncodedBy");
    infoOriginalArtist = field(panel, "infoOriginalArtist");
    addRow(grid, 0, 2, QStringLiteral("Gerne (String):"), infoGenreS);
    addRow(grid, 1, 2, QStringLiteral("Copyright:"), infoCopyright);
    addRow(grid, 2, 2, QStringLiteral("Composer:"), infoComposer);
    addRow(grid, 3, 2, QStringLiteral("URL:"), infoURL);
    addRow(grid, 4, 2, QStringLiteral("Encoded By:"), infoEncodedBy);
    addRow(grid, 5, 2, QStringLiteral("OriginalArtist:"), infoOriginalArtist);

    infoFormatString = field(panel, "infoFormatString", true);
    infoFrequency = field(panel, "infoFrequency", true);
    infoBitrate = field(panel, "infoBitrate", true);
    infoDuration = field(panel, "infoDuration", true);
    infoChannels = field(panel, "infoChannels", true);
    infoSamples = field(panel, "infoSamples", true);
    infoSize = field(panel, "infoSize", true);
    infoBitsPerSample = field(panel, "infoBitsPerSample", true);
    infoFormatTag = field(panel, "infoFormatTag", true);
    // The format description is the longest: it takes the whole width of both columns.
    auto *formatLabel = new QLabel(QStringLiteral("FormatString:"), panel);
    formatLabel->setBuddy(infoFormatString);
    formatLabel->setContentsMargins(10, 0, 0, 0);
    grid->addWidget(formatLabel, 0, 4);
    grid->addWidget(infoFormatString, 0, 5, 1, 3);
    addRow(grid, 1, 4, QStringLiteral("Frequency:"), infoFrequency);
    addRow(grid, 2, 4, QStringLiteral("Bitrate:"), infoBitrate);
    addRow(grid, 3, 4, QStringLiteral("Duration:"), infoDuration);
    addRow(grid, 4, 4, QStringLiteral("Channels:"), infoChannels);
    addRow(grid, 1, 6, QStringLiteral("Samples:"), infoSamples);
    addRow(grid, 2, 6, QStringLiteral("Size:"), infoSize);
    addRow(grid, 3, 6, QStringLiteral("BitsPerSample:"), infoBitsPerSample);
    addRow(grid, 4, 6, QStringLiteral("FormatTag:"), infoFormatTag);

    cmdSetInfo = button(panel, "cmdSetInfo", QStringLiteral("Update"),
                        QStringLiteral("  Update current files' ID3 Tag Information  "));
    cmdCancel = button(panel, "cmdCancel", QStringLiteral("Cancel"),
                       QStringLiteral("  Close Tag Editor Mode  "));
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addStretch(1);
    buttons->addWidget(cmdSetInfo);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 5, 4, 2, 4, Qt::AlignBottom);

    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 3);
    grid->setColumnStretch(5, 2);
    grid->setColumnStretch(7, 2);
    outer->addLayout(grid);
    outer->addStretch(1);

    // Compact boxes so that every field fits the panel's height, whatever padding a skin gives.
    setStyleSheet(
        QStringLiteral("QLineEdit, QComboBox { padding-top: 0px; padding-bottom: 0px; }"));
    for (QLineEdit *edit : panel->findChildren<QLineEdit *>())
        edit->setFixedHeight(22);
    infoGenre->setFixedHeight(22);
    for (QLineEdit *edit : {infoFormatString, infoFrequency, infoBitrate, infoDuration,
                            infoChannels, infoSamples, infoSize, infoBitsPerSample, infoFormatTag})
        edit->setMinimumWidth(106);
    for (QLineEdit *edit :
         {infoGenreS, infoCopyright, infoComposer, infoURL, infoEncodedBy, infoOriginalArtist})
        edit->setMinimumWidth(130);
    // A stored text is shown whole, however long; only the year is held to four characters.
    for (QLineEdit *edit :
         {infoTitle, infoArtist, infoAlbum, infoComment, infoGenreS, infoCopyright, infoComposer,
          infoURL, infoEncodedBy, infoOriginalArtist})
        edit->setMaxLength(std::numeric_limits<int>::max());
}

void TagPanel::fillGenres()
{
    infoGenre->clear();
    for (int genre = 0; genre < 148; ++genre)
        infoGenre->addItem(FileInfo::GenreName(genre));
}
