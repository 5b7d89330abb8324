#pragma once

class QWidget;

// What a conversion run shows the desktop: its overall progress on the program's taskbar
// entry while it runs, and, when it ends while the window is not the active one (the user is
// elsewhere), one notification with how many files were converted and failed. Everything
// goes through the platform seam.
//
// The run makes one of these with its window when it starts, calls progress() wherever it
// updates the overall bar, and finished() once at the end, cancelled runs included, before
// the run's own closing message (a message box would count as the active window).
class RunFeedback
{
public:
    explicit RunFeedback(QWidget &window);
    // Takes the progress off if finished() was never reached.
    ~RunFeedback();
    RunFeedback(const RunFeedback &) = delete;
    RunFeedback &operator=(const RunFeedback &) = delete;

    // Overall progress, 0.0 to 1.0. Only a change of the whole percent reaches the desktop.
    void progress(double fraction);
    // The run has ended: the progress goes, and the notification comes if it is due.
    void finished(int converted, int failed);

private:
    QWidget &m_window;
    int m_percent = -1;
    bool m_shown = false;
};
