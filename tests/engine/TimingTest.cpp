// Render clock and the idle step's 15 ms gate, over an injected performance counter.
#include "engine/CRealtimeTicker.h"
#include "engine/CRenderClock.h"

#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
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
    const auto expectGate = [&](std::initializer_list<std::pair<std::int64_t, std::size_t>> steps) {
        for (const auto& [ms, passed] : steps)
            EXPECT_EQ(step(ms), passed) << "after " << ms << " ms";
    };
    expectGate({{14, 0}, {1, 1}, {10, 1}, {4, 1}, {1, 2}}); // from the last tick, not the last step
    EXPECT_EQ(seen.at(0), 150'000);
    EXPECT_EQ(ticker.LastTickMs(), 30);
    // Without a target the time is still recorded: the next pass needs another 15 ms.
    ticks += 20 * 10'000;
    EXPECT_EQ(ticker.OnRealtimeTick(clock, {}), 0);
    EXPECT_EQ(ticker.LastTickMs(), 50);
    expectGate({{14, 2}, {1, 3}});

    // Crossing 2^31 ms (about 24.8 days) turns the 32-bit value negative; the gate still holds.
    const std::int64_t nearWrapMs = 2'147'483'647 - 5;
    ticks = nearWrapMs * 10'000;
    ticker.SetLastTickMs(static_cast<std::int32_t>(nearWrapMs));
    expectGate({{14, 3}, {1, 4}});
    EXPECT_EQ(ticker.LastTickMs(), -2'147'483'639);
    expectGate({{14, 4}, {1, 5}});
}

} // namespace
