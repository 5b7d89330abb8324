#pragma once

class JobListModel;
class QWidget;

// The "Output Playlist" command: writes every row's full path, in list order, to a playlist
// the user names, then opens it with the desktop.
class PlaylistExport
{
public:
    static constexpr const char *EmptyListMessage = "Please Add Files at first!   ";
    static constexpr const char *ProposedName = "MyPlaylist";
    static constexpr const char *Filter = "Play List File(*.M3U)|*.M3U";
    static constexpr const char *Title = "Save Playlist as";
    // The filter's extension, given to a name that has none.
    static constexpr const char *Extension = ".M3U";

    static void run(const JobListModel &jobs, QWidget *owner);
};
