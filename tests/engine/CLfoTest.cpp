// LFOs over the shared table list: increments, selection, the slowed random table.
#include "engine/CLfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr unsigned kBlock = 882;

// The panel's set-up: five tables, shapes 0..4, shared by every LFO.
class LfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (unsigned k = 0; k < 5; ++k) {
            m_owned.push_back(std::make_unique<CWaveTable>());
            m_owned.back()->Allocate(4096);
            m_owned.back()->SetShape(k);
            m_tables.push_back(m_owned.back().get());
        }
    }
    CLfo MakeLfo()
    {
        CLfo lfo;
        lfo.SetTables(&m_tables);
        lfo.SetFrequency(1.0f);
        lfo.Select(0);
        return lfo;
    }

    std::vector<std::unique_ptr<CWaveTable>> m_owned;
    std::vector<CWaveTable*> m_tables;
};

TEST_F(LfoTest, OneHertzSineAdvances8192HundredthsPerBlockAndComesBack)
{
    CLfo lfo = MakeLfo();
    std::vector<float> block(kBlock);
    EXPECT_EQ(lfo.Render(block.data(), kBlock), 0);
    EXPECT_NEAR(lfo.GetPhase(), 81.92f, 1e-3f);
    EXPECT_NEAR(block[0], std::sin(2.0 * 3.14159265 * (4096.0 / 44100.0) / 4096.0), 1e-5);
    EXPECT_NEAR(block.back(), std::sin(2.0 * 3.14159265 * 81.92 / 4096.0), 1e-5);
    for (int b = 1; b < 50; ++b)
        lfo.Render(block.data(), kBlock);
    // 44100 samples: one period, back at the start.
    const float offset = std::fmod(lfo.GetPhase(), 4096.0f);
    EXPECT_NEAR(std::fmin(offset, 4096.0f - offset), 0.0f, 0.02f);
    EXPECT_NEAR(block.back(), 0.0f, 1e-4f);
}

TEST_F(LfoTest, SelectionKeepsPhaseAndIgnoresIndexesOutsideTheList)
{
    CLfo lfo = MakeLfo();
    std::vector<float> block(kBlock);
    lfo.Render(block.data(), kBlock);
    const float phase = lfo.GetPhase();
    lfo.Select(1);
    EXPECT_EQ(lfo.GetIndex(), 1u);
    EXPECT_EQ(lfo.GetPhase(), phase);
    lfo.Select(5);
    EXPECT_EQ(lfo.GetIndex(), 1u);
    EXPECT_EQ(lfo.GetTable(), m_tables[1]);

    // LFO 1 "Sawtooth" and LFO 2 "Sawtooth up" are the same table: the same output.
    CLfo a = MakeLfo();
    CLfo b = MakeLfo();
    a.Select(3);
    b.Select(3);
    std::vector<float> outA(kBlock), outB(kBlock);
    a.Render(outA.data(), kBlock);
    b.Render(outB.data(), kBlock);
    EXPECT_EQ(outA, outB);

    // Without a table list nothing is selected and the block stays as it was.
    CLfo bare;
    bare.Select(0);
    EXPECT_EQ(bare.GetTable(), nullptr);
    std::vector<float> untouched(kBlock, 0.25f);
    EXPECT_EQ(bare.Render(untouched.data(), kBlock), 0);
    EXPECT_EQ(untouched[0], 0.25f);
    EXPECT_EQ(bare.GetCurrentValue(), 0.0f);
}

TEST_F(LfoTest, RandomTableIsPlayed256TimesSlower)
{
    CLfo lfo = MakeLfo();
    lfo.Select(4);
    const float* t = m_tables[4]->GetData();
    // Each random value lasts 2756.25 samples at 1 Hz: entry 1 is reached after that many.
    std::vector<float> block(2757);
    lfo.Render(block.data(), 2757);
    EXPECT_NEAR(block[2755], t[0] * (0.25f / 2756.25f) + t[1] * (2756.0f / 2756.25f), 1e-3f);
    EXPECT_NEAR(block[2756], t[1] + (t[2] - t[1]) * (0.75f / 2756.25f), 1e-3f);
    EXPECT_NEAR(lfo.GetPhase(), 2757.0f / 2756.25f, 1e-4f);
}

TEST_F(LfoTest, EveryShapeAtTheFrequencyExtremesStaysInRange)
{
    for (unsigned shape = 0; shape < 5; ++shape) {
        for (float hz : {0.005f, 50.0f}) {
            CLfo lfo = MakeLfo();
            lfo.Select(shape);
            lfo.SetFrequency(hz);
            std::vector<float> block(kBlock);
            for (int b = 0; b < 3000; ++b) {
                lfo.Render(block.data(), kBlock);
                for (float v : block)
                    ASSERT_TRUE(v >= -1.95f && v <= 1.0f) << shape << " " << hz << " " << v;
            }
            EXPECT_GE(lfo.GetPhase(), 0.0f);
            EXPECT_LE(lfo.GetPhase(), 4096.0f);
        }
    }
}

} // namespace
