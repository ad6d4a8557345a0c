// Render clock: 100 ns conversion from an injected counter, and the fallback without a frequency.
#include "engine/CRenderClock.h"

#include "platform/kernel.h"

#include <gtest/gtest.h>

namespace {

TEST(CRenderClock, ConvertsCounterTicksTo100NsSinceStart)
{
    std::int64_t ticks = 5'000'000'000;
    corvane::platform::SetPerformanceCounterSource([&] { return ticks; }, 1'000'000'000);
    CRenderClock clock;
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime); // not started: no time yet
    ASSERT_NE(pTime, nullptr);
    EXPECT_EQ(*pTime, 0);

    EXPECT_EQ(clock.Start(), 0);
    EXPECT_TRUE(clock.IsHighResolution());
    ticks += 15'000'000;
    EXPECT_EQ(clock.Sample(&pTime), 0);
    EXPECT_EQ(*pTime, 150'000);
    EXPECT_EQ(clock.GetDelta(), 15'000'000);
    ticks += 1'234'567; // truncated toward zero
    clock.Sample(&pTime);
    EXPECT_EQ(*pTime, 162'345);
    EXPECT_EQ(clock.GetDelta(), 1'234'567);

    // A second Start moves the origin; the frequency stays as first read.
    clock.Start();
    ticks += 100'000'000;
    clock.Sample(&pTime);
    EXPECT_EQ(*pTime, 1'000'000);
    corvane::platform::SetPerformanceCounterSource({}, 0);
}

TEST(CRenderClock, FallsBackToAMillisecondClockWithoutCounterFrequency)
{
    corvane::platform::SetPerformanceCounterSource([] { return std::int64_t{999'999'999'999}; }, 0);
    CRenderClock clock;
    clock.Start();
    EXPECT_FALSE(clock.IsHighResolution());
    EXPECT_EQ(clock.GetFrequency(), 1000);
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime);
    const std::int64_t first = *pTime;
    EXPECT_GE(first, 0);
    EXPECT_EQ(first % 10'000, 0); // whole milliseconds
    EXPECT_LT(first, 10'000'000); // the frequency-less counter is not used
    clock.Sample(&pTime);
    EXPECT_GE(*pTime, first);
    corvane::platform::SetPerformanceCounterSource({}, 0);
}

} // namespace
