// Noise source with sample-and-hold.
#include "engine/CNoiseGenerator.h"

#include <cmath>

namespace {

constexpr float kOneOverRate = 0.000022675737f; // 1 / 44100
constexpr float kTwoPi = 6.2831855f;
// Brown noise: white through a leaky integrator. The leak puts the corner near 70 Hz, below
// which the spectrum levels off instead of drifting; the gain puts its level a few dB under the
// pink types' (its weight is in the bass, where the ear is less sensitive) with peaks past full
// scale far rarer than theirs.
constexpr float kBrownLeak = 0.99f;
constexpr float kBrownGain = 0.13f;

// One pink filter and one resonator for the whole process, as the sound has always had.
struct SharedFilters {
    float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
    float y1 = 0.0f, y2 = 0.0f;
    float R = 0.0f, c1 = 0.0f, g = 0.0f;
    bool bHaveR = false, bHaveC1 = false, bHaveG = false;
};
SharedFilters g_shared;

// The resonator's coefficients (centre 1200 Hz, bandwidth 300 Hz) cost an exp, a cos and a
// sqrt, so they are computed once, on first use.
void PrepareResonator()
{
    if (!g_shared.bHaveR) {
        g_shared.R = static_cast<float>(std::exp(-(kTwoPi * 300.0f * kOneOverRate)));
        g_shared.bHaveR = true;
    }
    if (!g_shared.bHaveC1) {
        const float R = g_shared.R;
        g_shared.c1 = static_cast<float>(std::cos(kTwoPi * 1200.0f * kOneOverRate) * (-4.0f * R / (R + 1.0f)));
        g_shared.bHaveC1 = true;
    }
    if (!g_shared.bHaveG) {
        const float R = g_shared.R;
        const float c1 = g_shared.c1;
        g_shared.g = static_cast<float>(std::sqrt(1.0f - c1 * c1 / (4.0f * R)) * (1.0f - R));
        g_shared.bHaveG = true;
    }
}

// Truncates toward zero like a plain cast, but gives 0 for NaN and saturates out-of-range
// values instead of invoking undefined behaviour.
std::int32_t TruncateToInt(float v)
{
    if (v >= 2147483648.0f)
        return INT32_MAX;
    if (v > -2147483648.0f)
        return static_cast<std::int32_t>(v);
    return v != v ? 0 : INT32_MIN;
}

} // namespace

CNoiseGenerator::CNoiseGenerator()
{
    // The sweep of the phased noise takes 50 seconds per cycle.
    m_phaser.SetRate(0.02f);
}

void CNoiseGenerator::SetType(int nType)
{
    m_nType = nType;
    Update();
}

int CNoiseGenerator::GetType() const
{
    return m_nType;
}

void CNoiseGenerator::SetHold(int nHold)
{
    m_nHold = nHold;
    Update();
}

void CNoiseGenerator::SetSmooth(float fSmooth)
{
    m_fSmooth = fSmooth;
    Update();
}

void CNoiseGenerator::SetHoldModulation(const float* pBlock, unsigned)
{
    m_pHoldModulation = pBlock;
}

void CNoiseGenerator::SetHoldModulationDepth(float fDepth)
{
    m_fHoldModulationDepth = fDepth;
}

void CNoiseGenerator::Update()
{
}

CNoiseGenerator::SharedState CNoiseGenerator::GetSharedState()
{
    return {g_shared.b0, g_shared.b1, g_shared.b2, g_shared.y1, g_shared.y2, g_shared.R, g_shared.c1, g_shared.g};
}

inline float CNoiseGenerator::DrawPhased()
{
    return m_phaser.Process(m_random.Draw());
}

inline float CNoiseGenerator::DrawPink(PinkState& s)
{
    const float w = m_random.Draw();
    s.b0 = 0.99765f * s.b0 + 0.099046f * w;
    s.b1 = 0.963f * s.b1 + 0.2965164f * w;
    s.b2 = 0.57f * s.b2 + 1.0526913f * w;
    return (s.b0 + s.b1 + s.b2 + 0.1848f * w) * 0.5f;
}

inline float CNoiseGenerator::DrawResonancePink()
{
    const float w = m_random.Draw();
    PrepareResonator();
    const float y = w * g_shared.g - g_shared.y1 * g_shared.c1 - g_shared.y2 * g_shared.R;
    g_shared.y2 = g_shared.y1;
    g_shared.y1 = y;
    return 8.0f * y;
}

inline float CNoiseGenerator::DrawBrown()
{
    m_fBrown = kBrownLeak * m_fBrown + kBrownGain * m_random.Draw();
    return m_fBrown;
}

inline std::uint32_t CNoiseGenerator::HoldAt(unsigned i) const
{
    // Unsigned arithmetic: a negative modulated length becomes a very long hold.
    std::uint32_t nHold = static_cast<std::uint32_t>(m_nHold);
    if (m_pHoldModulation) {
        const float fExtra = (m_pHoldModulation[i] + 1.0f) * 128.0f * m_fHoldModulationDepth;
        nHold += static_cast<std::uint32_t>(TruncateToInt(fExtra));
    }
    return nHold == 0 ? 1 : nHold;
}

template <class DrawFn>
inline void CNoiseGenerator::RunSmoothed(float* pOut, unsigned nCount, DrawFn draw)
{
    const double amount = m_fSmooth < 1.0f ? m_fSmooth : 1.0;
    std::uint32_t counter = m_nCounter;
    std::uint32_t left = m_nGlideLeft;
    float held = m_fHeld;
    float out = left > 0 ? m_fGlideOut : held;
    float step = m_fGlideStep;
    for (unsigned i = 0; i < nCount; ++i) {
        const std::uint32_t nHold = HoldAt(i);
        if (counter % nHold == 0) {
            // A new value: glide to it from wherever the output stands, even mid-glide.
            held = draw();
            left = static_cast<std::uint32_t>(amount * nHold);
            if (left > 1)
                step = (held - out) / static_cast<float>(left);
            else
                left = 0;
        }
        if (left > 0)
            out = --left > 0 ? out + step : held; // the glide ends exactly on the held value
        else
            out = held;
        pOut[i] = out;
        ++counter;
    }
    m_nCounter = counter;
    m_fHeld = held;
    m_fGlideOut = out;
    m_fGlideStep = step;
    m_nGlideLeft = left;
}

template <class DrawFn>
inline void CNoiseGenerator::Run(float* pOut, unsigned nCount, DrawFn draw)
{
    if (m_fSmooth > 0.0f) {
        RunSmoothed(pOut, nCount, draw);
        return;
    }
    // Without smoothing the output is the held value; a glide left from before ends here.
    m_nGlideLeft = 0;
    // Counter and held value stay in locals: stores to pOut could alias the members.
    std::uint32_t counter = m_nCounter;
    float held = m_fHeld;
    if (m_pHoldModulation) {
        for (unsigned i = 0; i < nCount; ++i) {
            const std::uint32_t nHold = HoldAt(i);
            if (counter % nHold == 0)
                held = draw();
            pOut[i] = held;
            ++counter;
        }
    } else {
        std::uint32_t nHold = static_cast<std::uint32_t>(m_nHold);
        if (nHold <= 1) {
            // Every sample is a new draw.
            for (unsigned i = 0; i < nCount; ++i)
                pOut[i] = held = draw();
            m_nCounter = counter + nCount;
            m_fHeld = held;
            return;
        }
        // A fixed hold: the remainder of the counter is carried along instead of divided out
        // for every sample (it restarts at 0 where the counter wraps, as the division would).
        std::uint32_t remainder = counter % nHold;
        for (unsigned i = 0; i < nCount; ++i) {
            if (remainder == 0)
                held = draw();
            pOut[i] = held;
            ++counter;
            if (++remainder == nHold || counter == 0)
                remainder = 0;
        }
    }
    m_nCounter = counter;
    m_fHeld = held;
}

unsigned CNoiseGenerator::Generate(float* pOut, unsigned nCount)
{
    switch (m_nType) {
    case PhasedWhite:
        Run(pOut, nCount, [this] { return DrawPhased(); });
        break;
    case Pink: {
        // The shared pink states are process-wide floats; kept local for the block.
        PinkState pink{g_shared.b0, g_shared.b1, g_shared.b2};
        Run(pOut, nCount, [this, &pink] { return DrawPink(pink); });
        g_shared.b0 = pink.b0;
        g_shared.b1 = pink.b1;
        g_shared.b2 = pink.b2;
        break;
    }
    case ResonancePink:
        Run(pOut, nCount, [this] { return DrawResonancePink(); });
        break;
    case Brown:
        Run(pOut, nCount, [this] { return DrawBrown(); });
        break;
    default:
        Run(pOut, nCount, [this] { return m_random.Draw(); });
        break;
    }
    return nCount;
}
