// Pixel colours compared channel by channel within a tolerance and printed,
// and pixels of an area counted: the drawing checks of the toolkit, the
// editor and the Windows check program.
#pragma once

#include "toolkit/Geometry.h"

#include <cstdlib>
#include <string>

inline bool similar(const CColor& a, const CColor& b, int tolerance = 4)
{
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance && std::abs(a.alpha - b.alpha) <= tolerance;
}

inline std::string str(const CColor& c)
{
    return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ", " +
           std::to_string(c.alpha) + ")";
}

// Pixels of `image` (anything with getPixel(x, y)) inside `area` that `match` accepts.
template <class Image, class Match>
int countPixels(const Image& image, const CRect& area, Match match)
{
    int count = 0;
    for (int y = (int)area.top; y < area.bottom; ++y)
        for (int x = (int)area.left; x < area.right; ++x) count += match(image.getPixel(x, y)) ? 1 : 0;
    return count;
}
