// 32-bit linear congruential random source giving uniform floats in [-1, 1); seed 0 at start,
// so every run produces the same sequence.
#pragma once

#include <bit>
#include <cstdint>

class CRandomSource {
public:
    // One draw: advances the seed and returns a value uniform in [-1, 1).
    float Draw()
    {
        m_nSeed = m_nSeed * 1664525u + 1013904223u;
        m_nLastBits = (m_nSeed & m_nMantissaMask) | m_nOneBits;
        // The bits read as a float in [1, 2).
        return (std::bit_cast<float>(m_nLastBits) - 1.0f) * 2.0f - 1.0f;
    }

    std::uint32_t GetSeed() const { return m_nSeed; }
    std::uint32_t GetLastBits() const { return m_nLastBits; }

private:
    std::uint32_t m_nSeed = 0;
    std::uint32_t m_nOneBits = 0x3f800000u;
    std::uint32_t m_nMantissaMask = 0x7fffffu;
    std::uint32_t m_nLastBits = 0;
};
