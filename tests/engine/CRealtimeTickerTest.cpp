// The idle step's 15 ms gate, driven by an injected counter.
#include "engine/CRealtimeTicker.h"

#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RealtimeTickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 100 ns ticks: the clock time equals the counter.
        corvane::platform::SetPerformanceCounterSource([this] { return m_ticks; }, 10'000'000);
        m_clock.Start();
    }
    void TearDown() override { corvane::platform::SetPerformanceCounterSource({}, 0); }

    void AdvanceMs(std::int64_t ms) { m_ticks += ms * 10'000; }
    int Tick()
    {
        return m_ticker.OnRealtimeTick(m_clock, [this](std::int64_t* pTime) { m_seen.push_back(*pTime); });
    }

    std::int64_t m_ticks = 0;
    CRenderClock m_clock;
    CRealtimeTicker m_ticker;
    std::vector<std::int64_t> m_seen;
};

TEST_F(RealtimeTickerTest, PassesOnlyAfterFifteenMilliseconds)
{
    AdvanceMs(14);
    EXPECT_EQ(Tick(), 0);
    EXPECT_TRUE(m_seen.empty());
    EXPECT_EQ(m_ticker.LastTickMs(), 0);

    AdvanceMs(1);
    Tick();
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_seen[0], 150'000); // the clock time in 100 ns
    EXPECT_EQ(m_ticker.LastTickMs(), 15);

    // Measured from the last tick, not from the previous idle step.
    AdvanceMs(10);
    Tick();
    AdvanceMs(4);
    Tick();
    EXPECT_EQ(m_seen.size(), 1u);
    AdvanceMs(1);
    Tick();
    EXPECT_EQ(m_seen.size(), 2u);
    EXPECT_EQ(m_ticker.LastTickMs(), 30);
}

TEST_F(RealtimeTickerTest, WithoutTargetStillRecordsTheTime)
{
    AdvanceMs(20);
    EXPECT_EQ(m_ticker.OnRealtimeTick(m_clock, {}), 0);
    EXPECT_EQ(m_ticker.LastTickMs(), 20);
    // The next pass needs another 15 ms.
    AdvanceMs(14);
    Tick();
    EXPECT_TRUE(m_seen.empty());
    AdvanceMs(1);
    Tick();
    EXPECT_EQ(m_seen.size(), 1u);
}

TEST_F(RealtimeTickerTest, SurvivesTheMillisecondWrapAfterAbout25Days)
{
    const std::int64_t nearWrapMs = 2'147'483'647 - 5;
    m_ticks = nearWrapMs * 10'000;
    m_ticker.SetLastTickMs(static_cast<std::int32_t>(nearWrapMs));
    AdvanceMs(14); // crosses 2^31 ms: the 32-bit value turns negative
    Tick();
    EXPECT_TRUE(m_seen.empty());
    AdvanceMs(1);
    Tick();
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_ticker.LastTickMs(), -2'147'483'639); // 2^31 + 9 ms as a signed 32-bit value
    AdvanceMs(15);
    Tick();
    EXPECT_EQ(m_seen.size(), 2u);
}

} // namespace
