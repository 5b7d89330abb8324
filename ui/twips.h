#pragma once

// Window and column sizes are kept in twips, the unit the layout was designed in.
namespace Twips {

inline constexpr int PerPixel = 15;

constexpr int toPixels(int twips)
{
    return (twips + PerPixel / 2) / PerPixel;
}

} // namespace Twips
