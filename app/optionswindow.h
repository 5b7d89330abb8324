#pragma once

#include <QString>

// What the main window's commands ask of the options window.
class OptionsWindow
{
public:
    virtual ~OptionsWindow() = default;

    // Puts `folder` into the output-folder box, loading the window hidden first if needed.
    virtual void setOutputFolderBox(const QString &folder) = 0;
    // Drops the hidden copy and shows the window modally, freshly read from the settings.
    virtual void showFresh() = 0;
};
