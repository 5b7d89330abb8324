#pragma once

// The window the tag editor panel belongs to, as far as the editor changes it: opening the
// panel makes the window taller by the panel's height, closing it gives that height back.
class TagWindow
{
public:
    // The window's default heights without and with the panel: the panel takes the difference.
    static constexpr int NormalHeightTwips = 6900;
    static constexpr int TagHeightTwips = 9940;
    static constexpr int PanelHeightTwips = TagHeightTwips - NormalHeightTwips;

    virtual ~TagWindow() = default;

    // The window's height now, whatever size the user gave it.
    virtual int heightTwips() const = 0;
    // One step of opening or closing the panel: the window becomes `twips` high and shows
    // `panelTwips` (0 up to the panel's height) of the panel below the job list. A window that
    // cannot grow (maximised, or at the screen's edge) takes that room from the list.
    virtual void setHeightTwips(int twips, int panelTwips) = 0;
    // Draws the window at once, so that each step of a resize is seen.
    virtual void repaintNow() = 0;
};
