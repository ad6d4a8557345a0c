// Pure layout, segment and colour maths of the seven-segment display.
#pragma once

#include "platform/wintypes.h"

#include <QLine>
#include <QRect>

namespace corvane::controls {

// Segment bits of a character code; kSegDecimalPoint is a code of its own, not a bit.
enum SegmentBit : int {
    kSegTop = 0x80,
    kSegUpperRight = 0x40,
    kSegLowerRight = 0x20,
    kSegBottom = 0x10,
    kSegLowerLeft = 0x08,
    kSegUpperLeft = 0x04,
    kSegMiddle = 0x02,
};
constexpr int kSegDecimalPoint = 0x100;
constexpr int kSegAllSeven = 0xFE;

struct SegmentLayout {
    int unit = 1;        // u, from the height
    int penWidth = 2;    // segment stroke width, pixels
    int segLength = 7;   // x offset where horizontal segments end
    int segHeight = 4;   // length of vertical segments
    int cellWidth = 12;  // 5u + 7
    int cells = 0;       // whole cells that fit in the width
};

// Layout for a client area of width x height pixels.
SegmentLayout SegmentLayoutFromSize(int width, int height);

// Character code: bits of the lit segments, kSegDecimalPoint for ".", 0x101 for ":" and 0
// for anything that lights nothing.
int SegmentCharCode(char c);

// Line of one segment bit (or kSegDecimalPoint) in the cell whose left edge is x0; the end
// point is excluded when drawing.
QLine SegmentLine(int bit, int x0, const SegmentLayout& layout);

// Pixels covered by a segment line stroked with penWidth (end point excluded).
QRect SegmentStrokeRect(const QLine& line, int penWidth);

// Dimmed colour of the unlit segments: half red, half green, three eighths blue.
COLORREF DimmedSegmentColor(COLORREF segment);

} // namespace corvane::controls
