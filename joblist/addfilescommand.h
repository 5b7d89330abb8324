#pragma once

#include "joblist/fileadder.h"
#include "joblist/folderscan.h"

#include <QList>
#include <QPointer>
#include <QShortcut>
#include <QStringList>

#include <functional>

class AudioProbe;
class OutputOptions;
class QMimeData;
struct JobListWidgets;

// The ways files come in: the source-file dialog (which also takes a playlist), the folder
// picker, a drop of files or folders onto the list, and paths handed over by the desktop.
class AddFilesCommand
{
public:
    // While `holdRows` says so (a conversion run walks the list), the rows a folder walk
    // reads wait and join the list afterwards.
    AddFilesCommand(JobListWidgets &widgets, AudioProbe &probe, OutputOptions &options,
                    std::function<bool()> holdRows = {});
    ~AddFilesCommand();

    // The dialog's filter: caption/pattern pieces, the sixth (every decodable kind)
    // preselected, "All files" last.
    static QString sourceFilter();
    static constexpr int SourceFilterIndex = 6;

    // The "Add Files" command.
    void run();
    // The "Add Folder..." command: the folder picker, then addFolder().
    void pickFolder();
    // Adds, off the window's thread, every file the program converts under `folder`; the
    // status bar counts the files found, Escape stops the walk and keeps what was added.
    void addFolder(const QString &folder);
    // Ends the folder walks in progress; the rows already added stay.
    void stopAdding();
    bool isAdding() const { return m_scan.isRunning(); }
    // Files and folders dropped on the list; false when the data carries no file list.
    bool drop(const QMimeData *data);
    // Files and folders opened with the program from the desktop, by a start or a later
    // start: the step a drop takes with its accepted paths. No ending is asked for (the
    // desktop entry names the types); what the engine cannot read gets no row.
    void addPaths(const QStringList &paths);
    // Whether a dropped path's ending names a kind the engine decodes.
    static bool acceptedOnDrop(const QString &path);
    // The rows a folder walk read while they were held; the run calls this at its end.
    void addHeldRows();

private:
    void importPlaylist(const QString &path);
    FileAdder::Destination destination() const;
    void showSelectedCount();
    void rowsRead(const QList<FolderScan::File> &files, int found);
    void scanFinished(const QStringList &unreadable);

    JobListWidgets &m_widgets;
    OutputOptions &m_options;
    FileAdder m_adder;
    std::function<bool()> m_holdRows;
    bool rowsHeld() const { return m_holdRows && m_holdRows(); }
    FolderScan m_scan;
    QList<FolderScan::File> m_held;
    QPointer<QShortcut> m_escape; // a child of the window, which may go first
};
