#pragma once

#include "joblist/addfilescommand.h"
#include "joblist/joblistwidgets.h"
#include "joblist/listfocus.h"

#include <QObject>
#include <QPersistentModelIndex>

#include <functional>

class OutputOptions;
class QEvent;
class QMimeData;
class TagEditorCalls;

// The operations on the list as a whole and the list's own events: adding, clearing, removing
// the ticked rows, the selection commands, ticks, header clicks, the pointer and row clicks,
// the right-button popup and file drops.
class JobListCommands : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *StopPlayingMessage = "Please stop playing at first   ";

    // What the list asks of the player and the run, which it cannot see: the list is not
    // changed under a playing file, and a folder's rows wait for the end of a run.
    struct Activity
    {
        std::function<bool()> isPlaying;
        std::function<bool()> runActive;
    };

    JobListCommands(JobListWidgets widgets, Activity activity, AudioProbe &probe,
                    OutputOptions &options, TagEditorCalls &tagEditor, QObject *parent = nullptr);
    ~JobListCommands() override;

    void addFiles();
    // "Add Folder...": the folder picker, then every file under the folder, off this thread.
    void addFolder();
    // Ends a folder walk in progress (the window closes); what was added stays.
    void stopAdding();
    // A conversion run has ended: rows a folder walk read meanwhile join the list.
    void runEnded();
    void outputPlaylist();
    void clearAll();
    void removeChecked();
    void selectAll();
    void selectNone();
    void invertSelection();

    void checkBoxChanged(int row, bool checked);
    void columnHeaderClicked(int column);
    // Pointer position in the view's viewport.
    void mouseMoved(const QPoint &position);
    void mousePressed(Qt::MouseButton button, const QPoint &position);
    void rowClicked();
    void doubleClicked();
    // Opens the tag editor on the row the pointer was last over.
    void EnterTagMode();
    bool filesDropped(const QMimeData *data);
    // Files and folders opened with the program from the desktop: added as a drop adds them.
    void addPaths(const QStringList &paths);

    // Panel 2: "Total Selected Files: " and the number of ticked rows.
    void showSelectedCount();

    ListFocus &focus() { return m_focus; }

signals:
    // The pointer left the rows: the list's tooltip should go.
    void hoverCleared();
    // The right button was pressed on the list: `menu` should pop up at `globalPosition`
    // the way the window's skin shows popups.
    void popupRequested(QMenu *menu, const QPoint &globalPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void attachView();
    // The list's own keys: Space ticks the current row, the arrows move it, Menu opens its
    // popup. True when the event was taken.
    bool keyEvent(QEvent *event);
    void makeCurrent(int row);
    void followCurrentRow();
    bool refuseWhilePlaying();
    void setSelectedCount(qint64 count);
    void updateSortIndicator();

    JobListWidgets m_widgets;
    Activity m_activity;
    ListFocus m_focus;
    TagEditorCalls &m_tagEditor;
    AddFilesCommand m_addFiles;
    // The row last made current, followed through sorts, insertions and removals: intCurItem
    // is kept on it, and when it is removed there is no current file.
    QPersistentModelIndex m_current;
    bool m_tracking = false;
};
