// Sample blocks, the random source's fixed sequence, and the noise generator: sample-and-hold
// across blocks, hold modulation, the phaser, the five noise types and smoothing.
#include "engine/CNoiseGenerator.h"
#include "engine/CSampleBlock.h"

#include "SignalAnalysis.h"

#include <gtest/gtest.h>

namespace {

using namespace engine_test;

std::vector<float> Render(CNoiseGenerator& generator, unsigned blocks)
{
    std::vector<float> out(blocks * kBlock);
    for (unsigned b = 0; b < blocks; ++b)
        generator.Generate(out.data() + b * kBlock, kBlock);
    return out;
}

TEST(CSampleBlock, ReallocationReplacesTheMemoryWithZeroes)
{
    CSampleBlock block;
    float* first = block.Allocate(882);
    std::fill(first, first + 882, 0.5f);
    const float* second = block.Allocate(100);
    EXPECT_EQ(block.GetCapacity(), 100u);
    EXPECT_EQ(std::vector<float>(second, second + 100), std::vector<float>(100, 0.0f));
}

TEST(CRandomSource, FixedSequenceFromSeedZeroUniformInMinusOneToOne)
{
    CRandomSource random;
    EXPECT_FLOAT_EQ(random.Draw(), 0.7336041927f);
    EXPECT_EQ(random.GetSeed(), 1013904223u);
    EXPECT_EQ(random.GetLastBits(), 0x3feef35fu);
    random.Draw(); // the second seed pins the multiplier as the first pins the increment
    EXPECT_EQ(random.GetSeed(), 1196435762u);
    int bins[10] = {};
    const int n = 200'000;
    for (int i = 0; i < n; ++i) {
        const float w = random.Draw();
        ASSERT_TRUE(w >= -1.0f && w < 1.0f) << w;
        ++bins[static_cast<int>((w + 1.0f) * 5.0f)];
    }
    for (int count : bins)
        EXPECT_NEAR(count, n / 10, n / 100);
}

TEST(CNoiseGenerator, HoldRepeatsDrawsAndRunsOnAcrossBlocks)
{
    CNoiseGenerator generator;
    generator.SetType(CNoiseGenerator::UniformWhite);
    CRandomSource reference;
    const std::vector<float> draws = Noise(1600, reference);
    // Hold 1: every sample a new draw.
    EXPECT_EQ(Render(generator, 1), std::vector<float>(draws.begin(), draws.begin() + kBlock));

    // Hold 4 from counter 882 (not a multiple of 4): the grid runs on the counter, so blocks
    // can start inside a hold and repeat the value the previous block ended with.
    generator.SetHold(4);
    const std::vector<float> held = Render(generator, 3);
    for (unsigned i = 0; i < held.size(); ++i) {
        const unsigned counter = kBlock + i;
        ASSERT_EQ(held[i], counter < 884 ? draws[kBlock - 1] : draws[kBlock + (counter - 884) / 4]) << i;
    }

    generator.SetHold(0); // counts as 1
    generator.SetType(17); // unknown types are uniform white
    const std::vector<float> again = Render(generator, 1);
    const unsigned next = kBlock + (4 * kBlock - 4 - 884) / 4 + 1; // after the draw at counter 3524
    EXPECT_EQ(again[0], draws[next]);
    EXPECT_EQ(again[1], draws[next + 1]);
}

TEST(CNoiseGenerator, HoldModulationPerSampleIncludingNegativeLengths)
{
    CNoiseGenerator generator;
    generator.SetType(CNoiseGenerator::UniformWhite);
    std::vector<float> modulation(kBlock, 0.0f);
    generator.SetHoldModulation(modulation.data(), kBlock);
    // m = 0 at depth 1 adds trunc(128): runs of 129 on the counter's grid.
    const std::vector<float> out = Render(generator, 1);
    for (unsigned i = 1; i < kBlock; ++i)
        ASSERT_EQ(out[i] != out[i - 1], i % 129 == 0) << i;

    // A negative length (depth -0.25, m = 1 gives 1 - 64) is a huge unsigned count: the last
    // value is held on through whole blocks.
    std::fill(modulation.begin(), modulation.end(), 1.0f);
    generator.SetHoldModulationDepth(-0.25f);
    for (float v : Render(generator, 3))
        ASSERT_EQ(v, out.back());

    // The largest float below 2^31 (128 x 16777215) converts exactly, not saturated to
    // INT32_MAX: with a hold that wraps it round to 5, the runs are 5 long, not 132.
    std::fill(modulation.begin(), modulation.end(), 0.0f);
    generator.SetHoldModulationDepth(16777215.0f);
    generator.SetHold(-2147483520 + 5);
    const std::vector<float> wrapped = Render(generator, 2);
    int changes = 0;
    for (unsigned i = 1; i < wrapped.size(); ++i)
        changes += wrapped[i] != wrapped[i - 1];
    EXPECT_GE(changes, int(wrapped.size() / 5) - 2);

    generator.SetHoldModulation(nullptr, kBlock);
    generator.SetHold(1);
    const std::vector<float> free = Render(generator, 1);
    EXPECT_NE(free[1], free[0]);
}

TEST(CNoiseGenerator, PhasedWhiteRunsThePhaserOnlyOnDraws)
{
    CNoiseGenerator generator;
    CPhaser reference;
    reference.SetRate(0.02f); // a 50 s sweep
    CRandomSource random;
    generator.SetHold(4);
    const std::vector<float> out = Render(generator, 2);
    for (unsigned i = 0; i < out.size(); i += 4)
        ASSERT_FLOAT_EQ(out[i], reference.Process(random.Draw())) << i;
    EXPECT_FLOAT_EQ(generator.GetPhaser().GetSweepPhase(), reference.GetSweepPhase()); // 441 steps
    generator.SetHold(1);
    for (float v : Render(generator, 300))
        ASSERT_LT(std::fabs(v), 8.0f); // 0.7 feedback around all-pass stages stays bounded
}

TEST(CNoiseGenerator, PinkBrownAndResonancePinkSpectra)
{
    CNoiseGenerator pink, brown, resonance;
    pink.SetType(CNoiseGenerator::Pink);
    brown.SetType(CNoiseGenerator::Brown);
    resonance.SetType(CNoiseGenerator::ResonancePink);
    // The pink filter's state is shared by every generator: the same first draw gives another value.
    float first = 0.0f, second = 0.0f;
    pink.Generate(&first, 1);
    CNoiseGenerator other;
    other.SetType(CNoiseGenerator::Pink);
    other.Generate(&second, 1);
    EXPECT_NE(second, first);

    const std::vector<float> p = Render(pink, 300), b = Render(brown, 300), r = Render(resonance, 300);
    EXPECT_NEAR(BandRatioDb(p, 4000, 8000, 125, 250) / 5.0, -3.0, 0.6); // per octave
    EXPECT_NEAR(BandRatioDb(b, 4000, 8000, 500, 1000) / 3.0, -6.0, 0.8);
    EXPECT_GT(BandRatioDb(r, 1100, 1300, 300, 600), 8.0); // a peak at 1200 Hz
    EXPECT_GT(BandRatioDb(r, 1100, 1300, 3000, 6000), 12.0);
    // Brown is about as loud as pink but clips far less often.
    EXPECT_NEAR(20.0 * std::log10(Rms(b) / Rms(p)), 0.0, 6.0);
    const auto peaks = [](const std::vector<float>& s) {
        return std::count_if(s.begin(), s.end(), [](float v) { return std::fabs(v) >= 1.0f; });
    };
    EXPECT_LT(peaks(b) * 3, peaks(p));
}

TEST(CNoiseGenerator, SmoothingGlidesToEachHeldValueAndZeroChangesNothing)
{
    const auto make = [](float smooth, int hold) {
        auto g = std::make_unique<CNoiseGenerator>();
        g->SetType(CNoiseGenerator::UniformWhite);
        g->SetHold(hold);
        g->SetSmooth(smooth);
        return g;
    };
    // Amount 0 (and any amount with hold 1) leaves every sample as the stepped output.
    for (const auto& [smooth, hold] : {std::pair{0.0f, 10}, {0.0f, 1}, {0.7f, 1}, {-0.5f, 5}})
        EXPECT_EQ(Render(*make(smooth, hold), 3), Render(*make(0.0f, hold), 3)) << smooth << " " << hold;

    // Amount a with hold 8: a straight glide over trunc(8a) samples that ends on the held value,
    // then the held value until the next draw; the glide starts from where the output stood.
    for (const auto& [smooth, glide] : {std::pair{1.0f, 8}, {0.5f, 4}, {0.3f, 2}}) {
        const std::vector<float> stepped = Render(*make(0.0f, 8), 2), out = Render(*make(smooth, 8), 2);
        for (std::size_t start = 8; start + 8 <= out.size(); start += 8) {
            const float from = out[start - 1], to = stepped[start];
            for (int k = 0; k < 8; ++k) {
                const float want = k + 1 >= glide ? to : from + (to - from) * static_cast<float>(k + 1) / glide;
                ASSERT_NEAR(out[start + static_cast<std::size_t>(k)], want, 1e-5f) << smooth << " at " << start + k;
            }
        }
    }
}

} // namespace
