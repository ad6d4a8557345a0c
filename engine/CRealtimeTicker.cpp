// The idle step's 15 ms gate.
#include "engine/CRealtimeTicker.h"

namespace {
// (ms - last) as a signed 32-bit difference: milliseconds wrap after about 24.8 days, and the
// difference taken modulo 2^32 stays right across the wrap.
std::int32_t MsSince(std::int32_t ms, std::int32_t last)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms) - static_cast<std::uint32_t>(last));
}
} // namespace

std::int64_t CRealtimeTicker::TimeUntilOpen(std::int64_t time) const
{
    const auto ms = static_cast<std::int32_t>(time / 10000);
    const std::int32_t since = MsSince(ms, m_nLastTickMs);
    if (since >= kIntervalMs)
        return 0;
    return static_cast<std::int64_t>(kIntervalMs - since) * 10000 - time % 10000;
}

int CRealtimeTicker::OnRealtimeTick(CRenderClock& clock, const std::function<void(std::int64_t*)>& onTick)
{
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime);
    const auto ms = static_cast<std::int32_t>(*pTime / 10000);
    if (MsSince(ms, m_nLastTickMs) < kIntervalMs)
        return 0;
    if (onTick)
        onTick(pTime);
    m_nLastTickMs = ms;
    return 0;
}
