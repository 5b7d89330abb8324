#pragma once

#include "tags/tageditorcalls.h"

// The tag editor while the panel has no behaviour: never open, every call does nothing.
class NoTagEditor : public TagEditorCalls
{
public:
    bool isOpen() const override { return false; }
    void EnterTagMode() override {}
    void LeaveTagMode() override {}
    void LoadTags(const QString &) override {}
};
