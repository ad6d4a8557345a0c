// Render clock and the idle step's 15 ms gate, over an injected performance counter.
#include "engine/CRealtimeTicker.h"
#include "engine/CRenderClock.h"

#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using corvane::platform::SetPerformanceCounterSource;

struct Counter : ::testing::Test {
    std::int64_t ticks = 0;
    void Use(std::int64_t frequency) { SetPerformanceCounterSource([this] { return ticks; }, frequency); }
    void TearDown() override { SetPerformanceCounterSource({}, 0); }
};

TEST_F(Counter, ClockGives100NsSinceStartOrFallsBackToMilliseconds)
{
    ticks = 5'000'000'000;
    Use(1'000'000'000);
    CRenderClock clock;
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime); // not started: no time yet
    ASSERT_NE(pTime, nullptr);
    EXPECT_EQ(*pTime, 0);
    EXPECT_EQ(clock.Start(), 0);
    ticks += 15'000'000;
    clock.Sample(&pTime);
    EXPECT_EQ(*pTime, 150'000);
    ticks += 1'234'567; // truncated toward zero
    clock.Sample(&pTime);
    EXPECT_EQ(*pTime, 162'345);
    EXPECT_EQ(clock.GetDelta(), 1'234'567);
    clock.Start(); // a second Start moves the origin
    ticks += 100'000'000;
    clock.Sample(&pTime);
    EXPECT_EQ(*pTime, 1'000'000);

    // Without a counter frequency the clock counts whole milliseconds and ignores the counter.
    ticks = 999'999'999'999;
    Use(0);
    CRenderClock coarse;
    coarse.Start();
    EXPECT_EQ(coarse.GetFrequency(), 1000);
    coarse.Sample(&pTime);
    EXPECT_TRUE(*pTime >= 0 && *pTime < 10'000'000 && *pTime % 10'000 == 0) << *pTime;
}

TEST_F(Counter, TickerPassesFifteenMillisecondsAfterTheLastTickEvenAcrossTheWrap)
{
    Use(10'000'000);
    CRenderClock clock;
    clock.Start();
    CRealtimeTicker ticker;
    std::vector<std::int64_t> seen;
    const auto step = [&](std::int64_t ms) {
        ticks += ms * 10'000;
        ticker.OnRealtimeTick(clock, [&](std::int64_t* pTime) { seen.push_back(*pTime); });
        return seen.size();
    };
    EXPECT_EQ(step(14), 0u);
    EXPECT_EQ(step(1), 1u);
    EXPECT_EQ(seen[0], 150'000);
    EXPECT_EQ(ticker.LastTickMs(), 15);
    EXPECT_EQ(step(10), 1u); // measured from the last tick, not from the last idle step
    EXPECT_EQ(step(4), 1u);
    EXPECT_EQ(step(1), 2u);
    // Without a target the time is still recorded: the next pass needs another 15 ms.
    ticks += 20 * 10'000;
    EXPECT_EQ(ticker.OnRealtimeTick(clock, {}), 0);
    EXPECT_EQ(ticker.LastTickMs(), 50);
    EXPECT_EQ(step(14), 2u);
    EXPECT_EQ(step(1), 3u);

    // Crossing 2^31 ms (about 24.8 days) turns the 32-bit value negative.
    const std::int64_t nearWrapMs = 2'147'483'647 - 5;
    ticks = nearWrapMs * 10'000;
    ticker.SetLastTickMs(static_cast<std::int32_t>(nearWrapMs));
    EXPECT_EQ(step(14), 3u);
    EXPECT_EQ(step(1), 4u);
    EXPECT_EQ(ticker.LastTickMs(), -2'147'483'639);
    EXPECT_EQ(step(14), 4u); // and the gate still holds on the far side
    EXPECT_EQ(step(1), 5u);
}

} // namespace
