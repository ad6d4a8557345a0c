// The idle step's 15 ms gate, driven by an injected counter in 100 ns ticks.
#include "engine/CRealtimeTicker.h"

#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RealtimeTickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        corvane::platform::SetPerformanceCounterSource([this] { return m_ticks; }, 10'000'000);
        m_clock.Start();
    }
    void TearDown() override { corvane::platform::SetPerformanceCounterSource({}, 0); }
    // Advances the counter by ms and takes one idle step with a recording target.
    void StepAfter(std::int64_t ms)
    {
        m_ticks += ms * 10'000;
        m_ticker.OnRealtimeTick(m_clock, [this](std::int64_t* pTime) { m_seen.push_back(*pTime); });
    }

    std::int64_t m_ticks = 0;
    CRenderClock m_clock;
    CRealtimeTicker m_ticker;
    std::vector<std::int64_t> m_seen;
};

TEST_F(RealtimeTickerTest, PassesFifteenMillisecondsAfterTheLastTick)
{
    StepAfter(14);
    EXPECT_TRUE(m_seen.empty());
    StepAfter(1);
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_seen[0], 150'000);
    EXPECT_EQ(m_ticker.LastTickMs(), 15);
    StepAfter(10); // measured from the last tick, not from the last idle step
    StepAfter(4);
    EXPECT_EQ(m_seen.size(), 1u);
    StepAfter(1);
    EXPECT_EQ(m_seen.size(), 2u);

    // Without a target the time is still recorded: the next pass needs another 15 ms.
    m_ticks += 20 * 10'000;
    EXPECT_EQ(m_ticker.OnRealtimeTick(m_clock, {}), 0);
    EXPECT_EQ(m_ticker.LastTickMs(), 50);
    StepAfter(14);
    EXPECT_EQ(m_seen.size(), 2u);
    StepAfter(1);
    EXPECT_EQ(m_seen.size(), 3u);
}

TEST_F(RealtimeTickerTest, SurvivesTheMillisecondWrapAfterAbout25Days)
{
    const std::int64_t nearWrapMs = 2'147'483'647 - 5;
    m_ticks = nearWrapMs * 10'000;
    m_ticker.SetLastTickMs(static_cast<std::int32_t>(nearWrapMs));
    StepAfter(14); // crosses 2^31 ms: the 32-bit value turns negative
    EXPECT_TRUE(m_seen.empty());
    StepAfter(1);
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_ticker.LastTickMs(), -2'147'483'639); // 2^31 + 9 as a signed 32-bit value
    StepAfter(15);
    EXPECT_EQ(m_seen.size(), 2u);
}

} // namespace
