// Segment display maths: layout from the height, segment lines, character codes, dimmed colour.
#include "controls/SegmentGeometry.h"

#include <gtest/gtest.h>

using namespace corvane::controls;

TEST(SegmentGeometry, LayoutFollowsTheHeight)
{
    const SegmentLayout panel = SegmentLayoutFromSize(60, 20);
    EXPECT_EQ(panel.unit, 1);
    EXPECT_EQ(panel.cellWidth, 12);
    EXPECT_EQ(panel.cells, 5);
    EXPECT_EQ(panel.penWidth, 2);
    const SegmentLayout tall = SegmentLayoutFromSize(60, 34);
    EXPECT_EQ(tall.unit, 2);
    EXPECT_EQ(tall.cellWidth, 17);
    EXPECT_EQ(tall.cells, 3);
    EXPECT_EQ(SegmentLayoutFromSize(100, 10).unit, 1); // never below one
    EXPECT_EQ(SegmentLayoutFromSize(11, 20).cells, 0);  // narrower than a cell
    EXPECT_EQ(SegmentLayoutFromSize(-5, 20).cells, 0);
}

TEST(SegmentGeometry, SegmentLinesOfACell)
{
    const SegmentLayout l = SegmentLayoutFromSize(60, 20);
    EXPECT_EQ(SegmentLine(kSegTop, 12, l), QLine(14, 2, 19, 2));
    EXPECT_EQ(SegmentLine(kSegUpperRight, 12, l), QLine(21, 4, 21, 8));
    EXPECT_EQ(SegmentLine(kSegLowerRight, 12, l), QLine(21, 11, 21, 15));
    EXPECT_EQ(SegmentLine(kSegBottom, 12, l), QLine(14, 17, 19, 17));
    EXPECT_EQ(SegmentLine(kSegLowerLeft, 12, l), QLine(13, 11, 13, 15));
    EXPECT_EQ(SegmentLine(kSegUpperLeft, 12, l), QLine(13, 4, 13, 8));
    EXPECT_EQ(SegmentLine(kSegMiddle, 12, l), QLine(14, 10, 19, 10));
    EXPECT_EQ(SegmentLine(kSegDecimalPoint, 12, l), QLine(14, 17, 16, 17));
    // A two-pixel pen, end point excluded.
    EXPECT_EQ(SegmentStrokeRect(QLine(14, 2, 19, 2), 2), QRect(14, 1, 5, 2));
    EXPECT_EQ(SegmentStrokeRect(QLine(21, 4, 21, 8), 2), QRect(20, 4, 2, 4));
}

TEST(SegmentGeometry, CharacterCodes)
{
    const char* digits = "0123456789";
    const int codes[] = {0xFC, 0x60, 0xDA, 0xF2, 0x66, 0xB6, 0xBE, 0xE0, 0xFE, 0xF6};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(SegmentCharCode(digits[i]), codes[i]) << digits[i];
    EXPECT_EQ(SegmentCharCode('-'), kSegMiddle);
    EXPECT_EQ(SegmentCharCode('.'), kSegDecimalPoint);
    EXPECT_EQ(SegmentCharCode(':') & kSegAllSeven, 0);
    EXPECT_EQ(SegmentCharCode('+'), 0);
    EXPECT_EQ(SegmentCharCode('E'), 0);
}

TEST(SegmentGeometry, DimmedColour)
{
    EXPECT_EQ(DimmedSegmentColor(0x33CCFF), 0x13667Fu);
    EXPECT_EQ(DimmedSegmentColor(RGB(255, 255, 255)), RGB(127, 127, 95));
    EXPECT_EQ(DimmedSegmentColor(0), 0u);
}
