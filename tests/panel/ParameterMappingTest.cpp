// The panel's mapping arithmetic where the widgets cannot reach: the float rounding that makes
// results differ by one, modulation values beyond the controls' ranges, and the conversion.
#include "panel/ParameterMapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace corvane::panel;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
} // namespace

TEST(ParameterMapping, RoundingOfStoredFloats)
{
    // 1 - 40 * 0.01f is stored a little above 0.6, so a route moves the slider to 39, not 40.
    EXPECT_EQ(TopSliderPosition(UnitFromTopSlider(40)), 39);
    EXPECT_EQ(VolumeSliderPosition(-99), 0);
    EXPECT_EQ(FormatValue("%0.3f", KnobDepth(359)), "1.246");
    EXPECT_EQ(FormatValue("%0.3f", LfoFrequencyFromSlider(1)), "0.005");
    EXPECT_FLOAT_EQ(SmoothFromSlider(0), 1.0f);
}

TEST(ParameterMapping, ModulationBeyondTheControls)
{
    EXPECT_EQ(HoldFromValue(-0.5f), 1);
    EXPECT_EQ(HoldFromValue(kNaN), 1);
    EXPECT_EQ(HoldFromValue(1e30f), std::numeric_limits<int>::max());
    EXPECT_EQ(CutoffFromValue(-1.0f), 10.0f);
    EXPECT_EQ(CutoffFromValue(kNaN), 10.0f); // a NaN must never reach the filter
    EXPECT_EQ(CutoffFromValue(2.0f), 20000.0f); // no upper limit at block rate
    EXPECT_EQ(TopSliderPosition(kNaN), 0);
    EXPECT_EQ(VolumeHundredthsFromValue(-kInf), std::numeric_limits<int>::min());
    EXPECT_EQ(BipolarSliderPosition(1e20f), std::numeric_limits<int>::max());
    EXPECT_EQ(PitchRatio(1000.0f, 4), std::numeric_limits<float>::max());
    EXPECT_EQ(PitchRatio(-1.0f, 4), 0.25f);
}

TEST(ParameterMapping, SixteenBitConversion)
{
    const float in[] = {1.0f, 1.5f, -1.0f, 0.99999f, -0.00002f, kNaN, kInf, -kInf, 1e30f, 0.5f};
    const std::int16_t expected[] = {32000, 32000, -32000, 31999, 0, 0, 32000, -32000, 32000, 16000};
    std::int16_t out[10] = {};
    ConvertBlock(in, out, 10);
    EXPECT_EQ(std::vector(out, out + 10), std::vector(expected, expected + 10));
}

// (The info line's usual form is checked through the panel's info box.)
TEST(ParameterMapping, InfoLine)
{
    EXPECT_EQ(InfoLine(nullptr, "1", ""), "");
    EXPECT_EQ(InfoLine("Pan", nullptr, ""), "");
    // An over-long name is cut at the 256-character buffer, never overruns it.
    const std::string longName(400, 'x');
    EXPECT_EQ(InfoLine(longName.c_str(), "1", "").size(), 255u);
}
