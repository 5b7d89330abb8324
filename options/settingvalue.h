#pragma once

#include <QString>

#include <optional>

// Conversions of stored setting texts. A text that does not convert makes its load step fail,
// which the dialog skips.
namespace SettingValue {

// A whole number in plain decimal (surrounding blanks allowed).
std::optional<int> wholeNumber(const QString &text);
// A check box state: "0" unticked, "1" ticked; anything else does not convert.
std::optional<bool> checkState(const QString &text);
inline QString fromBool(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
// A quality 0..1000 shown in tenths of the slider's scale: a leading blank and no leading
// zero (450 -> " 4.5", 50 -> " .5", 0 -> " 0", 1000 -> " 10").
QString qualityTip(int position);

} // namespace SettingValue
