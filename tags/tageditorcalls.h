#pragma once

#include <QString>

// What other subsystems ask of the tag editor panel.
class TagEditorCalls
{
public:
    virtual ~TagEditorCalls() = default;

    // The panel is open (tag editor mode).
    virtual bool isOpen() const = 0;
    virtual void EnterTagMode() = 0;
    virtual void LeaveTagMode() = 0;
    // Shows `path`'s tag and properties in the panel's boxes.
    virtual void LoadTags(const QString &path) = 0;
};
