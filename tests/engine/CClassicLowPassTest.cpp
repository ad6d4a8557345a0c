// Classic four-pole low-pass: coefficients, attenuation, per-sample modulation, kept state.
#include "engine/CClassicLowPass.h"
#include "engine/CRandomSource.h"
#include "engine/CSvFilter.h"

#include "SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr unsigned kBlock = 882;

std::vector<float> Noise(unsigned count, CRandomSource& random)
{
    std::vector<float> v(count);
    for (float& x : v)
        x = random.Draw();
    return v;
}

std::vector<float> Filter(CNoiseFilter& filter, std::vector<float> signal)
{
    for (std::size_t at = 0; at < signal.size(); at += kBlock)
        EXPECT_EQ(filter.Process(signal.data() + at, kBlock), kBlock);
    return signal;
}

TEST(CClassicLowPass, CoefficientsAtTheLowestCutoff)
{
    CClassicLowPass filter;
    EXPECT_EQ(filter.GetFrequency(), 1000.0f);
    EXPECT_EQ(filter.GetQ(), 0.5f);
    filter.ComputeCoefficients(10.0f, 0.5f);
    EXPECT_NEAR(filter.GetF(), 0.00045351f, 1e-8f);
    EXPECT_NEAR(filter.GetK(), -0.99837f, 1e-5f);
    EXPECT_NEAR(filter.GetP(), 0.00082f, 1e-5f);
    EXPECT_NEAR(filter.GetScale(), std::exp((1.0f - filter.GetP()) * 1.386249f), 1e-6f);
    EXPECT_NEAR(filter.GetR(), 0.5f * filter.GetScale(), 1e-6f);
}

TEST(CClassicLowPass, AttenuatesAboveCutoffAndStaysBounded)
{
    CRandomSource random;
    CClassicLowPass filter;
    filter.SetQ(0.0f);
    const std::vector<float> out = Filter(filter, Noise(300 * kBlock, random));
    const double pass = engine_test::BandDensity(out, 100, 500);
    EXPECT_GT(engine_test::Db(pass / engine_test::BandDensity(out, 4000, 8000)), 40.0);
    for (float v : out)
        ASSERT_LT(std::fabs(v), 1.0f);

    // Resonance lifts the band around the cutoff.
    CClassicLowPass resonant;
    resonant.SetQ(1.0f);
    const std::vector<float> peaked = Filter(resonant, Noise(300 * kBlock, random));
    EXPECT_GT(engine_test::BandDensity(peaked, 900, 1100) / engine_test::BandDensity(peaked, 100, 500),
              engine_test::BandDensity(out, 900, 1100) / pass * 4.0);
}

TEST(CClassicLowPass, PerSampleModulationUsesTheOtherSettingAsIs)
{
    CRandomSource random;
    const std::vector<float> input = Noise(kBlock, random);

    // Cutoff block only: m x depth x 5000 + f + 5000 with the current Q, recomputed per sample.
    std::vector<float> mod(kBlock);
    for (unsigned i = 0; i < kBlock; ++i)
        mod[i] = std::sin(i * 0.01f);
    CClassicLowPass modulated;
    modulated.SetFrequency(2000.0f);
    modulated.SetQ(0.3f);
    modulated.SetFrequencyModulation(mod.data(), kBlock);
    modulated.SetFrequencyModulationDepth(0.5f);
    std::vector<float> got = input;
    modulated.Process(got.data(), kBlock);

    CClassicLowPass manual;
    manual.SetQ(0.3f);
    std::vector<float> want = input;
    for (unsigned i = 0; i < kBlock; ++i) {
        // One-sample steps through a filter with the cutoff of that sample.
        manual.SetFrequency(mod[i] * 0.5f * 5000.0f + 2000.0f + 5000.0f);
        manual.Process(&want[i], 1);
    }
    for (unsigned i = 0; i < kBlock; ++i)
        ASSERT_FLOAT_EQ(got[i], want[i]) << i;
    EXPECT_NEAR(modulated.GetF(), 2.0f * (mod.back() * 2500.0f + 7000.0f) / 44100.0f, 1e-6f);

    // The per-sample cutoff is limited to 10..10000 Hz, the resonance to 0..1.
    std::vector<float> high(kBlock, 1.0f);
    modulated.SetFrequencyModulationDepth(1.246f);
    modulated.SetFrequencyModulation(high.data(), kBlock);
    modulated.SetQModulation(high.data(), kBlock);
    modulated.SetQModulationDepth(1.246f);
    std::vector<float> block = input;
    modulated.Process(block.data(), kBlock);
    EXPECT_NEAR(modulated.GetF(), 2.0f * 10000.0f / 44100.0f, 1e-6f);
    EXPECT_NEAR(modulated.GetR(), modulated.GetScale(), 1e-6f);

    // Resonance block only: the current cutoff for every sample.
    std::vector<float> low(kBlock, -1.0f);
    modulated.SetFrequencyModulation(nullptr, kBlock);
    modulated.SetQModulation(low.data(), kBlock);
    modulated.Process(block.data(), kBlock);
    EXPECT_NEAR(modulated.GetF(), 2.0f * 2000.0f / 44100.0f, 1e-6f);
    EXPECT_NEAR(modulated.GetR(), (-1.246f * 0.5f + 0.3f + 0.5f) * modulated.GetScale(), 1e-6f);
    modulated.SetQ(0.0f);
    modulated.Process(block.data(), kBlock);
    EXPECT_EQ(modulated.GetR(), 0.0f);
}

TEST(CClassicLowPass, SwitchingToTheSvFilterAndBackKeepsEachFiltersState)
{
    CRandomSource random;
    const std::vector<float> a = Noise(kBlock, random);
    const std::vector<float> b = Noise(kBlock, random);
    const std::vector<float> c = Noise(kBlock, random);

    // The panel's switch: classic in use, then "SV Notch", then "Classic LowPass" again.
    CClassicLowPass classic;
    CSvFilter sv;
    classic.SetFrequency(3000.0f);
    classic.SetQ(0.8f);
    CNoiseFilter* pFilter = &classic;
    std::vector<float> block = a;
    pFilter->Process(block.data(), kBlock);
    pFilter = &sv;
    pFilter->SetType(CSvFilter::Notch);
    block = b;
    pFilter->Process(block.data(), kBlock);
    pFilter = &classic;
    pFilter->SetType(0);
    std::vector<float> resumed = c;
    pFilter->Process(resumed.data(), kBlock);

    CClassicLowPass uninterrupted;
    uninterrupted.SetFrequency(3000.0f);
    uninterrupted.SetQ(0.8f);
    std::vector<float> ref = a;
    uninterrupted.Process(ref.data(), kBlock);
    ref = c;
    uninterrupted.Process(ref.data(), kBlock);
    EXPECT_EQ(classic.GetFrequency(), 3000.0f);
    EXPECT_EQ(classic.GetQ(), 0.8f);
    for (unsigned i = 0; i < kBlock; ++i)
        ASSERT_EQ(resumed[i], ref[i]) << i;
    EXPECT_EQ(sv.GetFrequency(), 1000.0f); // nothing copied between the filters
}

TEST(CClassicLowPass, RecoversFromNonFiniteInput)
{
    CClassicLowPass filter;
    std::vector<float> block(kBlock, 0.25f);
    block[10] = NAN;
    block[20] = INFINITY;
    filter.Process(block.data(), kBlock);
    for (float v : block)
        ASSERT_TRUE(std::isfinite(v));
    EXPECT_GT(block.back(), 0.05f); // back to following the input
}

} // namespace
