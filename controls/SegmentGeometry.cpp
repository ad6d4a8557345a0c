// Seven-segment layout and colours: kept free of widgets so that tests can check the numbers.
#include "controls/SegmentGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace corvane::controls {

SegmentLayout SegmentLayoutFromSize(int width, int height)
{
    SegmentLayout l;
    const double scaled = height * 0.06;
    l.unit = scaled < 1.0 ? 1 : static_cast<int>(scaled);
    l.penWidth = 2;
    l.segLength = 7;
    l.segHeight = 4;
    l.cellWidth = 5 * l.unit + 7;
    l.cells = std::max(0, width) / l.cellWidth;
    return l;
}

int SegmentCharCode(char c)
{
    switch (c) {
    case '0': return 0xFC;
    case '1': return 0x60;
    case '2': return 0xDA;
    case '3': return 0xF2;
    case '4': return 0x66;
    case '5': return 0xB6;
    case '6': return 0xBE;
    case '7': return 0xE0;
    case '8': return 0xFE;
    case '9': return 0xF6;
    case '-': return 0x02;
    case '.': return kSegDecimalPoint;
    case ':': return 0x101;
    default: return 0;
    }
}

QLine SegmentLine(int bit, int x0, const SegmentLayout& l)
{
    const int u = l.unit;
    const int L = l.segLength;
    const int V = l.segHeight;
    const int bottomY = 7 * u + 2 * V + 2;
    switch (bit) {
    case kSegTop: return {x0 + 2 * u, 2, x0 + L, 2};
    case kSegUpperRight: return {x0 + L + 2 * u, 2 * u + 2, x0 + L + 2 * u, 2 * u + V + 2};
    case kSegLowerRight: return {x0 + L + 2 * u, 5 * u + V + 2, x0 + L + 2 * u, 5 * u + 2 * V + 2};
    case kSegBottom: return {x0 + 2 * u, bottomY, x0 + L, bottomY};
    case kSegLowerLeft: return {x0 + u, 5 * u + V + 2, x0 + u, 5 * u + 2 * V + 2};
    case kSegUpperLeft: return {x0 + u, 2 * u + 2, x0 + u, 2 * u + V + 2};
    case kSegMiddle: return {x0 + 2 * u, 4 * u + V + 2, x0 + L, 4 * u + V + 2};
    case kSegDecimalPoint: return {x0 + 2 * u, bottomY, static_cast<int>(L * 0.66f + x0), bottomY};
    default: return {};
    }
}

QRect SegmentStrokeRect(const QLine& line, int penWidth)
{
    // A pen of width w centred on the line covers w/2 pixels before it and the rest after.
    const int before = penWidth / 2;
    if (line.y1() == line.y2()) {
        const int x1 = std::min(line.x1(), line.x2());
        const int len = std::abs(line.x2() - line.x1());
        return QRect(x1, line.y1() - before, len, penWidth);
    }
    const int y1 = std::min(line.y1(), line.y2());
    const int len = std::abs(line.y2() - line.y1());
    return QRect(line.x1() - before, y1, penWidth, len);
}

COLORREF DimmedSegmentColor(COLORREF segment)
{
    return RGB((GetRValue(segment) * 4) / 8, (GetGValue(segment) * 4) / 8, (GetBValue(segment) * 3) / 8);
}

} // namespace corvane::controls
