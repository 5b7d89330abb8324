#pragma once

#include <QFrame>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The tag editor's panel below the job list: the tag fields, the file's audio properties,
// the tag version choice and the panel's buttons. It only holds the controls; the editor
// gives them their behaviour.
class TagPanel : public QFrame
{
    Q_OBJECT
public:
    explicit TagPanel(QWidget *parent = nullptr);

    // Fills the genre list with the genre names in number order.
    void fillGenres();

    QLineEdit *infoTitle = nullptr;
    QLineEdit *infoArtist = nullptr;
    QLineEdit *infoAlbum = nullptr;
    QComboBox *infoGenre = nullptr; // genre names 0..147 in number order
    QLineEdit *infoYear = nullptr;  // at most 4 characters
    QLineEdit *infoComment = nullptr;
    QLineEdit *infoTrack = nullptr;
    QLineEdit *infoGenreS = nullptr; // ID3v2 only from here ...
    QLineEdit *infoCopyright = nullptr;
    QLineEdit *infoComposer = nullptr;
    QLineEdit *infoURL = nullptr;
    QLineEdit *infoEncodedBy = nullptr;
    QLineEdit *infoOriginalArtist = nullptr; // ... to here
    QLineEdit *infoFormatString = nullptr;   // audio properties, read-only
    QLineEdit *infoFrequency = nullptr;
    QLineEdit *infoBitrate = nullptr;
    QLineEdit *infoDuration = nullptr;
    QLineEdit *infoChannels = nullptr;
    QLineEdit *infoSamples = nullptr;
    QLineEdit *infoSize = nullptr;
    QLineEdit *infoBitsPerSample = nullptr;
    QLineEdit *infoFormatTag = nullptr;
    QLabel *lblFs = nullptr;
    std::array<QRadioButton *, 2> Option1{}; // "ID3v1", "ID3v2"
    QPushButton *cmdCloseTag = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdSetInfo = nullptr;
    QPushButton *cmdID3 = nullptr;
};
