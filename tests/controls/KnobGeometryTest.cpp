// Knob maths: angles, pointer mapping with the dead sector, wrap-around steps, ring and marker.
#include "controls/KnobGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

using namespace corvane::controls;

TEST(KnobGeometry, AngleOfPositionWithPanelSettings)
{
    EXPECT_EQ(KnobAngle(60, 0, 359, 180, false), 240);  // lower left
    EXPECT_EQ(KnobAngle(180, 0, 359, 180, false), 0);   // top
    EXPECT_EQ(KnobAngle(300, 0, 359, 180, false), 120); // lower right
    EXPECT_EQ(KnobAngle(60, 0, 359, 180, true), 120);
    EXPECT_EQ(KnobAngle(0, 0, 359, 0, true), 360);
    EXPECT_EQ(KnobAngle(50, 0, 100, 0, false), 178);    // 101 steps: truncating division
    EXPECT_EQ(KnobAngle(0, 0, 359, -900, false), 180);   // any zero angle lands in 0..359
}

TEST(KnobGeometry, PointerOffsetToPosition)
{
    EXPECT_EQ(KnobPositionFromOffset(0, -10, 0, 359, 0, false), 0);
    EXPECT_EQ(KnobPositionFromOffset(10, 0, 0, 359, 0, false), 90);
    EXPECT_EQ(KnobPositionFromOffset(0, 10, 0, 359, 0, false), 180);
    EXPECT_EQ(KnobPositionFromOffset(-10, 0, 0, 359, 0, false), 270);
    EXPECT_EQ(KnobPositionFromOffset(10, 0, 0, 359, 0, true), 270);
    // Zero angle 180: straight below is 0, just right of the bottom wraps to the top of the range.
    EXPECT_EQ(KnobPositionFromOffset(0, 13, 0, 359, 180, false), 0);
    EXPECT_EQ(KnobPositionFromOffset(1, 13, 0, 359, 180, false), 355);
    EXPECT_EQ(KnobPositionFromOffset(-10, 0, 0, 359, 180, false), 90);
    EXPECT_EQ(KnobPositionFromOffset(0, -10, 10, 109, 0, false), 10); // offset range
    EXPECT_EQ(KnobClampPointerPosition(0), 60);
    EXPECT_EQ(KnobClampPointerPosition(359), 300);
    EXPECT_EQ(KnobClampPointerPosition(150), 150);
}

TEST(KnobGeometry, KeyboardStepsWrapAroundTheWholeRange)
{
    EXPECT_EQ(KnobStep(0, -1, 0, 359), 359);
    EXPECT_EQ(KnobStep(359, 1, 0, 359), 0);
    EXPECT_EQ(KnobStep(355, 10, 0, 359), 5);
    EXPECT_EQ(KnobStep(5, -10, 0, 359), 355);
    EXPECT_EQ(KnobStep(60, -1, 0, 359), 59); // into the dead sector: no clamp
    EXPECT_EQ(KnobStep(0, -1000, 0, 359), 80);
    EXPECT_EQ(KnobStep(-5, -1, -10, 10), -6);
    EXPECT_EQ(KnobStep(-10, -1, -10, 10), 10);
}

TEST(KnobGeometry, ShadeLightsTopLeftAndDarkensBottomRight)
{
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(ShadeColor(-2.356, white, black), white);
    EXPECT_EQ(ShadeColor(0.785, white, black), black);
    EXPECT_EQ(ShadeColor(-0.785, white, black), RGB(127, 127, 127)); // halfway, truncated
    EXPECT_EQ(ShadeColor(-2.356, RGB(10, 20, 30), RGB(200, 100, 0)), RGB(10, 20, 30));
    // Left of the centre lies on the bright side of the 6.293 wrap.
    EXPECT_GT(GetRValue(ShadeColor(3.141592654, white, black)), 200);
}

TEST(KnobGeometry, MidpointRingTracesEachOctantWithItsOwnAngle)
{
    const auto ring = ShadedRingPixels(0, 0, 3, RGB(255, 255, 255), RGB(0, 0, 0));
    // First octant of radius 3: (3,0), (3,1), (2,2); eight pixels per step.
    ASSERT_EQ(ring.size(), 24u);
    EXPECT_EQ(std::make_pair(ring[0].x, ring[0].y), std::make_pair(3, 0));
    EXPECT_EQ(std::make_pair(ring[8].x, ring[8].y), std::make_pair(3, 1));
    EXPECT_EQ(std::make_pair(ring[16].x, ring[16].y), std::make_pair(2, 2));

    const int cx = 22, cy = 22, r = 14;
    std::set<std::pair<int, int>> seen;
    for (const KnobPixel& p : ShadedRingPixels(cx, cy, r, RGB(255, 255, 255), RGB(0, 0, 0))) {
        const double dist = std::hypot(p.x - cx, p.y - cy);
        EXPECT_LT(std::abs(dist - r), 0.75) << p.x << "," << p.y;
        // Lit from the top left: that quadrant bright, the opposite one dark.
        if (p.x < cx - 4 && p.y < cy - 4) {
            EXPECT_GT(GetRValue(p.colour), 200) << p.x << "," << p.y;
        }
        if (p.x > cx + 4 && p.y > cy + 4) {
            EXPECT_LT(GetRValue(p.colour), 55) << p.x << "," << p.y;
        }
        seen.insert({p.x, p.y});
    }
    for (auto pt : {std::make_pair(cx + r, cy), std::make_pair(cx - r, cy), std::make_pair(cx, cy + r),
                    std::make_pair(cx, cy - r)})
        EXPECT_TRUE(seen.count(pt));
}

TEST(KnobGeometry, MarkerIsAFiveByFiveDotWithoutCorners)
{
    const KnobPoint c = KnobMarkerCentre(22, 22, 14, 240);
    EXPECT_EQ(c.x, 13);
    EXPECT_EQ(c.y, 27);
    const auto pixels = KnobMarkerPixels({10, 10});
    ASSERT_EQ(pixels.size(), 21u);
    std::set<std::pair<int, int>> seen;
    for (const KnobPixel& p : pixels) {
        EXPECT_LE(std::abs(p.x - 10), 2);
        EXPECT_LE(std::abs(p.y - 10), 2);
        EXPECT_FALSE(std::abs(p.x - 10) == 2 && std::abs(p.y - 10) == 2);
        const int ring = std::max(std::abs(p.x - 10), std::abs(p.y - 10));
        const COLORREF expected = ring == 2 ? 0x0080FF : (p.x != 10 && p.y != 10) ? 0x66CCFF : 0xFFFFFF;
        EXPECT_EQ(p.colour, expected) << p.x << "," << p.y;
        seen.insert({p.x, p.y});
    }
    EXPECT_EQ(seen.size(), 21u);
}
