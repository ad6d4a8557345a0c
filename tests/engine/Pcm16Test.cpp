// Conversion of the finished block to 16-bit samples.
#include "engine/Pcm16.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Pcm16, ScalesBy32000TruncatesAndLimits)
{
    const float in[] = {1.0f, 1.5f, -1.0f, 0.99999f, -0.00002f, -7.0f, 0.5f, NAN, INFINITY, -INFINITY};
    const std::int16_t want[] = {32000, 32000, -32000, 31999, 0, -32000, 16000, 0, 32000, -32000};
    std::int16_t out[10] = {};
    EXPECT_EQ(corvane::engine::ConvertToPcm16(in, out, 10), 10u);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(out[i], want[i]) << i;
}

} // namespace
