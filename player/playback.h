#pragma once

#include "player/playbackwidgets.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QString>

class AudioPlayer;
class Converter;
struct ListFocus;
class OutputOptions;
class QEvent;
class QPoint;
enum class MessageIcon;

// Plays the current row's source or converted file: the Reader decodes it block by block and
// the AudioPlayer plays the blocks, asking for more through its events. Also pause and continue,
// stop, seeking with the position slider, the level meters and the elapsed seconds, and the
// Play button's popup.
class Playback : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *Caption = "Playing File";
    static constexpr const char *SelectFileMessage = "Please select a file at first!   ";
    static constexpr const char *NotConvertedMessage =
        "This file hasn't been converted, please convert it at first!   ";

    // Plays the file and row `focus` names.
    Playback(PlaybackWidgets widgets, const ListFocus &focus, Converter &Reader,
             AudioPlayer &player, OutputOptions &options, QObject *parent = nullptr);
    ~Playback() override;

    void PlaySource();
    void PlayConverted();
    void PauseOrContinue();
    void StopPlayback();
    void FeedNextBlock();
    // The player's timer: frames played since it last (re)started, left and right levels.
    void ShowProgress(qint64 CurrentSamples, int LevelLeft, int LevelRight);
    // The position slider was released.
    void SeekTo();

    bool isPlaying() const { return IsPlaying; }
    bool isPaused() const { return paused; }

signals:
    // A mouse button was pressed on the Play button: `menu` should pop up at `globalPosition`
    // the way the window's skin shows popups.
    void popupRequested(QMenu *menu, const QPoint &globalPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The file "Play Converted File" plays for row `row` (1-based): where converting that
    // row into the format of status panel 3 writes its output; "" when no name can be built.
    QString convertedFile(qint64 row) const;
    void play(const QString &file, bool converted);
    bool queueNextBlock();
    void feedTwoBlocks();
    void setPauseCaptions(const QString &caption);
    // The 0-based row being played, followed through sorting (-1 once it was removed).
    int playingRow();
    void setPlayingStatus(const char *word);
    void restorePlayingRow();
    void message(const QString &text, const QString &caption, MessageIcon icon);

    PlaybackWidgets m_widgets;
    const ListFocus &m_focus;
    bool IsPlaying = false;
    bool paused = false;
    Converter &m_reader;
    AudioPlayer &m_player;
    OutputOptions &m_options;
    QPersistentModelIndex m_playingRow;
    qint64 m_basePosition = 0; // frame at which the player last (re)started
    int m_blockSize = 0;
    bool m_seeking = false; // the position slider is held down
};
