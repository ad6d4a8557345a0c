// High-resolution clock that hands out the time since Start in 100 ns units.
#pragma once

#include <cstdint>

class CRenderClock {
public:
    CRenderClock() = default;
    virtual ~CRenderClock() = default;

    // Reads the counter frequency (first call only) and makes the current reading time zero.
    // Returns 0.
    int Start();
    // Takes a counter reading, updates the time and stores the address of the time
    // (100 ns units since Start) through ppTime. Before Start the time stays 0. Returns 0.
    int Sample(std::int64_t** ppTime);

    std::int64_t GetTime() const { return m_llTime; }
    std::int64_t GetDelta() const { return m_llDelta; }
    std::int64_t GetFrequency() const { return m_llFrequency; }
    std::int64_t GetElapsed() const { return m_llElapsed; }
    bool IsHighResolution() const { return m_bHighResolution; }
    bool IsStarted() const { return m_bStarted; }

private:
    std::int64_t ReadCounter() const;

    std::int64_t m_llTime = 0;
    std::int64_t m_llDelta = 0;
    std::int64_t m_llFrequency = 0;
    std::int64_t m_llNow = 0;
    std::int64_t m_llStart = 0;
    std::int64_t m_llElapsed = 0;
    std::int64_t m_llLastElapsed = 0;
    bool m_bHighResolution = false;
    bool m_bStarted = false;
};
