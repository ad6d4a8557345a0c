// Wave tables: the five shapes, status results, interpolated, 16-bit and FM playback.
#include "engine/CWaveTable.h"

#include "platform/wintypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr unsigned kTable = 4096;

TEST(CWaveTable, ShapesAsTabulated)
{
    CWaveTable table;
    ASSERT_NE(table.Allocate(kTable), nullptr); // allocation generates a sine
    EXPECT_TRUE(table.IsReady());
    const float* t = table.GetData();
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_NEAR(t[1024], 1.0f, 1e-6f);
    EXPECT_NEAR(t[3072], -1.0f, 1e-6f);

    EXPECT_EQ(table.SetShape(CWaveTable::Triangle), 0);
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_EQ(t[1024], 1.0f);
    EXPECT_EQ(t[2048], 0.0f);
    EXPECT_EQ(t[3072], -1.0f);
    EXPECT_EQ(t[4095], -1.0f / 1024.0f);
    EXPECT_EQ(t[512], 0.5f);

    EXPECT_EQ(table.SetShape(CWaveTable::Pulse), 0);
    EXPECT_EQ(t[0], 0.97f);
    EXPECT_EQ(t[2047], 0.97f);
    EXPECT_EQ(t[2048], -0.97f);
    EXPECT_EQ(t[4095], -0.97f);

    // The sawtooth's second half keeps falling instead of returning toward 0.
    EXPECT_EQ(table.SetShape(CWaveTable::Sawtooth), 0);
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_NEAR(t[2047], 0.97f, 1e-3f);
    EXPECT_NEAR(t[2048], -0.97f, 1e-6f);
    EXPECT_NEAR(t[4095], -1.9395f, 1e-4f);
    for (unsigned i = 2049; i < kTable; ++i)
        ASSERT_LT(t[i], t[i - 1]);

    // Random: the table's own source from seed 0, so the same table every run.
    EXPECT_EQ(table.SetShape(CWaveTable::Random), 0);
    CRandomSource reference;
    for (unsigned i = 0; i < kTable; ++i)
        ASSERT_EQ(t[i], reference.Draw()) << i;

    // Shape 5 writes nothing; above 5 is refused and changes nothing.
    const float before = t[100];
    EXPECT_EQ(table.SetShape(CWaveTable::Keep), 0);
    EXPECT_EQ(t[100], before);
    EXPECT_EQ(table.SetShape(6), E_INVALIDARG);
    EXPECT_EQ(table.GetShape(), static_cast<unsigned>(CWaveTable::Keep));
}

TEST(CWaveTable, ShapeBeforeAllocationIsKeptForLater)
{
    CWaveTable table;
    EXPECT_EQ(table.SetShape(CWaveTable::Pulse), E_FAIL);
    EXPECT_EQ(table.GetShape(), static_cast<unsigned>(CWaveTable::Pulse));
    table.Allocate(8);
    EXPECT_EQ(table.GetData()[0], 0.97f);
    EXPECT_EQ(table.GetData()[7], -0.97f);

    // Tiny tables must not divide by zero.
    CWaveTable tiny;
    tiny.Allocate(2);
    for (unsigned shape = 0; shape < 5; ++shape) {
        tiny.SetShape(shape);
        for (unsigned i = 0; i < 2; ++i)
            EXPECT_TRUE(std::isfinite(tiny.GetData()[i])) << shape;
    }

    // Playback of an empty table is refused, not a crash.
    CWaveTable empty;
    float out[4] = {7, 7, 7, 7};
    float phase = 0.0f;
    EXPECT_EQ(empty.Render(out, 4, 1.0f, &phase), E_FAIL);
    EXPECT_EQ(out[0], 7.0f);
    EXPECT_EQ(empty.Lookup(3.0f), 0.0f);
}

TEST(CWaveTable, InterpolatedPlaybackAdvancesBeforeReading)
{
    CWaveTable table;
    table.Allocate(kTable);
    table.SetShape(CWaveTable::Triangle);

    // 44100 / 4096 Hz steps exactly one entry per sample.
    float phase = 10.5f;
    float out[3];
    table.Render(out, 3, 44100.0f / kTable, &phase);
    EXPECT_FLOAT_EQ(out[0], 11.5f / 1024.0f);
    EXPECT_FLOAT_EQ(out[2], 13.5f / 1024.0f);
    EXPECT_FLOAT_EQ(phase, 13.5f);

    // A phase of exactly the length stays and reads entry 0; the next step wraps.
    phase = kTable - 1;
    table.Render(out, 2, 44100.0f / kTable, &phase);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 1.0f / 1024.0f);
    EXPECT_FLOAT_EQ(phase, 1.0f);

    // Frequency 0 fills the block with the value at the current phase.
    phase = 512.0f;
    std::vector<float> still(882);
    table.Render(still.data(), 882, 0.0f, &phase);
    for (float v : still)
        ASSERT_EQ(v, 0.5f);

    // Odd arguments keep the reads inside the table.
    phase = -5000.0f;
    table.Render(still.data(), 882, -3.0f, &phase);
    EXPECT_GE(phase, 0.0f);
    EXPECT_LE(phase, static_cast<float>(kTable));
    phase = NAN;
    table.Render(still.data(), 882, NAN, &phase);
    EXPECT_EQ(phase, 0.0f);
    EXPECT_FLOAT_EQ(table.Lookup(-1.0f), -1.0f / 1024.0f);
    EXPECT_FLOAT_EQ(table.Lookup(kTable + 512.5f), 512.5f / 1024.0f);
    EXPECT_TRUE(std::isfinite(table.Lookup(NAN)));
}

TEST(CWaveTable, SlowPlaybackKeepsMovingNearTheEndOfTheTable)
{
    // The random LFO at 0.005 Hz plays the table at 1/256 of that: a float phase near
    // 4000 entries would stop moving.
    CWaveTable table;
    table.Allocate(kTable);
    float phase = 4000.0f;
    std::vector<float> block(882);
    for (int b = 0; b < 100; ++b)
        table.Render(block.data(), 882, 0.005f / 256.0f, &phase);
    const double expected = 4000.0 + 100 * 882 * 4096.0 * 0.005 / 256.0 / 44100.0;
    EXPECT_NEAR(phase, expected, 0.1 * (expected - 4000.0));
}

TEST(CWaveTable, SixteenBitAndFrequencyModulatedPlayback)
{
    CWaveTable table;
    table.Allocate(kTable);
    std::vector<std::int16_t> pcm(882);
    float phase = 0.0f;
    EXPECT_EQ(table.RenderPcm16(pcm.data(), 882, 441.0f, &phase), 0);
    float floatPhase = 0.0f;
    std::vector<float> ref(882);
    table.Render(ref.data(), 882, 441.0f, &floatPhase);
    for (unsigned i = 0; i < 882; ++i)
        ASSERT_EQ(pcm[i], static_cast<std::int16_t>(ref[i] * 28000.0f)) << i;

    // The sawtooth's -1.94 is beyond 16 bits at 28000: limited, not wrapped to positive.
    table.SetShape(CWaveTable::Sawtooth);
    phase = 4000.0f;
    table.RenderPcm16(pcm.data(), 10, 0.0f, &phase);
    EXPECT_EQ(pcm[0], -32768);

    // With a modulator, RenderPcm16 plays frequency-modulated; index 0 is plain playback.
    table.SetShape(CWaveTable::Sine);
    CWaveTable modulator;
    modulator.Allocate(kTable);
    EXPECT_EQ(table.SetModulator(&modulator, 5.0f), 0);
    EXPECT_EQ(table.GetModulatorFrequency(), 5.0f);
    CWaveTable::SetModulatorPosition(0.0f);
    phase = 0.0f;
    table.RenderPcm16(pcm.data(), 882, 441.0f, &phase);
    for (unsigned i = 0; i < 882; ++i)
        ASSERT_EQ(pcm[i], static_cast<std::int16_t>(ref[i] * 28000.0f)) << i;
    // The modulator position is kept between calls: 5 Hz over 882 samples is 409.6 entries.
    EXPECT_NEAR(CWaveTable::GetModulatorPosition(), 409.6f, 0.01f);

    // A large index bends the pitch both ways (negative steps included) and stays in the table.
    EXPECT_EQ(table.SetModulationIndex(50.0f), 0);
    table.SetModulatorFrequency(20.0f);
    std::vector<std::int16_t> fm(882 * 20);
    EXPECT_EQ(table.RenderPcm16Fm(fm.data(), static_cast<unsigned>(fm.size()), 441.0f, &phase), 0);
    EXPECT_GE(phase, 0.0f);
    EXPECT_LE(phase, static_cast<float>(kTable));
    int differing = 0;
    for (unsigned i = 0; i < 882; ++i)
        differing += fm[i] != pcm[i];
    EXPECT_GT(differing, 400);
    for (std::int16_t v : fm)
        ASSERT_LE(std::abs(v), 28000);
}

} // namespace
