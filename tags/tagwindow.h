#pragma once

// The window the tag editor panel belongs to, as far as the editor changes it: the panel comes
// into view when the window grows from its normal height to the tall one.
class TagWindow
{
public:
    static constexpr int NormalHeightTwips = 6900;
    static constexpr int TagHeightTwips = 9940;

    virtual ~TagWindow() = default;

    virtual int heightTwips() const = 0;
    virtual void setHeightTwips(int twips) = 0;
    // Draws the window at once, so that each step of a resize is seen.
    virtual void repaintNow() = 0;
};
