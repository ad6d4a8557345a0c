// The controls' pure maths and drawing helpers: knob angles, pointer mapping, steps, ring
// shading; segment layout, pen and codes; gradient bands and label alignment; the display
// formats; the off-screen drawing context.
#include "controls/CBufferedDC.h"
#include "controls/GradientBands.h"
#include "controls/KnobGeometry.h"
#include "controls/LabelTextLayout.h"
#include "controls/PrintfFormat.h"
#include "controls/SegmentGeometry.h"
#include "controls/StaticStyles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

using namespace corvane::controls;

// The panel's own settings (range 0..359, zero angle 180: the marker's angles, the dead-sector
// clamp, the wrap of key steps) are covered through the knob widget; here the other ranges.
TEST(KnobGeometry, AnglesPointerPositionsAndWrappingSteps)
{
    EXPECT_EQ(KnobAngle(60, 0, 359, 180, true), 120);
    EXPECT_EQ(KnobAngle(0, 0, 359, 0, true), 360);
    EXPECT_EQ(KnobAngle(50, 0, 100, 0, false), 178);   // 101 steps: truncating division
    EXPECT_EQ(KnobAngle(0, 0, 359, -900, false), 180); // any zero angle lands in 0..359

    EXPECT_EQ(KnobPositionFromOffset(10, 0, 0, 359, 0, false), 90);
    EXPECT_EQ(KnobPositionFromOffset(0, 10, 0, 359, 0, false), 180);
    EXPECT_EQ(KnobPositionFromOffset(-10, 0, 0, 359, 0, false), 270);
    EXPECT_EQ(KnobPositionFromOffset(10, 0, 0, 359, 0, true), 270);
    EXPECT_EQ(KnobPositionFromOffset(1, 13, 0, 359, 180, false), 355); // just right of the bottom
    EXPECT_EQ(KnobPositionFromOffset(0, -10, 10, 109, 0, false), 10);  // offset range

    EXPECT_EQ(KnobStep(60, -1, 0, 359), 59); // into the dead sector: no clamp
    EXPECT_EQ(KnobStep(0, -1000, 0, 359), 80);
    EXPECT_EQ(KnobStep(-10, -1, -10, 10), 10);
}

TEST(KnobGeometry, MidpointRingShadedFromTheTopLeft)
{
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    EXPECT_EQ(ShadeColor(-2.356, white, black), white);
    EXPECT_EQ(ShadeColor(0.785, white, black), black);
    EXPECT_EQ(ShadeColor(-0.785, white, black), RGB(127, 127, 127)); // halfway, truncated
    EXPECT_GT(GetRValue(ShadeColor(3.141592654, white, black)), 200); // bright side of the 6.293 wrap

    // First octant of radius 3: (3,0), (3,1), (2,2); eight pixels per step.
    const auto small = ShadedRingPixels(0, 0, 3, white, black);
    ASSERT_EQ(small.size(), 24u);
    EXPECT_EQ(std::tuple(small[0].x, small[0].y, small[8].x, small[8].y, small[16].x, small[16].y),
              std::tuple(3, 0, 3, 1, 2, 2));
    const int c = 22, r = 14;
    std::set<std::pair<int, int>> seen;
    for (const KnobPixel& p : ShadedRingPixels(c, c, r, white, black)) {
        SCOPED_TRACE(::testing::Message() << p.x << "," << p.y);
        EXPECT_LT(std::abs(std::hypot(p.x - c, p.y - c) - r), 0.75);
        const bool topLeft = p.x < c - 4 && p.y < c - 4, bottomRight = p.x > c + 4 && p.y > c + 4;
        EXPECT_TRUE(!topLeft || GetRValue(p.colour) > 200); // lit from the top left
        EXPECT_TRUE(!bottomRight || GetRValue(p.colour) < 55);
        seen.insert({p.x, p.y});
    }
    for (auto pt : {std::pair(c + r, c), std::pair(c - r, c), std::pair(c, c + r), std::pair(c, c - r)})
        EXPECT_TRUE(seen.count(pt));
}

// The panel's layout, segment places, codes of digits, "-" and "." and the dimmed colour are
// checked on the painted display; here the sizes it never has and the characters it never shows.
TEST(SegmentGeometry, OddSizesPenAndUnknownCharacters)
{
    EXPECT_EQ(SegmentLayoutFromSize(100, 10).unit, 1); // never below one
    EXPECT_EQ(SegmentLayoutFromSize(11, 20).cells, 0); // narrower than a cell
    EXPECT_EQ(SegmentLayoutFromSize(-5, 20).cells, 0);
    EXPECT_EQ(SegmentStrokeRect(QLine(14, 2, 19, 2), 2), QRect(14, 1, 5, 2)); // two-pixel pen,
    EXPECT_EQ(SegmentStrokeRect(QLine(21, 4, 21, 8), 2), QRect(20, 4, 2, 4)); // end excluded
    EXPECT_EQ(SegmentCharCode(':') & kSegAllSeven, 0);
    EXPECT_EQ(SegmentCharCode('+'), 0);
    EXPECT_EQ(SegmentCharCode('E'), 0);
}

TEST(GradientBands, WideLabelCapsBandsAndLastBandTakesTheRest)
{
    const auto bands = GradientBands(QRect(3, 2, 250, 12), RGB(200, 100, 0), RGB(0, 100, 255), 100);
    ASSERT_EQ(bands.size(), 100u);
    EXPECT_EQ(bands.front().rect, QRect(3, 2, 2, 12));
    EXPECT_EQ(bands.front().colour, RGB(200, 100, 0));
    EXPECT_EQ(bands.back().rect, QRect(3 + 99 * 2, 2, 52, 12));
    for (size_t i = 1; i < bands.size(); ++i) {
        EXPECT_EQ(bands[i].rect.left(), bands[i - 1].rect.right() + 1);
        EXPECT_LE(GetRValue(bands[i].colour), GetRValue(bands[i - 1].colour));
        EXPECT_GE(GetBValue(bands[i].colour), GetBValue(bands[i - 1].colour));
    }
    EXPECT_TRUE(GradientBands(QRect(0, 0, 0, 10), 0, 0xFFFFFF, 100).empty());
    EXPECT_TRUE(GradientBands(QRect(0, 0, 10, 10), 0, 0xFFFFFF, 0).empty());
}

TEST(LabelTextLayout, AlignmentFromStyleBits)
{
    // Style, text, the flags it must have and those it must not, and the text drawn. Centre-image:
    // one line centred both ways; with CR LF centred across, from the top, breaking only there.
    const int wrap = Qt::TextWordWrap;
    const struct { DWORD style; const char* text; int has, hasNot; const char* drawn; } cases[] = {
        {SS_CENTER, "A", Qt::AlignHCenter | wrap | Qt::AlignTop | Qt::TextShowMnemonic, 0, "A"},
        {SS_RIGHT, "A", Qt::AlignRight | wrap, 0, "A"},
        {SS_LEFTNOWORDWRAP, "A", Qt::AlignLeft, wrap, "A"},
        {SS_LEFT | SS_NOTIFY, "A", Qt::AlignLeft | wrap, 0, "A"},
        {SS_LEFT | SS_CENTERIMAGE, "one\nline", Qt::AlignHCenter | Qt::AlignVCenter, 0, "one line"},
        {SS_CENTER | SS_CENTERIMAGE, "two\r\nlines", Qt::AlignHCenter | Qt::AlignTop, wrap | Qt::AlignVCenter, "two\nlines"}};
    for (const auto& c : cases) {
        const LabelTextLayout layout = LabelTextLayoutFor(c.style, c.text);
        EXPECT_EQ(std::tuple(layout.flags & (c.has | c.hasNot), layout.text), std::tuple(c.has, c.drawn)) << c.style;
    }
}

// The panel's own formats ("%0.3f", "%0.2f", "%d", "%ld" with a degree sign) are checked on the
// segment display and the knob; here the odd ones, copied rather than interpreted.
TEST(PrintfFormat, OddFormatsCopiedNotInterpreted)
{
    const std::pair<QString, QString> cases[] = {
        {"%000.0f", "1"}, {"%.3d", "001"}, {"%x", "1"}, {"%s", "%s"}, {"%d and %d", "1 and %d"},
        {"100%%", "100%"}, {"%*d", "%*d"}, {"%99999d", "%99999d"}, {"50%", "50%"}, {"no number", "no number"}};
    for (const auto& [format, shown] : cases)
        EXPECT_EQ(FormatNumber(format, 1.0), shown) << format.toStdString();
    EXPECT_EQ(FormatNumber("%.3d", 7.9), "007"); // truncated
    EXPECT_EQ(FormatNumber("%x", 255), "ff");
    EXPECT_EQ(FormatNumber("%d", 1e30), "2147483647");
}

TEST(CBufferedDC, CopiesItsRectangleToTheSamePlaceWhenDone)
{
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        CBufferedDC dc(&target, QRect(5, 5, 10, 10));
        dc.fillRect(QRect(0, 0, 20, 20), Qt::red);
        dc.fillRect(QRect(5, 5, 1, 1), Qt::blue);
        EXPECT_EQ(target.pixelColor(7, 7), QColor(Qt::white)); // nothing reaches the target yet
    }
    // Its corners land on the same place of the target, and nothing outside changes.
    const auto at = [&](int x, int y) { return target.pixelColor(x, y); };
    EXPECT_EQ(std::tuple(at(5, 5), at(14, 14), at(4, 4), at(15, 10)),
              std::tuple(QColor(Qt::blue), QColor(Qt::red), QColor(Qt::white), QColor(Qt::white)));
    EXPECT_EQ(CBufferedDC(&target).BufferedRect(), QRect(0, 0, 20, 20)); // empty rect: all of it
}
