// The idle step's gate: lets a render tick through at most once every 15 ms of clock time.
#pragma once

#include "engine/CRenderClock.h"

#include <cstdint>
#include <functional>

class CRealtimeTicker {
public:
    // Minimum distance between two ticks, in milliseconds.
    static constexpr std::int32_t kIntervalMs = 15;

    // Samples the clock; when (ms - last) >= 15 as a signed 32-bit difference, calls
    // onTick(pTime) if onTick is non-empty, and records ms as the last tick time
    // (also without a target). Returns 0.
    int OnRealtimeTick(CRenderClock& clock, const std::function<void(std::int64_t*)>& onTick);
    // Time until the gate opens for a clock reading of `time` (100 ns units), in 100 ns units;
    // 0 when it is open already.
    std::int64_t TimeUntilOpen(std::int64_t time) const;
    std::int32_t LastTickMs() const { return m_nLastTickMs; }
    void SetLastTickMs(std::int32_t ms) { m_nLastTickMs = ms; } // for tests (e.g. near the 32-bit wrap)

private:
    std::int32_t m_nLastTickMs = 0;
};
