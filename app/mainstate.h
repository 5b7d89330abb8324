#pragma once

#include <QString>

// The state the window's subsystems share, under the names they all know it by. Each
// subsystem is handed a reference; none reads another's widgets to learn it.
class MainState
{
public:
    QString CurrentFile;    // full path of the current row, or of the file being converted
    QString CurrentBase;    // that file's folder plus its name without the last extension
    qint64 intCurItem = 0;  // 1-based position of the current row (0: none)
    qint64 HoverRow = 0;    // 1-based row under the mouse pointer (0: none)
    bool IsPlaying = false; // the player is playing
    qint64 intPlaying = 0;  // row being played
    bool paused = false;
    bool flgConvert = false;   // one file of a conversion run is being converted
    qint64 TotalSelected = 0;  // ticked rows when the run started
    bool RunCancelled = false; // "Cancel..." was clicked during the run
    // A conversion run is walking the list, also between two files (when flgConvert is
    // false). Whatever must not happen under a run asks this, never a button's caption.
    bool runActive = false;
};
