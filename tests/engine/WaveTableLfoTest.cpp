// Wave tables (the five shapes, interpolated, 16-bit and FM playback) and the LFOs over them.
#include "engine/CLfo.h"

#include "platform/wintypes.h"

#include "SignalAnalysis.h"

#include <gtest/gtest.h>

namespace {

using namespace engine_test;

constexpr unsigned kTable = 4096;
constexpr float kOneEntryHz = 44100.0f / kTable; // plays one entry per sample

TEST(CWaveTable, ShapesAsTabulated)
{
    CWaveTable table;
    ASSERT_NE(table.Allocate(kTable), nullptr); // allocation generates a sine
    const float* t = table.GetData();
    EXPECT_NEAR(t[1024], 1.0f, 1e-6f);
    // The sawtooth's second half keeps falling instead of returning toward 0.
    const struct { unsigned shape; int at; float value, tolerance; } values[] = {
        {CWaveTable::Sine, 3072, -1.0f, 1e-6f}, {CWaveTable::Triangle, 512, 0.5f, 0}, {CWaveTable::Triangle, 1024, 1.0f, 0},
        {CWaveTable::Triangle, 2048, 0.0f, 0}, {CWaveTable::Triangle, 3072, -1.0f, 0},
        {CWaveTable::Triangle, 4095, -1.0f / 1024.0f, 0}, {CWaveTable::Pulse, 2047, 0.97f, 0},
        {CWaveTable::Pulse, 2048, -0.97f, 0}, {CWaveTable::Sawtooth, 2047, 0.97f, 1e-3f},
        {CWaveTable::Sawtooth, 2048, -0.97f, 1e-6f}, {CWaveTable::Sawtooth, 4095, -1.9395f, 1e-4f}};
    for (const auto& v : values) {
        EXPECT_EQ(table.SetShape(v.shape), 0);
        EXPECT_NEAR(t[v.at], v.value, v.tolerance) << v.shape << " at " << v.at;
    }
    table.SetShape(CWaveTable::Random); // the table's own source from seed 0
    CRandomSource reference;
    EXPECT_EQ(std::vector<float>(t, t + kTable), Noise(kTable, reference));
    const float before = t[100];
    EXPECT_EQ(table.SetShape(CWaveTable::Keep), 0); // writes nothing
    EXPECT_EQ(t[100], before);
    EXPECT_EQ(table.SetShape(6), E_INVALIDARG);

    // A shape set before allocation is kept for it: the same table as one shaped afterwards.
    CWaveTable early, late;
    EXPECT_EQ(early.SetShape(CWaveTable::Triangle), E_FAIL);
    early.Allocate(64);
    late.Allocate(64);
    late.SetShape(CWaveTable::Triangle);
    EXPECT_TRUE(std::equal(early.GetData(), early.GetData() + 64, late.GetData()));
    EXPECT_EQ(early.GetData()[8], 0.5f); // an eighth of the way: the triangle, not the sine
    // Tiny tables must not divide by zero, whatever the shape.
    for (unsigned size : {1u, 2u})
        for (unsigned shape = 0; shape < 5; ++shape) {
            CWaveTable tiny;
            tiny.Allocate(size);
            tiny.SetShape(shape);
            for (unsigned i = 0; i < size; ++i)
                EXPECT_TRUE(std::isfinite(tiny.GetData()[i])) << size << " " << shape;
        }
}

TEST(CWaveTable, InterpolatedPlaybackAdvancesBeforeReading)
{
    CWaveTable table, empty;
    table.Allocate(kTable);
    table.SetShape(CWaveTable::Triangle);
    float phase = 10.5f;
    float out[3];
    table.Render(out, 3, kOneEntryHz, &phase);
    EXPECT_FLOAT_EQ(out[0], 11.5f / 1024.0f);
    EXPECT_FLOAT_EQ(phase, 13.5f);
    // A phase of exactly the length stays and reads entry 0; the next step wraps.
    phase = kTable - 1;
    table.Render(out, 2, kOneEntryHz, &phase);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(phase, 1.0f);

    // Odd arguments keep every read inside the table.
    std::vector<float> block(kBlock);
    phase = -5000.0f;
    table.Render(block.data(), kBlock, -3.0f, &phase);
    EXPECT_TRUE(phase >= 0.0f && phase <= kTable);
    table.Render(block.data(), kBlock, 60000.0f, &phase); // more than a table per sample
    EXPECT_TRUE(phase >= 0.0f && phase <= kTable);
    phase = NAN;
    table.Render(block.data(), kBlock, NAN, &phase);
    EXPECT_EQ(phase, 0.0f);
    EXPECT_FLOAT_EQ(table.Lookup(-1.0f), -1.0f / 1024.0f);
    EXPECT_FLOAT_EQ(table.Lookup(kTable + 512.5f), 512.5f / 1024.0f);
    EXPECT_EQ(empty.Render(block.data(), kBlock, 1.0f, &phase), E_FAIL);

    // Very slow playback near the end of the table still moves (a float phase would not).
    phase = 4000.0f;
    for (int b = 0; b < 100; ++b)
        table.Render(block.data(), kBlock, 0.005f / 256.0f, &phase);
    const double expected = 100 * 882 * 4096.0 * 0.005 / 256.0 / 44100.0;
    EXPECT_NEAR(phase - 4000.0, expected, 0.1 * expected);
}

TEST(CWaveTable, SixteenBitAndFrequencyModulatedPlayback)
{
    CWaveTable table, modulator;
    table.Allocate(kTable);
    modulator.Allocate(kTable);
    std::vector<std::int16_t> pcm(kBlock), scaled;
    std::vector<float> ref(kBlock);
    float phase = 0.0f, floatPhase = 0.0f;
    table.RenderPcm16(pcm.data(), kBlock, 441.0f, &phase);
    table.Render(ref.data(), kBlock, 441.0f, &floatPhase);
    std::transform(ref.begin(), ref.end(), std::back_inserter(scaled), [](float v) { return std::int16_t(v * 28000.0f); });
    EXPECT_EQ(pcm, scaled);

    // The sawtooth's -1.94 x 28000 is beyond 16 bits: limited, not wrapped to positive.
    table.SetShape(CWaveTable::Sawtooth);
    phase = 4000.0f;
    table.RenderPcm16(pcm.data(), 1, 0.0f, &phase);
    EXPECT_EQ(pcm[0], -32768);

    // With a modulator RenderPcm16 plays frequency-modulated; index 0 is plain playback, and
    // the modulator position runs on between calls (5 Hz: 409.6 entries per 882 samples).
    table.SetShape(CWaveTable::Sine);
    table.SetModulator(&modulator, 5.0f);
    CWaveTable::SetModulatorPosition(0.0f);
    phase = 0.0f;
    table.RenderPcm16(pcm.data(), kBlock, 441.0f, &phase);
    EXPECT_EQ(pcm, scaled);
    EXPECT_NEAR(CWaveTable::GetModulatorPosition(), 409.6f, 0.01f);

    // A large index bends the pitch both ways, with negative steps, inside the table.
    table.SetModulationIndex(50.0f);
    table.SetModulatorFrequency(20.0f);
    std::vector<std::int16_t> fm(kBlock * 20);
    table.RenderPcm16Fm(fm.data(), static_cast<unsigned>(fm.size()), 441.0f, &phase);
    EXPECT_TRUE(phase >= 0.0f && phase <= kTable);
    int differing = 0;
    for (unsigned i = 0; i < kBlock; ++i)
        differing += fm[i] != pcm[i];
    EXPECT_GT(differing, 400);
}

TEST(CLfo, IncrementsSelectionAndTheSlowedRandomTable)
{
    ShapeTables tables;
    CLfo lfo, bare;
    lfo.SetTables(&tables.list);
    lfo.SetFrequency(1.0f);
    lfo.Select(0);
    // A 1 Hz sine advances 81.92 entries per block and is back after 44100 samples.
    std::vector<float> block(kBlock);
    lfo.Render(block.data(), kBlock);
    EXPECT_NEAR(lfo.GetPhase(), 81.92f, 1e-3f);
    EXPECT_NEAR(block.back(), std::sin(2.0 * 3.14159265 * 81.92 / 4096.0), 1e-5);
    for (int b = 1; b < 50; ++b)
        lfo.Render(block.data(), kBlock);
    const float offset = std::fmod(lfo.GetPhase(), 4096.0f);
    EXPECT_NEAR(std::fmin(offset, 4096.0f - offset), 0.0f, 0.02f);

    // Selection keeps the phase; an index outside the list keeps the current table.
    const float phase = lfo.GetPhase();
    lfo.Select(1);
    lfo.Select(5);
    EXPECT_EQ(lfo.GetTable(), tables.list[1]);
    EXPECT_EQ(lfo.GetPhase(), phase);
    bare.Select(0); // without a table list the block is left as it was
    std::vector<float> untouched(kBlock, 0.25f);
    EXPECT_EQ(bare.Render(untouched.data(), kBlock), 0);
    EXPECT_EQ(untouched[0], 0.25f);

    // The random table is played 256 times slower: at 1 Hz each value lasts 2756.25 samples.
    CLfo random;
    random.SetTables(&tables.list);
    random.SetFrequency(1.0f);
    random.Select(4);
    const float* t = tables.list[4]->GetData();
    std::vector<float> slow(2757);
    random.Render(slow.data(), 2757);
    EXPECT_NEAR(slow[2755], t[0] * (0.25f / 2756.25f) + t[1] * (2756.0f / 2756.25f), 1e-3f);
    EXPECT_NEAR(slow[2756], t[1] + (t[2] - t[1]) * (0.75f / 2756.25f), 1e-3f);
}


TEST(CLfo, AdvanceLeavesThePhaseWhereRenderWould)
{
    // An unrouted LFO is only advanced; once routed again it must carry on from the very phase
    // rendering would have left. Tables of both kinds and one too long for the fixed-point path,
    // rates from the slowest to one table length a sample, blocks of odd sizes and one whose
    // steps overflow a single 64-bit sum.
    const struct { unsigned length; float hz; } cases[] = {{kTable, 0.005f}, {kTable, 1.0f}, {kTable, 50.0f},
        {kTable, 44100.0f}, {1000, 3.7f}, {1000, 44100.0f}, {8192, 13.0f}};
    for (const auto& c : cases) {
        CWaveTable table;
        ASSERT_NE(table.Allocate(c.length), nullptr);
        std::vector<CWaveTable*> tables{&table};
        CLfo rendered, advanced;
        for (CLfo* lfo : {&rendered, &advanced}) {
            lfo->SetTables(&tables);
            lfo->Select(0);
            lfo->SetFrequency(c.hz);
        }
        std::vector<float> block(20000);
        for (unsigned n : {882u, 1u, 999u, 441u, 1000u, 20000u}) {
            rendered.Render(block.data(), n);
            advanced.Advance(n);
            ASSERT_EQ(rendered.GetPhase(), advanced.GetPhase()) << c.length << " " << c.hz << " " << n;
        }
    }
}

} // namespace
