// Sample block memory handling and the random source's fixed sequence.
#include "engine/CRandomSource.h"
#include "engine/CSampleBlock.h"

#include <gtest/gtest.h>

namespace {

TEST(CSampleBlock, AllocatesZeroedMemoryAndReplacesItOnReallocation)
{
    CSampleBlock block;
    EXPECT_EQ(block.GetElementSize(), 4u);
    EXPECT_EQ(block.GetData(), nullptr);
    EXPECT_EQ(block.GetLength(), 0u);
    EXPECT_FALSE(block.IsReady());

    float* first = block.Allocate(882);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(block.GetData(), first);
    EXPECT_EQ(block.GetLength(), 882u);
    EXPECT_EQ(block.GetCapacity(), 882u);
    for (unsigned i = 0; i < 882; ++i)
        first[i] = 0.5f;

    float* second = block.Allocate(100);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(block.GetLength(), 100u);
    for (unsigned i = 0; i < 100; ++i)
        EXPECT_EQ(second[i], 0.0f) << i;

    block.Allocate(0);
    EXPECT_EQ(block.GetLength(), 0u);

    EXPECT_EQ(block.Init(nullptr), 0);
    EXPECT_TRUE(block.IsReady());
    EXPECT_EQ(block.Refresh(), 0);
    EXPECT_EQ(block.GetBlock(nullptr), &block);
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

    // Uniform over [-1, 1): bounds, mean, variance 1/3 and even bins.
    int bins[10] = {};
    double sum = 0.0, sumSq = 0.0;
    const int n = 200'000;
    for (int i = 0; i < n; ++i) {
        const float w = random.Draw();
        ASSERT_GE(w, -1.0f);
        ASSERT_LT(w, 1.0f);
        sum += w;
        sumSq += static_cast<double>(w) * w;
        ++bins[static_cast<int>((w + 1.0f) * 5.0f)];
    }
    EXPECT_NEAR(sum / n, 0.0, 0.01);
    EXPECT_NEAR(sumSq / n, 1.0 / 3.0, 0.01);
    for (int count : bins)
        EXPECT_NEAR(count, n / 10, n / 100);
}

} // namespace
