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

TEST(CSvFilter, FourResponsesAroundTheCutoffAndTheOutputClamp)
{
    CRandomSource random;
    CSvFilter filter; // 1000 Hz, Q 0.5
    EXPECT_GT(Ratio(FilterNoise(filter, random, 200), 100, 400, 4000, 8000), 20.0);
    filter.SetType(CSvFilter::HighPass);
    EXPECT_GT(Ratio(FilterNoise(filter, random, 200), 4000, 8000, 100, 250), 20.0);
    filter.SetType(CSvFilter::BandPass);
    const std::vector<float> band = FilterNoise(filter, random, 200);
    EXPECT_GT(Ratio(band, 800, 1200, 100, 200), 10.0);
    EXPECT_GT(Ratio(band, 800, 1200, 8000, 12000), 10.0);
    filter.SetType(CSvFilter::Notch);
    EXPECT_GT(Ratio(FilterNoise(filter, random, 200), 4000, 8000, 950, 1050), 10.0);

    // Only the output is limited to 0.9: a resonant band-pass lets its states grow past it.
    filter.SetType(CSvFilter::BandPass);
    filter.SetFrequency(500.0f);
    filter.SetQ(1.0f);
    std::vector<float> block(kBlock);
    for (int b = 0; b < 10; ++b) {
        for (unsigned i = 0; i < kBlock; ++i)
            block[i] = std::sin(2.0f * 3.1415927f * 500.0f * (b * kBlock + i) / 44100.0f);
        filter.Process(block.data(), kBlock);
        for (float v : block)
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
    for (float v : FilterNoise(filter, random, 500)) // 10 s
        ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 0.9f) << v;

    // Back at 1000 Hz / Q 0.5 the output is ordinary filtered noise, as from a fresh filter.
    filter.SetFrequency(1000.0f);
    filter.SetQ(0.5f);
    FilterNoise(filter, random, 5);
    const std::vector<float> calm = FilterNoise(filter, random, 100);
    CSvFilter fresh;
    const double rms = engine_test::Rms(FilterNoise(fresh, random, 100));
    EXPECT_NEAR(engine_test::Rms(calm), rms, 0.1 * rms);
    EXPECT_GT(Ratio(calm, 100, 400, 4000, 8000), 20.0);

    // A non-finite input sample cannot poison the states either.
    std::vector<float> block(kBlock, 0.1f);
    block[3] = NAN;
    filter.Process(block.data(), kBlock);
    for (float v : block)
        ASSERT_TRUE(std::isfinite(v));
}

} // namespace
