#include "ui/contrast.h"

#include "ui/skin/skinfile.h"

#include <algorithm>

double Contrast::ratio(const QColor &a, const QColor &b)
{
    const double la = SkinFile::luminance(a);
    const double lb = SkinFile::luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Contrast::readableOn(const QColor &background, const QColor &preferred, double minimum)
{
    if (ratio(background, preferred) >= minimum)
        return preferred;
    // Black reaches more on a light background, white on a dark one.
    const bool darker = ratio(background, Qt::black) >= ratio(background, Qt::white);
    const QColor hsl = preferred.toHsl();
    const float from = hsl.lightnessF();
    for (int step = 1; step <= 100; ++step) {
        const float t = float(step) / 100.0f;
        const float lightness = darker ? from * (1.0f - t) : from + (1.0f - from) * t;
        const QColor candidate =
            QColor::fromHslF(std::max(0.0f, hsl.hslHueF()), hsl.hslSaturationF(), lightness)
                .toRgb();
        if (ratio(background, candidate) >= minimum)
            return candidate;
    }
    return darker ? QColor(Qt::black) : QColor(Qt::white);
}
