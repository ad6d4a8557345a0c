// Label maths: gradient bands and text layout from the static's style bits.
#include "controls/GradientBands.h"
#include "controls/LabelTextLayout.h"
#include "controls/StaticStyles.h"

#include <gtest/gtest.h>

using namespace corvane::controls;

TEST(GradientBands, OnePixelBandsOnANarrowLabel)
{
    const auto bands = GradientBands(QRect(0, 0, 40, 10), RGB(0, 0, 0), RGB(200, 100, 40), 100);
    ASSERT_EQ(bands.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(bands[i].rect, QRect(i, 0, 1, 10));
        EXPECT_EQ(bands[i].colour, RGB(5 * i, (640 * i) / 256, i)) << i;
    }
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
    const auto has = [](int flags, int f) { return (flags & f) == f; };
    const int centre = LabelTextLayoutFor(SS_CENTER, "A").flags;
    EXPECT_TRUE(has(centre, Qt::AlignHCenter | Qt::TextWordWrap | Qt::AlignTop | Qt::TextShowMnemonic));
    EXPECT_TRUE(has(LabelTextLayoutFor(SS_RIGHT, "A").flags, Qt::AlignRight | Qt::TextWordWrap));
    const int noWrap = LabelTextLayoutFor(SS_LEFTNOWORDWRAP, "A").flags;
    EXPECT_TRUE(has(noWrap, Qt::AlignLeft));
    EXPECT_FALSE(has(noWrap, Qt::TextWordWrap));
    EXPECT_TRUE(has(LabelTextLayoutFor(SS_LEFT | SS_NOTIFY, "A").flags, Qt::AlignLeft | Qt::TextWordWrap));

    // Centre-image: one line centred both ways; with CR LF centred across, from the top,
    // breaking only at the line breaks.
    const LabelTextLayout one = LabelTextLayoutFor(SS_LEFT | SS_CENTERIMAGE, "one\nline");
    EXPECT_TRUE(has(one.flags, Qt::AlignHCenter | Qt::AlignVCenter));
    EXPECT_EQ(one.text, "one line");
    const LabelTextLayout two = LabelTextLayoutFor(SS_CENTER | SS_CENTERIMAGE, "two\r\nlines");
    EXPECT_TRUE(has(two.flags, Qt::AlignHCenter | Qt::AlignTop));
    EXPECT_FALSE(has(two.flags, Qt::TextWordWrap));
    EXPECT_FALSE(has(two.flags, Qt::AlignVCenter));
    EXPECT_EQ(two.text, "two\nlines");
}
