// Noise generator: sample-and-hold across blocks, hold modulation, the four noise types.
#include "engine/CNoiseGenerator.h"

#include "SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr unsigned kBlock = 882;

std::vector<float> Render(CNoiseGenerator& generator, unsigned blocks)
{
    std::vector<float> out(blocks * kBlock);
    for (unsigned b = 0; b < blocks; ++b)
        EXPECT_EQ(generator.Generate(out.data() + b * kBlock, kBlock), kBlock);
    return out;
}

TEST(CNoiseGenerator, HoldRepeatsDrawsAndRunsOnAcrossBlocks)
{
    CNoiseGenerator generator;
    EXPECT_EQ(generator.GetType(), CNoiseGenerator::PhasedWhite);
    EXPECT_EQ(generator.GetHeld(), 0.0f); // nothing drawn yet
    generator.SetType(CNoiseGenerator::UniformWhite);

    CRandomSource reference;
    std::vector<float> expected(1600);
    for (float& v : expected)
        v = reference.Draw();

    // Hold 1: every sample is a new draw of the fixed sequence.
    const std::vector<float> first = Render(generator, 1);
    for (unsigned i = 0; i < kBlock; ++i)
        ASSERT_EQ(first[i], expected[i]) << i;

    // Hold 4: 882 is not a multiple of 4, so the second block starts inside a hold and
    // repeats the value the first one ended with.
    generator.SetHold(4);
    const std::vector<float> held = Render(generator, 3);
    const unsigned start = kBlock; // counter value when hold 4 began (a multiple of 2 only)
    for (unsigned i = 0; i < held.size(); ++i) {
        const unsigned counter = start + i;
        // 882 % 4 == 2: the first two samples still carry the last hold-1 draw.
        const float want = counter < 884 ? expected[kBlock - 1] : expected[kBlock + (counter - 884) / 4];
        ASSERT_EQ(held[i], want) << i;
    }
    // Counter 2646 is two samples into a hold: the third block opens with the second one's value.
    EXPECT_EQ(held[2 * kBlock], held[2 * kBlock - 1]);
    EXPECT_EQ(held[2 * kBlock + 1], held[2 * kBlock - 1]);
    EXPECT_NE(held[2 * kBlock + 2], held[2 * kBlock + 1]);
    EXPECT_EQ(generator.GetCounter(), 4 * kBlock);

    // A hold of 0 counts as 1; other type values produce uniform white.
    generator.SetHold(0);
    generator.SetType(17);
    std::vector<float> block(8);
    generator.Generate(block.data(), 8);
    for (unsigned i = 1; i < 8; ++i)
        EXPECT_NE(block[i], block[i - 1]);
}

TEST(CNoiseGenerator, HoldModulationPerSampleIncludingNegativeLengths)
{
    CNoiseGenerator generator;
    generator.SetType(CNoiseGenerator::UniformWhite);
    generator.SetHold(1);
    std::vector<float> modulation(kBlock, 0.0f);
    generator.SetHoldModulation(modulation.data(), kBlock);
    generator.SetHoldModulationDepth(1.0f);

    // m = 0 at depth 1 adds trunc(128) samples: runs of 129 on the counter's grid.
    const std::vector<float> out = Render(generator, 1);
    for (unsigned i = 1; i < kBlock; ++i) {
        if (i % 129 == 0)
            EXPECT_NE(out[i], out[i - 1]) << i;
        else
            EXPECT_EQ(out[i], out[i - 1]) << i;
    }

    // m = -1 adds nothing.
    std::fill(modulation.begin(), modulation.end(), -1.0f);
    const std::vector<float> plain = Render(generator, 1);
    EXPECT_NE(plain[1], plain[0]);

    // A negative length (depth -0.25, m = 1: 1 - 64) is a huge unsigned count: the value
    // last drawn is held on through whole blocks.
    std::fill(modulation.begin(), modulation.end(), 1.0f);
    generator.SetHoldModulationDepth(-0.25f);
    const float last = plain.back();
    const std::vector<float> frozen = Render(generator, 3);
    for (float v : frozen)
        ASSERT_EQ(v, last);

    // Switching the modulation off returns to the plain hold.
    generator.SetHoldModulation(nullptr, kBlock);
    const std::vector<float> free = Render(generator, 1);
    EXPECT_NE(free[1], free[0]);
}

TEST(CNoiseGenerator, PhasedWhiteRunsThePhaserOnlyOnDraws)
{
    CNoiseGenerator generator;
    const CPhaser& phaser = generator.GetPhaser();
    EXPECT_FLOAT_EQ(phaser.GetSweepStep(), 0.02f * 6.2831855f / 44100.0f); // 50 s per sweep
    EXPECT_FLOAT_EQ(phaser.GetMinDelay(), 440.0f * 2.0f / 44100.0f);
    EXPECT_FLOAT_EQ(phaser.GetMaxDelay(), 1600.0f * 2.0f / 44100.0f);

    CPhaser reference;
    reference.SetRate(0.02f);
    CRandomSource random;
    generator.SetHold(4);
    const std::vector<float> out = Render(generator, 2);
    for (unsigned i = 0; i < out.size(); i += 4)
        ASSERT_FLOAT_EQ(out[i], reference.Process(random.Draw())) << i;
    EXPECT_FLOAT_EQ(phaser.GetSweepPhase(), reference.GetSweepPhase());
    EXPECT_NEAR(phaser.GetSweepPhase(), 441 * phaser.GetSweepStep(), 1e-5);

    // The all-pass chain with 0.7 feedback stays bounded.
    generator.SetHold(1);
    const std::vector<float> longRun = Render(generator, 500);
    for (float v : longRun)
        ASSERT_LT(std::fabs(v), 8.0f);
    EXPECT_GT(engine_test::Rms(longRun), 0.3);
}

TEST(CNoiseGenerator, PinkFallsThreeDecibelsPerOctave)
{
    CNoiseGenerator generator;
    generator.SetType(CNoiseGenerator::Pink);
    // First value against the filter equations, from the shared state it started with.
    const CNoiseGenerator::SharedState before = CNoiseGenerator::GetSharedState();
    CRandomSource random;
    const float w = random.Draw();
    const float b0 = 0.99765f * before.b0 + 0.099046f * w;
    const float b1 = 0.963f * before.b1 + 0.2965164f * w;
    const float b2 = 0.57f * before.b2 + 1.0526913f * w;
    float first = 0.0f;
    generator.Generate(&first, 1);
    EXPECT_FLOAT_EQ(first, (b0 + b1 + b2 + 0.1848f * w) * 0.5f);

    const std::vector<float> pink = Render(generator, 300);
    // Density per octave from 125 Hz to 8 kHz: a least-squares slope of about -3 dB.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const int octaves = 6;
    for (int o = 0; o < octaves; ++o) {
        const double lo = 125.0 * std::pow(2.0, o);
        const double y = engine_test::Db(engine_test::BandDensity(pink, lo, 2 * lo));
        sx += o;
        sy += y;
        sxx += o * o;
        sxy += o * y;
    }
    const double slope = (octaves * sxy - sx * sy) / (octaves * sxx - sx * sx);
    EXPECT_NEAR(slope, -3.0, 0.6);

    // Uniform white, for contrast, is flat.
    CNoiseGenerator white;
    white.SetType(CNoiseGenerator::UniformWhite);
    const std::vector<float> flat = Render(white, 300);
    EXPECT_NEAR(engine_test::Db(engine_test::BandDensity(flat, 8000, 16000) / engine_test::BandDensity(flat, 125, 250)), 0.0, 1.0);
}

TEST(CNoiseGenerator, ResonancePinkPeaksAt1200Hz)
{
    CNoiseGenerator generator;
    generator.SetType(CNoiseGenerator::ResonancePink);
    const std::vector<float> out = Render(generator, 300);
    const CNoiseGenerator::SharedState shared = CNoiseGenerator::GetSharedState();
    EXPECT_NEAR(shared.R, 0.958158f, 1e-5f);
    EXPECT_NEAR(shared.c1, -1.928727f, 1e-5f);
    EXPECT_NEAR(shared.g, 0.0071733f, 1e-6f);

    const double peak = engine_test::BandDensity(out, 1100, 1300);
    EXPECT_GT(engine_test::Db(peak / engine_test::BandDensity(out, 300, 600)), 8.0);
    EXPECT_GT(engine_test::Db(peak / engine_test::BandDensity(out, 3000, 6000)), 12.0);
    for (float v : out)
        ASSERT_TRUE(std::isfinite(v));
}

TEST(CNoiseGenerator, PinkAndResonatorStatesAreSharedByAllGenerators)
{
    CNoiseGenerator a;
    CNoiseGenerator b;
    a.SetType(CNoiseGenerator::Pink);
    b.SetType(CNoiseGenerator::Pink);
    float va = 0.0f, vb = 0.0f;
    a.Generate(&va, 1);
    // Same draw, but b continues a's filter state, so its value differs.
    b.Generate(&vb, 1);
    EXPECT_NE(va, vb);
    const CNoiseGenerator::SharedState after = CNoiseGenerator::GetSharedState();
    EXPECT_NE(after.b0, 0.0f);
}

} // namespace
