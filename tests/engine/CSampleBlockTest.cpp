// Sample block memory handling and the random source's fixed sequence.
#include "engine/CRandomSource.h"
#include "engine/CSampleBlock.h"

#include <gtest/gtest.h>

namespace {

TEST(CSampleBlock, ReallocationReplacesTheMemoryWithZeroes)
{
    CSampleBlock block;
    EXPECT_EQ(block.GetElementSize(), 4u);
    float* first = block.Allocate(882);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(block.GetLength(), 882u);
    for (unsigned i = 0; i < 882; ++i)
        first[i] = 0.5f;
    float* second = block.Allocate(100);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(block.GetCapacity(), 100u);
    for (unsigned i = 0; i < 100; ++i)
        ASSERT_EQ(second[i], 0.0f) << i;
    block.Allocate(0);
    EXPECT_EQ(block.GetLength(), 0u);
}

TEST(CRandomSource, FixedSequenceFromSeedZeroUniformInMinusOneToOne)
{
    CRandomSource random;
    EXPECT_FLOAT_EQ(random.Draw(), 0.7336041927f);
    EXPECT_EQ(random.GetSeed(), 1013904223u);
    EXPECT_EQ(random.GetLastBits(), 0x3feef35fu);
    EXPECT_FLOAT_EQ(random.Draw(), 0.2525143623f);
    EXPECT_EQ(random.GetSeed(), 1196435762u);
    EXPECT_FLOAT_EQ(random.Draw(), 0.2025701999f);
    EXPECT_EQ(random.GetSeed(), 3519870697u);

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

} // namespace
