// State-variable filter: responses, the output clamp, and recovery from the unstable corner.
#include "engine/CRandomSource.h"
#include "engine/CSvFilter.h"

#include "SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr unsigned kBlock = 882;

std::vector<float> FilterNoise(CSvFilter& filter, CRandomSource& random, unsigned blocks)
{
    std::vector<float> out(blocks * kBlock);
    for (float& v : out)
        v = random.Draw();
    for (unsigned b = 0; b < blocks; ++b)
        filter.Process(out.data() + b * kBlock, kBlock);
    return out;
}

double Ratio(const std::vector<float>& s, double lo1, double hi1, double lo2, double hi2)
{
    return engine_test::Db(engine_test::BandDensity(s, lo1, hi1) / engine_test::BandDensity(s, lo2, hi2));
}

TEST(CSvFilter, FourResponsesAroundTheCutoff)
{
    CRandomSource random;
    CSvFilter filter;
    EXPECT_EQ(filter.GetType(), CSvFilter::LowPass);
    filter.SetFrequency(1000.0f);
    EXPECT_NEAR(filter.GetF(), 2.0f * std::sin(3.1415927f * 1000.0f / 44100.0f), 1e-7f);

    const std::vector<float> low = FilterNoise(filter, random, 200);
    EXPECT_GT(Ratio(low, 100, 400, 4000, 8000), 20.0);

    filter.SetType(CSvFilter::HighPass);
    const std::vector<float> high = FilterNoise(filter, random, 200);
    EXPECT_GT(Ratio(high, 4000, 8000, 100, 250), 20.0);

    filter.SetType(CSvFilter::BandPass);
    const std::vector<float> band = FilterNoise(filter, random, 200);
    EXPECT_GT(Ratio(band, 800, 1200, 100, 200), 10.0);
    EXPECT_GT(Ratio(band, 800, 1200, 8000, 12000), 10.0);

    filter.SetType(CSvFilter::Notch);
    const std::vector<float> notch = FilterNoise(filter, random, 200);
    EXPECT_GT(Ratio(notch, 4000, 8000, 950, 1050), 10.0);

    // Unknown types pass the input through the output clamp (the input gain is on the states only).
    filter.SetType(9);
    std::vector<float> block(kBlock, 0.95f);
    block[1] = -0.3f;
    filter.Process(block.data(), kBlock);
    EXPECT_EQ(block[0], 0.9f);
    EXPECT_EQ(block[1], -0.3f);
}

TEST(CSvFilter, OutputIsClampedButStatesAreNot)
{
    CSvFilter filter;
    filter.SetFrequency(500.0f);
    filter.SetQ(1.0f); // damping limited to 0.1: a strong resonance
    std::vector<float> block(kBlock);
    for (unsigned i = 0; i < kBlock; ++i)
        block[i] = std::sin(2.0f * 3.1415927f * 500.0f * i / 44100.0f);
    filter.SetType(CSvFilter::BandPass);
    for (int b = 0; b < 10; ++b) {
        std::vector<float> copy = block;
        filter.Process(copy.data(), kBlock);
        for (float v : copy)
            ASSERT_LE(std::fabs(v), 0.9f);
    }
    EXPECT_GT(std::fabs(filter.GetBand()) + std::fabs(filter.GetLow()), 1.0f);
}

TEST(CSvFilter, UnstableCornerStaysFiniteAndRecovers)
{
    // Freq at the top, Q at the bottom: the states would run off to infinity.
    CRandomSource random;
    CSvFilter filter;
    filter.SetFrequency(10000.0f);
    filter.SetQ(0.0f);
    const std::vector<float> wild = FilterNoise(filter, random, 500); // 10 s
    for (float v : wild) {
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_LE(std::fabs(v), 0.9f);
    }
    EXPECT_TRUE(std::isfinite(filter.GetBand()));

    // Back to an ordinary setting: ordinary filtered noise, as from a fresh filter.
    filter.SetFrequency(1000.0f);
    filter.SetQ(0.5f);
    FilterNoise(filter, random, 5); // let the old state decay
    const std::vector<float> calm = FilterNoise(filter, random, 100);
    CSvFilter fresh;
    fresh.SetQ(0.5f);
    const std::vector<float> ref = FilterNoise(fresh, random, 100);
    EXPECT_NEAR(engine_test::Rms(calm), engine_test::Rms(ref), 0.1 * engine_test::Rms(ref));
    EXPECT_GT(Ratio(calm, 100, 400, 4000, 8000), 20.0);

    // A non-finite input sample cannot poison the states either.
    std::vector<float> block(kBlock, 0.1f);
    block[3] = NAN;
    filter.Process(block.data(), kBlock);
    for (float v : block)
        ASSERT_TRUE(std::isfinite(v));
}

} // namespace
