#pragma once

#include "settings/outputoptions.h"

// Output options as a test fixes them: "/output" as the folder, one file at a time.
struct FixedOptions : OutputOptions
{
    bool intoSourceFolder = false;

    QString outputFolder() override { return QStringLiteral("/output"); }
    bool convertIntoSourceFolder() override { return intoSourceFolder; }
    bool openFolderAfterRun() override { return false; }
    int filesAtOnce() override { return 1; }
};
