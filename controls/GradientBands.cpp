// Band layout and colours of a horizontal gradient, in the 8.8 fixed point the label uses.
#include "controls/GradientBands.h"

#include <algorithm>

namespace corvane::controls {

std::vector<GradientBand> GradientBands(const QRect& r, COLORREF from, COLORREF to, int maxSteps)
{
    std::vector<GradientBand> bands;
    const int width = r.width();
    const int n = std::min(maxSteps, width);
    if (width <= 0 || n <= 0)
        return bands;
    int red = GetRValue(from) * 256;
    int green = GetGValue(from) * 256;
    int blue = GetBValue(from) * 256;
    const int stepRed = ((GetRValue(to) - GetRValue(from)) * 256) / n;
    const int stepGreen = ((GetGValue(to) - GetGValue(from)) * 256) / n;
    const int stepBlue = ((GetBValue(to) - GetBValue(from)) * 256) / n;
    const int bandWidth = width / n;
    const int rightEdge = r.left() + width;
    int left = r.left();
    bands.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int right = (i == n - 1) ? rightEdge : left + bandWidth;
        bands.push_back({QRect(left, r.top(), right - left, r.height()), RGB(red / 256, green / 256, blue / 256)});
        left = right;
        red += stepRed;
        green += stepGreen;
        blue += stepBlue;
    }
    return bands;
}

} // namespace corvane::controls
