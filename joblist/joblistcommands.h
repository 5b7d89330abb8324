#pragma once

class frmDialog;

// Placeholder until the real class lands: wires the job list's commands to the main window.
class JobListCommands
{
public:
    explicit JobListCommands(frmDialog &) {}
};
