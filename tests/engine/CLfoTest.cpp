// LFOs over the shared table list: increments, selection, the slowed random table.
#include "engine/CLfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr unsigned kBlock = 882;

// The panel's set-up: five tables, shapes 0..4, shared; LFOs start as 1 Hz sines.
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
        m_lfo.SetTables(&m_tables);
        m_lfo.SetFrequency(1.0f);
        m_lfo.Select(0);
    }

    std::vector<std::unique_ptr<CWaveTable>> m_owned;
    std::vector<CWaveTable*> m_tables;
    CLfo m_lfo;
};

TEST_F(LfoTest, OneHertzSineAdvances81Point92EntriesPerBlockAndComesBack)
{
    std::vector<float> block(kBlock);
    m_lfo.Render(block.data(), kBlock);
    EXPECT_NEAR(m_lfo.GetPhase(), 81.92f, 1e-3f);
    EXPECT_NEAR(block.back(), std::sin(2.0 * 3.14159265 * 81.92 / 4096.0), 1e-5);
    for (int b = 1; b < 50; ++b)
        m_lfo.Render(block.data(), kBlock);
    const float offset = std::fmod(m_lfo.GetPhase(), 4096.0f); // 44100 samples: one period
    EXPECT_NEAR(std::fmin(offset, 4096.0f - offset), 0.0f, 0.02f);

    // Selection keeps the phase; an index outside the list keeps the current table.
    const float phase = m_lfo.GetPhase();
    m_lfo.Select(1);
    m_lfo.Select(5);
    EXPECT_EQ(m_lfo.GetTable(), m_tables[1]);
    EXPECT_EQ(m_lfo.GetPhase(), phase);

    // Without a table list the block is left as it was.
    CLfo bare;
    bare.Select(0);
    std::vector<float> untouched(kBlock, 0.25f);
    EXPECT_EQ(bare.Render(untouched.data(), kBlock), 0);
    EXPECT_EQ(untouched[0], 0.25f);
}

TEST_F(LfoTest, RandomTableIsPlayed256TimesSlower)
{
    m_lfo.Select(4);
    const float* t = m_tables[4]->GetData();
    // At 1 Hz each random value lasts 2756.25 samples.
    std::vector<float> block(2757);
    m_lfo.Render(block.data(), 2757);
    EXPECT_NEAR(block[2755], t[0] * (0.25f / 2756.25f) + t[1] * (2756.0f / 2756.25f), 1e-3f);
    EXPECT_NEAR(block[2756], t[1] + (t[2] - t[1]) * (0.75f / 2756.25f), 1e-3f);
}

} // namespace
