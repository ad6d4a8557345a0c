// Pure maths of the label's banded left-to-right gradient.
#pragma once

#include "platform/wintypes.h"

#include <QRect>

#include <vector>

namespace corvane::controls {

struct GradientBand {
    QRect rect;
    COLORREF colour;
};

// At most maxSteps bands (never more than one per pixel column) from `from` at the left to
// `to` at the right; colours step in 1/256 fixed point; the last band takes the remainder.
std::vector<GradientBand> GradientBands(const QRect& r, COLORREF from, COLORREF to, int maxSteps);

} // namespace corvane::controls
