#include "platform/runfeedback.h"

#include "platform/platform.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

RunFeedback::RunFeedback(QWidget &window)
    : m_window(window)
{
}

RunFeedback::~RunFeedback()
{
    if (m_shown)
        Platform::instance().setTaskbarProgress(-1);
}

void RunFeedback::progress(double fraction)
{
    if (!std::isfinite(fraction))
        return;
    // Each chunk of a conversion reports; a message per chunk would flood the session bus.
    const int percent = int(std::floor(std::clamp(fraction, 0.0, 1.0) * 100));
    if (percent == m_percent)
        return;
    m_percent = percent;
    m_shown = true;
    Platform::instance().setTaskbarProgress(percent / 100.0);
}

void RunFeedback::finished(int converted, int failed)
{
    if (m_shown)
        Platform::instance().setTaskbarProgress(-1);
    m_shown = false;
    m_percent = -1;
    if (!m_window.isActiveWindow())
        Platform::instance().notifyRunFinished(converted, failed);
}
