// Wave table playback against the plain double-phase loop, sample for sample, at LFO rates
// from the slowest (random table, 256 times slower) to the fastest and past a table's length.
#include "engine/CWaveTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Render as the description puts it: the phase advances in double by length * f / 44100
// (taken as a float), is wrapped into [0, length], and the neighbouring entries are mixed.
struct ReferencePlayer {
    const std::vector<float>& t;
    double phase = 0.0;

    float Next(double inc)
    {
        const double n = static_cast<double>(t.size());
        phase += inc;
        if (phase > n)
            phase -= n;
        if (!(phase >= 0.0 && phase <= n)) {
            phase = std::fmod(phase, n);
            if (phase < 0.0)
                phase += n;
        }
        const auto k = static_cast<std::uint32_t>(phase);
        const float frac = static_cast<float>(phase - k);
        const std::uint32_t i0 = k % t.size();
        const std::uint32_t i1 = i0 + 1 == t.size() ? 0 : i0 + 1;
        return t[i0] * (1.0f - frac) + t[i1] * frac;
    }
};

} // namespace

TEST(CWaveTablePlayback, EqualsTheDoublePhaseLoopAtEveryRateAndLength)
{
    for (unsigned length : {4096u, 1000u, 8192u, 3u}) {
        CWaveTable table;
        table.Allocate(length);
        table.SetShape(CWaveTable::Random);
        std::vector<float> entries(table.GetData(), table.GetData() + length);
        for (float hz : {0.005f * 0.00390625f, 0.005f, 0.37f, 1.0f, 13.3f, 50.0f, 60000.0f}) {
            ReferencePlayer reference{entries};
            float phase = 0.0f;
            std::vector<float> block(882);
            const double inc = static_cast<float>(static_cast<double>(length) * hz / 44100.0);
            // 20 s in the panel's blocks; the phase is kept as a float between blocks.
            for (int b = 0; b < 1000; ++b) {
                ASSERT_EQ(table.Render(block.data(), 882, hz, &phase), 0);
                for (unsigned i = 0; i < 882; ++i)
                    ASSERT_EQ(block[i], reference.Next(inc)) << length << " entries, " << hz << " Hz, block " << b;
                ASSERT_EQ(phase, static_cast<float>(reference.phase));
                reference.phase = phase;
            }
        }
    }
}
