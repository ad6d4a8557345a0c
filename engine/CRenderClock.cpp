// High-resolution clock over the performance counter, with a millisecond fallback.
#include "engine/CRenderClock.h"

#include "platform/kernel.h"

#include <chrono>

namespace {
// Used when the performance counter reports no frequency: a coarser but steady clock.
constexpr std::int64_t kFallbackFrequency = 1000;
} // namespace

std::int64_t CRenderClock::ReadCounter() const
{
    if (!m_bHighResolution) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

int CRenderClock::Start()
{
    if (!m_bStarted) {
        LARGE_INTEGER frequency{};
        m_bHighResolution = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
        m_llFrequency = m_bHighResolution ? frequency.QuadPart : kFallbackFrequency;
        m_llNow = ReadCounter();
        m_bStarted = true;
    }
    m_llNow = ReadCounter();
    m_llStart = m_llNow;
    return 0;
}

int CRenderClock::Sample(std::int64_t** ppTime)
{
    if (m_bStarted) {
        m_llNow = ReadCounter();
        m_llElapsed = m_llNow - m_llStart;
        m_llDelta = m_llElapsed - m_llLastElapsed;
        // Extended precision keeps the 100 ns conversion exact for the usual frequencies.
        const long double ticksPer100ns = static_cast<long double>(m_llFrequency) * 1e-7L;
        m_llTime = static_cast<std::int64_t>(static_cast<long double>(m_llElapsed) / ticksPer100ns);
        m_llLastElapsed = m_llElapsed;
    }
    if (ppTime)
        *ppTime = &m_llTime;
    return 0;
}
