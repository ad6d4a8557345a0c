// The panel's mapping arithmetic: the exact numbers a user sees for given control positions.
#include "panel/ParameterMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace corvane::panel;

TEST(ParameterMapping, HoldFromTopSlider)
{
    EXPECT_EQ(HoldFromValue(UnitFromTopSlider(0)), 100);
    // 1 - 43 * 0.01f is stored just below 0.57, so the hold is 56, not 57.
    EXPECT_LT(static_cast<double>(UnitFromTopSlider(43)), 0.57);
    EXPECT_EQ(HoldFromValue(UnitFromTopSlider(43)), 56);
    EXPECT_GT(UnitFromTopSlider(100), 0.0f);
    EXPECT_EQ(HoldFromValue(UnitFromTopSlider(100)), 1);
    EXPECT_EQ(HoldFromValue(-0.5f), 1);
    EXPECT_EQ(HoldFromValue(0.25f), 25);
    EXPECT_EQ(HoldSliderPosition(25), 75);
    EXPECT_EQ(HoldFromValue(std::numeric_limits<float>::quiet_NaN()), 1);
    EXPECT_EQ(HoldFromValue(1e30f), std::numeric_limits<int>::max());
}

TEST(ParameterMapping, FilterFrequencyAndQ)
{
    EXPECT_FLOAT_EQ(CutoffFromValue(UnitFromTopSlider(10)), 9000.0f);
    EXPECT_EQ(CutoffFromValue(UnitFromTopSlider(40)), 6000.0f);
    EXPECT_EQ(CutoffFromValue(UnitFromTopSlider(100)), 10.0f);
    EXPECT_EQ(CutoffFromValue(-1.0f), 10.0f);
    EXPECT_EQ(CutoffFromValue(0.0f), 10.0f);
    EXPECT_EQ(CutoffFromValue(std::numeric_limits<float>::quiet_NaN()), 10.0f);
    EXPECT_EQ(CutoffFromValue(2.0f), 20000.0f); // no upper limit at block rate
    // 0.6 is stored a little above 0.6, so the slider lands one step higher.
    EXPECT_EQ(TopSliderPosition(UnitFromTopSlider(40)), 39);
    EXPECT_EQ(TopSliderPosition(0.5f), 50);
    EXPECT_EQ(TopSliderPosition(0.0f), 100);
    EXPECT_EQ(TopSliderPosition(1.0f), 0);
    EXPECT_EQ(TopSliderPosition(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ParameterMapping, VolumeFromSlider)
{
    const float v = VolumeFromSlider(1);
    EXPECT_EQ(VolumeHundredthsFromValue(v), -99);     // from the unrounded product
    EXPECT_EQ(VolumeShownFromValue(v), -100.0f);      // the same product stored as float
    EXPECT_EQ(FormatValue("%000.0f", VolumeShownFromValue(v)), "-100");
    EXPECT_EQ(VolumeHundredthsFromValue(VolumeFromSlider(100)), -10000);
    EXPECT_EQ(VolumeHundredthsFromValue(VolumeFromSlider(0)), 0);
    EXPECT_EQ(VolumeSliderPosition(-99), 0);
    EXPECT_EQ(VolumeSliderPosition(-10000), 100);
    EXPECT_EQ(VolumeSliderPosition(-5050), 50);
}

TEST(ParameterMapping, PanPitchAndLfo)
{
    EXPECT_EQ(FormatValue("%0.3f", BipolarFromSlider(-100)), "-1.000");
    EXPECT_EQ(BipolarSliderPosition(-1.0f), -100);
    EXPECT_EQ(BipolarSliderPosition(0.5f), 50);

    EXPECT_EQ(PitchRatio(BipolarFromSlider(50), 4), 2.0f);
    EXPECT_EQ(PitchRatio(-1.0f, 4), 0.25f);
    EXPECT_EQ(PitchRatio(0.0f, 4), 1.0f);
    EXPECT_EQ(PitchRatio(1.0f, 4), 4.0f);
    EXPECT_EQ(PitchRatio(BipolarFromSlider(-100), 4), 0.25f);

    EXPECT_EQ(FormatValue("%0.3f", LfoFrequencyFromSlider(14)), "0.980");
    EXPECT_EQ(FormatValue("%0.3f", LfoFrequencyFromSlider(1)), "0.005");
    EXPECT_FLOAT_EQ(LfoFrequencyFromSlider(100), 50.0f);
    EXPECT_FLOAT_EQ(LfoFrequencyFromSlider(10), 0.5f);

    EXPECT_EQ(KnobDepth(60), 0.0f);
    EXPECT_EQ(FormatValue("%0.3f", KnobDepth(300)), "1.000");
    EXPECT_EQ(FormatValue("%0.3f", KnobDepth(0)), "-0.250");
    EXPECT_EQ(FormatValue("%0.3f", KnobDepth(359)), "1.246");
    EXPECT_FLOAT_EQ(SmoothFromSlider(0), 1.0f);
    EXPECT_EQ(SmoothFromSlider(100), 0.0f);
}

TEST(ParameterMapping, SixteenBitConversion)
{
    EXPECT_EQ(ConvertSample(1.0f), 32000);
    EXPECT_EQ(ConvertSample(1.5f), 32000);
    EXPECT_EQ(ConvertSample(-1.0f), -32000);
    EXPECT_EQ(ConvertSample(0.99999f), 31999);
    EXPECT_EQ(ConvertSample(-0.00002f), 0);
    EXPECT_EQ(ConvertSample(-0.99999f), -31999);
    EXPECT_EQ(ConvertSample(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(ConvertSample(std::numeric_limits<float>::infinity()), 32000);
    EXPECT_EQ(ConvertSample(-std::numeric_limits<float>::infinity()), -32000);
    EXPECT_EQ(ConvertSample(1e30f), 32000);

    const float in[4] = {0.5f, -0.25f, 2.0f, std::nanf("")};
    std::int16_t out[4] = {1, 1, 1, 1};
    ConvertBlock(in, out, 4);
    EXPECT_EQ(out[0], 16000);
    EXPECT_EQ(out[1], -8000);
    EXPECT_EQ(out[2], 32000);
    EXPECT_EQ(out[3], 0);
}

TEST(ParameterMapping, InfoLine)
{
    EXPECT_EQ(InfoLine("Volume", "-100.000", ""), "Volume\r\n-100.000 ");
    EXPECT_EQ(InfoLine("LFO 1 - Frequency", "0.980", "Hz"), "LFO 1 - Frequency\r\n0.980 Hz");
    EXPECT_EQ(InfoLine("Pan", "0.000", nullptr), "Pan\r\n0.000 ");
    EXPECT_EQ(InfoLine(nullptr, "1", ""), "");
    EXPECT_EQ(InfoLine("Pan", nullptr, ""), "");
    // An over-long name is cut at the buffer, never overrun.
    const std::string longName(400, 'x');
    EXPECT_EQ(InfoLine(longName.c_str(), "1", "").size(), 255u);
}
