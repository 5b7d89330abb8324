#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cmath>

// The arithmetic between the player's frame counts, the position slider and the meters.
// Counts are 64-bit: ten hours at 192 kHz are beyond 32 bits of frames.
namespace PlayPosition {

// Percent (0..100, rounded) of `length` that `position` has reached; 0 for an unknown length.
inline int percent(qint64 position, qint64 length)
{
    if (length <= 0 || position <= 0)
        return 0;
    return int(std::lround(std::min(100.0, double(position) * 100.0 / double(length))));
}

// The frame that a slider value (percent) stands for.
inline qint64 seekTarget(int sliderValue, qint64 length)
{
    return qint64(std::clamp(sliderValue, 0, 100)) * std::max<qint64>(length, 0) / 100;
}

// A meter's steps for a level of 0..100: levels of 40 and below still show one step.
inline int levelSteps(int level)
{
    return int(std::lround(std::max(level - 40, 1) / 0.6));
}

// Whole seconds, rounded, of a play time in milliseconds.
inline qint64 roundedSeconds(qint64 ms)
{
    return (ms + 500) / 1000;
}

} // namespace PlayPosition
