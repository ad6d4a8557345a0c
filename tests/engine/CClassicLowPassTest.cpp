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

TEST(CClassicLowPass, CoefficientsAtTheLowestCutoffAndAttenuationAboveCutoff)
{
    CClassicLowPass filter;
    filter.ComputeCoefficients(10.0f, 0.5f);
    EXPECT_NEAR(filter.GetF(), 0.00045351f, 1e-8f);
    EXPECT_NEAR(filter.GetK(), -0.99837f, 1e-5f);
    EXPECT_NEAR(filter.GetP(), 0.00082f, 1e-5f);
    EXPECT_NEAR(filter.GetR(), 0.5f * std::exp((1.0f - filter.GetP()) * 1.386249f), 1e-6f);

    CRandomSource random;
    filter.SetQ(0.0f); // 1000 Hz
    std::vector<float> out = Noise(300 * kBlock, random);
    for (unsigned at = 0; at < out.size(); at += kBlock)
        EXPECT_EQ(filter.Process(out.data() + at, kBlock), kBlock);
    EXPECT_GT(engine_test::Db(engine_test::BandDensity(out, 100, 500) / engine_test::BandDensity(out, 4000, 8000)), 40.0);
}

TEST(CClassicLowPass, PerSampleModulationAndItsLimits)
{
    CRandomSource random;
    const std::vector<float> input = Noise(kBlock, random);
    std::vector<float> mod(kBlock);
    for (unsigned i = 0; i < kBlock; ++i)
        mod[i] = std::sin(i * 0.01f);
    // Cutoff block only: m x depth x 5000 + f + 5000 for each sample, with the current Q.
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
        manual.SetFrequency(mod[i] * 0.5f * 5000.0f + 2000.0f + 5000.0f);
        manual.Process(&want[i], 1);
    }
    EXPECT_EQ(got, want);

    // Limits: cutoff at most 10000 Hz, resonance 0..1; a resonance block alone keeps the cutoff.
    std::vector<float> high(kBlock, 1.0f), low(kBlock, -1.0f);
    modulated.SetFrequencyModulation(high.data(), kBlock);
    modulated.SetFrequencyModulationDepth(1.246f);
    modulated.SetQModulation(high.data(), kBlock);
    modulated.SetQModulationDepth(1.246f);
    modulated.Process(got.data(), kBlock);
    EXPECT_NEAR(modulated.GetF(), 2.0f * 10000.0f / 44100.0f, 1e-6f);
    EXPECT_NEAR(modulated.GetR(), modulated.GetScale(), 1e-6f);
    modulated.SetFrequencyModulation(nullptr, kBlock);
    modulated.SetQModulation(low.data(), kBlock);
    modulated.SetQ(0.0f);
    modulated.Process(got.data(), kBlock);
    EXPECT_NEAR(modulated.GetF(), 2.0f * 2000.0f / 44100.0f, 1e-6f);
    EXPECT_EQ(modulated.GetR(), 0.0f);
}

TEST(CClassicLowPass, SwitchingToTheSvFilterAndBackKeepsEachFiltersState)
{
    CRandomSource random;
    const std::vector<float> a = Noise(kBlock, random), b = Noise(kBlock, random), c = Noise(kBlock, random);
    // The panel's switch: classic, then "SV Notch", then "Classic LowPass" again.
    CClassicLowPass classic, uninterrupted;
    CSvFilter sv;
    for (CClassicLowPass* f : {&classic, &uninterrupted}) {
        f->SetFrequency(3000.0f);
        f->SetQ(0.8f);
    }
    std::vector<float> block = a;
    CNoiseFilter* pFilter = &classic;
    pFilter->Process(block.data(), kBlock);
    pFilter = &sv;
    pFilter->SetType(CSvFilter::Notch);
    block = b;
    pFilter->Process(block.data(), kBlock);
    pFilter = &classic;
    pFilter->SetType(0);
    std::vector<float> resumed = c;
    pFilter->Process(resumed.data(), kBlock);

    std::vector<float> ref = a;
    uninterrupted.Process(ref.data(), kBlock);
    ref = c;
    uninterrupted.Process(ref.data(), kBlock);
    EXPECT_EQ(resumed, ref);
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
    EXPECT_GT(block.back(), 0.05f); // following the input again
}

} // namespace
