// The classic four-pole low-pass and the state-variable filter: responses, modulated cutoff,
// kept state, and staying finite at every extreme the panel reaches.
#include "engine/CClassicLowPass.h"
#include "engine/CLfo.h"
#include "engine/CNoiseGenerator.h"
#include "engine/CSvFilter.h"

#include "SignalAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace engine_test;

std::vector<float> Filtered(CNoiseFilter& filter, CRandomSource& random, unsigned blocks)
{
    std::vector<float> out = Noise(blocks * kBlock, random);
    for (unsigned b = 0; b < blocks; ++b)
        EXPECT_EQ(filter.Process(out.data() + b * kBlock, kBlock), kBlock);
    return out;
}

bool AllFinite(const std::vector<float>& block)
{
    return std::all_of(block.begin(), block.end(), [](float v) { return std::isfinite(v); });
}

TEST(CClassicLowPass, AttenuatesAboveTheCutoff)
{
    CClassicLowPass filter; // 1000 Hz
    filter.SetQ(0.0f);
    CRandomSource random;
    EXPECT_GT(BandRatioDb(Filtered(filter, random, 300), 100, 500, 4000, 8000), 40.0);
}

TEST(CClassicLowPass, ModulatedCutoffAndItsLimits)
{
    // The cutoff follows m x depth x 5000 + f + 5000: m = -0.5 at depth 0.5 on 2000 Hz is 5750 Hz.
    CRandomSource random;
    const std::vector<float> input = Noise(kBlock, random);
    std::vector<float> mod(kBlock, -0.5f), got = input, want = input;
    CClassicLowPass modulated, plain;
    modulated.SetFrequency(2000.0f);
    modulated.SetQ(0.3f);
    modulated.SetFrequencyModulation(mod.data(), kBlock);
    modulated.SetFrequencyModulationDepth(0.5f);
    modulated.Process(got.data(), kBlock);
    plain.SetFrequency(5750.0f);
    plain.SetQ(0.3f);
    plain.Process(want.data(), kBlock);
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
    // The panel's switch: classic, then "SV Notch", then "Classic LowPass" again, against a
    // classic filter that was never switched away from.
    CRandomSource random;
    CClassicLowPass classic, uninterrupted;
    CSvFilter sv;
    for (CClassicLowPass* f : {&classic, &uninterrupted}) {
        f->SetFrequency(3000.0f);
        f->SetQ(0.8f);
    }
    std::vector<float> a = Noise(kBlock, random), b = Noise(kBlock, random), c = Noise(kBlock, random);
    std::vector<float> refA = a, refC = c;
    classic.Process(a.data(), kBlock);
    static_cast<CNoiseFilter&>(sv).SetType(CSvFilter::Notch);
    sv.Process(b.data(), kBlock);
    static_cast<CNoiseFilter&>(classic).SetType(0);
    classic.Process(c.data(), kBlock);
    uninterrupted.Process(refA.data(), kBlock);
    uninterrupted.Process(refC.data(), kBlock);
    EXPECT_EQ(c, refC);
    EXPECT_EQ(sv.GetFrequency(), 1000.0f); // nothing copied between the filters
}

TEST(CSvFilter, FourResponsesAroundTheCutoffAndTheOutputClamp)
{
    CRandomSource random;
    CSvFilter filter; // 1000 Hz, Q 0.5
    const struct { int type; double lo1, hi1, lo2, hi2, minDb; } responses[] = {
        {CSvFilter::LowPass, 100, 400, 4000, 8000, 20}, {CSvFilter::HighPass, 4000, 8000, 100, 250, 20},
        {CSvFilter::BandPass, 800, 1200, 100, 200, 10}, {CSvFilter::BandPass, 800, 1200, 8000, 12000, 10},
        {CSvFilter::Notch, 4000, 8000, 950, 1050, 10}};
    for (const auto& r : responses) {
        filter.SetType(r.type);
        EXPECT_GT(BandRatioDb(Filtered(filter, random, 200), r.lo1, r.hi1, r.lo2, r.hi2), r.minDb) << r.type;
    }

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
    CSvFilter filter, fresh;
    filter.SetFrequency(10000.0f);
    filter.SetQ(0.0f);
    for (float v : Filtered(filter, random, 500)) // 10 s
        ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 0.9f) << v;

    // Back at 1000 Hz / Q 0.5 the output is ordinary filtered noise, as from a fresh filter.
    filter.SetFrequency(1000.0f);
    filter.SetQ(0.5f);
    Filtered(filter, random, 5);
    const std::vector<float> calm = Filtered(filter, random, 100);
    const double rms = Rms(Filtered(fresh, random, 100));
    EXPECT_NEAR(Rms(calm), rms, 0.1 * rms);
    EXPECT_GT(BandRatioDb(calm, 100, 400, 4000, 8000), 20.0);
}

TEST(PanelExtremes, NoModuleLetsANonFiniteValueOut)
{
    ShapeTables tables;
    CNoiseGenerator generator;
    CClassicLowPass classic;
    CSvFilter sv;
    std::vector<float> modA(kBlock), modB(kBlock), noise(kBlock), copy(kBlock);
    generator.SetHoldModulation(modA.data(), kBlock);
    classic.SetFrequencyModulation(modA.data(), kBlock);
    classic.SetQModulation(modB.data(), kBlock);
    for (unsigned shape = 0; shape < 5; ++shape)
        for (float hz : {0.005f, 50.0f})
            for (float depth : {-0.25f, 1.246f})
                for (float cutoff : {10.0f, 12460.0f})
                    for (float q : {0.0f, 1.0f}) {
                        SCOPED_TRACE(::testing::Message() << shape << " " << hz << " " << depth << " " << cutoff << " " << q);
                        CLfo lfoA, lfoB;
                        for (CLfo* lfo : {&lfoA, &lfoB}) {
                            lfo->SetTables(&tables.list);
                            lfo->Select(shape);
                            lfo->SetFrequency(lfo == &lfoA ? hz : 50.005f - hz);
                        }
                        generator.SetHoldModulationDepth(depth);
                        classic.SetFrequencyModulationDepth(depth);
                        classic.SetQModulationDepth(depth);
                        classic.SetFrequency(cutoff);
                        classic.SetQ(q);
                        sv.SetFrequency(cutoff);
                        sv.SetQ(q);
                        for (int b = 0; b < 40; ++b) {
                            lfoA.Render(modA.data(), kBlock);
                            lfoB.Render(modB.data(), kBlock);
                            generator.SetType(b % 4);
                            generator.SetHold(b % 2 ? 1 : 124);
                            generator.Generate(noise.data(), kBlock);
                            ASSERT_TRUE(AllFinite(noise)); // the filters would hide it
                            copy = noise;
                            classic.Process(copy.data(), kBlock);
                            sv.SetType(b % 5);
                            sv.Process(noise.data(), kBlock);
                            ASSERT_TRUE(AllFinite(copy) && AllFinite(noise));
                        }
                    }
    // Non-finite input cannot poison either filter's states: both follow their input again.
    CClassicLowPass freshClassic;
    CSvFilter freshSv;
    for (CNoiseFilter* filter : {static_cast<CNoiseFilter*>(&freshClassic), static_cast<CNoiseFilter*>(&freshSv)}) {
        std::vector<float> block(kBlock, 0.25f);
        block[10] = NAN;
        block[20] = INFINITY;
        filter->Process(block.data(), kBlock);
        EXPECT_TRUE(AllFinite(block));
        EXPECT_GT(block.back(), 0.05f);
    }
}

} // namespace
