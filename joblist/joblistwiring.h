#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class AudioProbe;
class JobListModel;
class QLineEdit;
class QMenu;
class QTreeView;
class QWidget;
class StatusBar;

// What the job list's commands touch of the main window: its widgets and shared variables (not
// owned), and the hooks into other subsystems. The window fills it in the program; tests fill
// it with widgets of their own.
struct JobListWiring
{
    JobListModel *jobs = nullptr;
    QTreeView *viewEvent = nullptr;
    QWidget *window = nullptr; // owner of dialogs and message boxes
    StatusBar *StatusBar1 = nullptr;
    QLineEdit *txtFolder = nullptr;
    AudioProbe *probe = nullptr;
    QMenu *rightmenu = nullptr;

    QString *CurrentFile = nullptr;
    qint64 *HoverRow = nullptr;
    qint64 *intCurItem = nullptr;
    const bool *IsPlaying = nullptr;

    // The options dialog's "convert into source folder" check box (chkOldfolder).
    std::function<bool()> convertIntoSourceFolder;
    // The tag editor panel: open (the tall window), leaving, entering, loading a file's tag.
    std::function<bool()> tagEditorOpen;
    std::function<void()> LeaveTagMode;
    std::function<void()> EnterTagMode;
    std::function<void(const QString &)> LoadTags;
    // Takes down the list's tooltip window.
    std::function<void()> destroyTooltip;
    // Shows a popup menu at a screen point; a plain popup when unset.
    std::function<void(QMenu *, const QPoint &)> popupMenu;
};
