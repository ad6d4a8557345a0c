// The idle step's 15 ms gate.
#include "engine/CRealtimeTicker.h"

int CRealtimeTicker::OnRealtimeTick(CRenderClock& clock, const std::function<void(std::int64_t*)>& onTick)
{
    std::int64_t* pTime = nullptr;
    clock.Sample(&pTime);
    // Milliseconds wrap as a 32-bit value after about 24.8 days; the difference is taken
    // modulo 2^32 so the comparison stays right across the wrap.
    const auto ms = static_cast<std::int32_t>(*pTime / 10000);
    const auto diff = static_cast<std::int32_t>(static_cast<std::uint32_t>(ms) - static_cast<std::uint32_t>(m_nLastTickMs));
    if (diff < kIntervalMs)
        return 0;
    if (onTick)
        onTick(pTime);
    m_nLastTickMs = ms;
    return 0;
}
