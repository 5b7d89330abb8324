#pragma once

#include <QString>

// The options other subsystems read while the program runs: where outputs go and what
// happens after a run.
class OutputOptions
{
public:
    virtual ~OutputOptions() = default;

    virtual QString outputFolder() = 0;
    // "Convert into source folder (ignore Output directory setting)".
    virtual bool convertIntoSourceFolder() = 0;
    virtual bool openFolderAfterRun() = 0;
    // "Files converted at once": 1 to 64, or 0 for one per processor core.
    virtual int filesAtOnce() = 0;
    // "Keep the folder structure of added folders".
    virtual bool keepFolderStructure() { return true; }
    // "Split long files across cores".
    virtual bool splitLongFiles() { return true; }
};
