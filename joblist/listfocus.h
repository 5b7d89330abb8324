#pragma once

#include <QString>
#include <QtGlobal>

// The row the user acts on and the row under the pointer, kept by the job list's commands.
// The run, playback and the commands of the menus read them here.
struct ListFocus
{
    QString CurrentFile;   // full path of the current row, or of the file being converted
    qint64 intCurItem = 0; // 1-based position of the current row (0: none)
    qint64 HoverRow = 0;   // 1-based row under the mouse pointer (0: none)
};
