#pragma once

// What a screen reader calls the two bar pairs: the file's and the run's progress while
// converting, the two channels' levels while playing.
namespace BarNames {
inline constexpr const char *FileProgress = "File progress";
inline constexpr const char *RunProgress = "Run progress";
inline constexpr const char *LeftLevel = "Left level";
inline constexpr const char *RightLevel = "Right level";
} // namespace BarNames
