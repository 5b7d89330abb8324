#pragma once

#include <memory>

class frmDialog;
class FileInfoProbe;
class JobListController;
struct JobListWiring;

// Wires the job list's commands to the main window: the buttons, the Files, Action and
// right-click menu entries, and the list's own events. Built at the end of the window's
// construction, after `viewEvent` and `jobs` exist.
class JobListCommands
{
public:
    explicit JobListCommands(frmDialog &window);
    ~JobListCommands();

    JobListController &controller() { return *m_controller; }
    // The hooks into the tag editor (tagEditorOpen, LeaveTagMode, EnterTagMode, LoadTags) and
    // the tooltip may be set here by whoever owns them.
    JobListWiring &wiring();

private:
    std::unique_ptr<FileInfoProbe> m_probe;
    std::unique_ptr<JobListController> m_controller;
};
