#pragma once

#include <QColor>

// Text contrast as the web's accessibility guidelines measure it: (L1 + 0.05) / (L2 + 0.05)
// of the two relative luminances, 1 (none) to 21 (black on white).
namespace Contrast {

inline constexpr double Readable = 4.5; // what normal-size text needs

double ratio(const QColor &a, const QColor &b);
// `preferred` when it reaches `minimum` on `background`; else the same hue made darker (on a
// light background) or lighter (on a dark one) until it does.
QColor readableOn(const QColor &background, const QColor &preferred, double minimum = Readable);

} // namespace Contrast
