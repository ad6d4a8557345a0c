// The export's rate conversion: exactly the frames asked for, a top-octave tone kept clean.
#include "app/export/CExportResampler.h"
#include "tests/support/ToneResidue.h"

#include <gtest/gtest.h>

TEST(CExportResampler, MakesTheFramesAskedForWithAliasesAndImages70DbDown)
{
    // The right channel follows the left, then (from input frame 10000) plays 5 kHz of its own:
    // the side's converter joins mid-way and must land on the middle's frames exactly, or the
    // 5 kHz tone would leak into the left channel.
    const struct { int rate; double hz; } cases[] = {{48000, 19000}, {22050, 9000}};
    const auto tone = [](double hz, std::size_t frame) {
        return static_cast<std::int16_t>(std::lrint(16000 * std::sin(2 * std::numbers::pi * hz * frame / 44100)));
    };
    for (const auto& c : cases) {
        const std::int64_t total = c.rate / 2;
        std::vector<std::int16_t> in(2 * static_cast<std::size_t>(CExportResampler::InputFramesFor(total, 44100, c.rate)));
        for (std::size_t f = 0; f < in.size() / 2; ++f)
            in[2 * f] = tone(c.hz, f), in[2 * f + 1] = f < 10000 ? tone(c.hz, f) : tone(5000, f);
        std::vector<double> left, right;
        CExportResampler r(total, 1000, [&](const std::int16_t* s, std::int64_t n, QString*) {
            for (std::int64_t f = 0; f < n; ++f)
                left.push_back(s[f * 2]), right.push_back(s[f * 2 + 1]);
            return n <= 1000;
        });
        QString error;
        ASSERT_TRUE(r.Open(44100, c.rate, 2, &error)) << error.toStdString();
        ASSERT_TRUE(r.Process(in.data(), static_cast<std::int64_t>(in.size() / 2), &error));
        ASSERT_TRUE(r.Finish(&error)) << error.toStdString();
        ASSERT_EQ(left.size(), static_cast<std::size_t>(total)) << c.rate;
        // Past the start, where the filter rings from the sudden onset.
        EXPECT_LT(ResidueDb(std::vector<double>(left.begin() + 2000, left.end()), c.hz, c.rate), -70.0) << c.rate;
        EXPECT_LT(ResidueDb(std::vector<double>(right.begin() + c.rate / 3, right.end()), 5000, c.rate), -70.0) << c.rate;
    }
}
