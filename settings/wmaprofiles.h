#pragma once

#include <QString>

#include <optional>

// The seven WMA choices of the options dialog, by slider position 1..7.
namespace WmaProfiles {

inline constexpr int First = 1;
inline constexpr int Last = 7;

// The engine's profile number of a position; nothing outside 1..7.
std::optional<int> WmaProfileNumbers(int position);
// The description text shown for a position with the engine's format text `format`.
QString description(int position, const QString &format);

} // namespace WmaProfiles
