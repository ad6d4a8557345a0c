// Render clock: start, 100 ns conversion, deltas, and the fallback without a counter frequency.
#include "engine/CRenderClock.h"

#include "platform/kernel.h"

#include <gtest/gtest.h>

namespace {

struct FakeCounter {
    std::int64_t ticks = 0;
    explicit FakeCounter(std::int64_t frequency)
    {
        corvane::platform::SetPerformanceCounterSource([this] { return ticks; }, frequency);
    }
    ~FakeCounter() { corvane::platform::SetPerformanceCounterSource({}, 0); }
};

TEST(CRenderClock, ConvertsCounterTicksTo100NsSinceStart)
{
    FakeCounter counter(1'000'000'000); // nanosecond ticks
    counter.ticks = 5'000'000'000;
    CRenderClock clock;
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime); // before Start there is no time yet
    ASSERT_NE(pTime, nullptr);
    EXPECT_EQ(*pTime, 0);

    EXPECT_EQ(clock.Start(), 0);
    EXPECT_TRUE(clock.IsStarted());
    EXPECT_TRUE(clock.IsHighResolution());
    EXPECT_EQ(clock.GetFrequency(), 1'000'000'000);

    counter.ticks += 15'000'000; // 15 ms
    EXPECT_EQ(clock.Sample(&pTime), 0);
    EXPECT_EQ(*pTime, 150'000);
    EXPECT_EQ(clock.GetDelta(), 15'000'000);

    counter.ticks += 1'234'567; // odd amounts truncate toward zero
    clock.Sample(&pTime);
    EXPECT_EQ(*pTime, 162'345);
    EXPECT_EQ(clock.GetDelta(), 1'234'567);
    EXPECT_EQ(clock.GetElapsed(), 16'234'567);
}

TEST(CRenderClock, UnusualFrequencyAndRestart)
{
    FakeCounter counter(3'579'545);
    CRenderClock clock;
    clock.Start();
    counter.ticks = 3'579'545; // one second
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime);
    EXPECT_NEAR(static_cast<double>(*pTime), 10'000'000.0, 1.0);

    // A second Start moves the origin; the frequency stays as first read.
    clock.Start();
    counter.ticks += 357'954; // about 100 ms
    clock.Sample(&pTime);
    EXPECT_NEAR(static_cast<double>(*pTime), 1'000'000.0, 2.0);
}

TEST(CRenderClock, FallsBackToAMillisecondClockWithoutCounterFrequency)
{
    FakeCounter counter(0); // QueryPerformanceFrequency fails
    counter.ticks = 999'999'999'999;
    CRenderClock clock;
    clock.Start();
    EXPECT_FALSE(clock.IsHighResolution());
    EXPECT_EQ(clock.GetFrequency(), 1000);
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime);
    const std::int64_t first = *pTime;
    EXPECT_GE(first, 0);
    EXPECT_EQ(first % 10'000, 0); // whole milliseconds
    EXPECT_LT(first, 10'000'000); // the fake counter is not used
    clock.Sample(&pTime);
    EXPECT_GE(*pTime, first);
}

} // namespace
