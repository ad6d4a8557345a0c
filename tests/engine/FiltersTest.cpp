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

TEST(NoiseFilters, ResponsesAroundTheDefaultCutoff)
{
    // Both filters start at 1000 Hz (the state-variable one with Q 0.5); the classic at Q 0.
    CRandomSource random;
    CClassicLowPass classic;
    classic.SetQ(0.0f);
    CSvFilter sv;
    const struct { CNoiseFilter* filter; int type; double lo1, hi1, lo2, hi2, minDb; } responses[] = {
        {&classic, 0, 100, 500, 4000, 8000, 40},
        {&sv, CSvFilter::LowPass, 100, 400, 4000, 8000, 20}, {&sv, CSvFilter::HighPass, 4000, 8000, 100, 250, 20},
        {&sv, CSvFilter::BandPass, 800, 1200, 100, 200, 10}, {&sv, CSvFilter::BandPass, 800, 1200, 8000, 12000, 10},
        {&sv, CSvFilter::Notch, 4000, 8000, 950, 1050, 10}};
    for (const auto& r : responses) {
        r.filter->SetType(r.type);
        EXPECT_GT(BandRatioDb(Filtered(*r.filter, random, 200), r.lo1, r.hi1, r.lo2, r.hi2), r.minDb) << r.type;
    }
}

TEST(CClassicLowPass, ModulatedCutoffAndResonanceWithinTheirLimits)
{
    // Modulated, the filter sounds as an unmodulated one at the cutoff m x depth x 5000 + f + 5000
    // (m = -0.5 at depth 0.5 on 2000 Hz is 5750 Hz), at most 10000 Hz, and a resonance within 0..1;
    // a resonance block alone keeps the cutoff. NaN: no block.
    const struct { float f, q, fm, fmDepth, qm, qmDepth, wantF, wantQ; } cases[] = {
        {2000, 0.3f, -0.5f, 0.5f, NAN, 0, 5750, 0.3f},
        {2000, 0.3f, 1, 1.246f, 1, 1.246f, 10000, 1},
        {2000, 0, NAN, 0, -1, 1.246f, 2000, 0}};
    CRandomSource random;
    for (const auto& c : cases) {
        std::vector<float> fm(kBlock, c.fm), qm(kBlock, c.qm), got = Noise(kBlock, random), want = got;
        CClassicLowPass modulated, plain;
        modulated.SetFrequency(c.f);
        modulated.SetQ(c.q);
        modulated.SetFrequencyModulation(std::isnan(c.fm) ? nullptr : fm.data(), kBlock);
        modulated.SetFrequencyModulationDepth(c.fmDepth);
        modulated.SetQModulation(std::isnan(c.qm) ? nullptr : qm.data(), kBlock);
        modulated.SetQModulationDepth(c.qmDepth);
        modulated.Process(got.data(), kBlock);
        plain.SetFrequency(c.wantF);
        plain.SetQ(c.wantQ);
        plain.Process(want.data(), kBlock);
        EXPECT_EQ(got, want) << c.wantF << " Hz, Q " << c.wantQ;
    }
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

TEST(CSvFilter, OnlyTheOutputIsClampedAndTheUnstableCornerRecovers)
{
    // Only the output is limited to 0.9: a resonant band-pass lets its states grow past it.
    CSvFilter resonant;
    resonant.SetType(CSvFilter::BandPass);
    resonant.SetFrequency(500.0f);
    resonant.SetQ(1.0f);
    std::vector<float> tone(10 * kBlock);
    for (unsigned i = 0; i < tone.size(); ++i)
        tone[i] = std::sin(2.0f * 3.1415927f * 500.0f * i / 44100.0f);
    for (unsigned b = 0; b < 10; ++b)
        resonant.Process(tone.data() + b * kBlock, kBlock);
    EXPECT_TRUE(std::all_of(tone.begin(), tone.end(), [](float v) { return std::fabs(v) <= 0.9f; }));
    EXPECT_GT(std::fabs(resonant.GetBand()) + std::fabs(resonant.GetLow()), 1.0f);

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
    // Every corner of the panel's ranges: shape, LFO rate, depth, cutoff and Q.
    ShapeTables tables;
    CNoiseGenerator generator;
    CClassicLowPass classic;
    CSvFilter sv;
    std::vector<float> modA(kBlock), modB(kBlock), noise(kBlock), copy(kBlock);
    generator.SetHoldModulation(modA.data(), kBlock);
    classic.SetFrequencyModulation(modA.data(), kBlock);
    classic.SetQModulation(modB.data(), kBlock);
    for (unsigned corner = 0; corner < 5 * 16; ++corner) {
        const unsigned shape = corner / 16;
        const float hz = corner & 1 ? 50.0f : 0.005f, depth = corner & 2 ? 1.246f : -0.25f;
        const float cutoff = corner & 4 ? 12460.0f : 10.0f, q = corner & 8 ? 1.0f : 0.0f;
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
