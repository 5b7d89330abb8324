#pragma once

#include <QString>

// How minutes and hours of a play length are written: padded to two digits (files added by a
// multiple pick or a drop) or plain (a single pick, playlist lines).
enum class LengthForm { Padded, Plain };

// The "Length" column text of a play length in milliseconds: "00:00:7", "00:02:05" / "00:2:05",
// "01:02:05" / "1:02:05".
QString FormatLength(qint64 milliseconds, LengthForm form);

// The "Size" column text: mebibytes with at most two decimals and an always written point,
// followed by "M": "1.5M", "3.M", "0.95M".
QString FormatSize(qint64 bytes);

// Status panel 2 between runs: "Total Selected Files: " and the number of ticked rows.
QString SelectedFilesText(qint64 count);
