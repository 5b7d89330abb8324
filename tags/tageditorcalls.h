#pragma once

#include <QString>

// What other subsystems ask of the tag editor panel.
class TagEditorCalls
{
public:
    virtual ~TagEditorCalls() = default;

    // The panel is open (the window stands at its tall height).
    virtual bool isOpen() const = 0;
    // Shows `path`'s tag in the panel and opens the panel.
    virtual void EnterTagMode(const QString &path) = 0;
    virtual void LeaveTagMode() = 0;
    // Shows `path`'s tag and properties in the panel's boxes.
    virtual void LoadTags(const QString &path) = 0;
};
