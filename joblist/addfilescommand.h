#pragma once

#include "joblist/fileadder.h"

#include <QStringList>

class AudioProbe;
class OutputOptions;
class QMimeData;
struct JobListWidgets;

// The two ways files come in: the source-file dialog (which also takes a playlist) and a drop
// of files onto the list.
class AddFilesCommand
{
public:
    AddFilesCommand(JobListWidgets &widgets, AudioProbe &probe, OutputOptions &options);

    // The dialog's filter: caption/pattern pieces, the sixth (every decodable kind)
    // preselected, "All files" last.
    static QString sourceFilter();
    static constexpr int SourceFilterIndex = 6;

    // The "Add Files" command.
    void run();
    // Files dropped on the list; false when the data carries no file list.
    bool drop(const QMimeData *data);
    // Files opened with the program from the desktop, by a start or a later start: the step
    // a drop takes with its accepted paths. No ending is asked for (the desktop entry names
    // the types); what the engine cannot read gets no row.
    void addPaths(const QStringList &paths);
    // Whether a dropped path's ending names a kind the engine decodes.
    static bool acceptedOnDrop(const QString &path);

private:
    void importPlaylist(const QString &path);
    FileAdder::Destination destination() const;
    void showSelectedCount();

    JobListWidgets &m_widgets;
    OutputOptions &m_options;
    FileAdder m_adder;
};
