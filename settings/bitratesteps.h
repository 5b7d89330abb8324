#pragma once

#include <array>
#include <optional>

// Slider position -> kbit/s, shared by every bitrate slider of the options dialog.
inline constexpr std::array<int, 15> BitrateSteps{8,   16,  24,  32,  48,  56,  64, 96,
                                                  112, 128, 160, 192, 224, 256, 320};

// The bitrate of a slider position; nothing for a position outside the table.
inline std::optional<int> bitrateAt(int position)
{
    if (position < 0 || position >= int(BitrateSteps.size()))
        return std::nullopt;
    return BitrateSteps[std::size_t(position)];
}
