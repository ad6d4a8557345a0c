// Wave table generation and interpolated playback.
#include "engine/CWaveTable.h"

#include "platform/wintypes.h"

#include <cmath>

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr double kSampleRate = 44100.0;

// The frequency-modulated playback reads its modulator at one position for the whole process.
float g_fModulatorPosition = 0.0f;

// False also for NaN.
bool InTable(double dPhase, double dLength)
{
    return dPhase >= 0.0 && dPhase <= dLength;
}

// Brings a phase back into [0, length]: the usual single step past the end is taken off once,
// as playback always did; anything further out (negative phases from frequency modulation,
// very large steps) is folded back instead of reading outside the table.
double WrapPhase(double dPhase, double dLength)
{
    if (dPhase > dLength)
        dPhase -= dLength;
    if (!InTable(dPhase, dLength)) {
        dPhase = std::fmod(dPhase, dLength);
        if (dPhase < 0.0)
            dPhase += dLength;
    }
    return dPhase == dPhase ? dPhase : 0.0;
}

// Linear interpolation between the entries around a phase in [0, n].
template <bool bPowerOfTwo>
inline float Interpolate(const float* t, unsigned n, double dPhase)
{
    const auto k = static_cast<std::uint32_t>(dPhase);
    const float frac = static_cast<float>(dPhase - k);
    // Power-of-two tables (all the program's) wrap with a mask rather than a division.
    const std::uint32_t i0 = bPowerOfTwo ? (k & (n - 1)) : k % n;
    const std::uint32_t i1 = i0 + 1 == n ? 0 : i0 + 1;
    return t[i0] * (1.0f - frac) + t[i1] * frac;
}

// Render's loop for one kind of table: the phase in a local, the interpolation inlined.
template <bool bPowerOfTwo>
double Play(const float* t, unsigned n, double phase, double inc, float* pOut, unsigned nCount)
{
    const double length = n;
    for (unsigned i = 0; i < nCount; ++i) {
        phase += inc;
        if (!InTable(phase, length))
            phase = WrapPhase(phase, length);
        if (pOut)
            pOut[i] = Interpolate<bPowerOfTwo>(t, n, phase);
    }
    return phase;
}

// Render's phase in fixed point, 40 fraction bits. For tables up to 4096 entries, a phase and an
// increment that are multiples of 2^-40 add up exactly in double (sums stay below 2^13, and
// 13 + 40 bits fit the mantissa), so whole-number arithmetic on them gives the very same phases,
// indices and fractions, without the double-to-integer round trips of every sample.
constexpr int kFractionBits = 40;
constexpr unsigned kFixedMaxLength = 4096;

bool ToFixed(double value, std::uint64_t* pFixed)
{
    const double scaled = std::ldexp(value, kFractionBits);
    if (!(scaled >= 0.0 && scaled == std::floor(scaled)))
        return false;
    *pFixed = static_cast<std::uint64_t>(scaled);
    return true;
}

template <bool bPowerOfTwo>
std::uint64_t PlayFixed(const float* t, unsigned n, std::uint64_t phase, std::uint64_t inc, float* pOut,
                        unsigned nCount)
{
    const std::uint64_t length = static_cast<std::uint64_t>(n) << kFractionBits;
    constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
    for (unsigned i = 0; i < nCount; ++i) {
        phase += inc;
        if (phase > length)
            phase -= length; // the increment is at most the length: one step back is enough
        const auto k = static_cast<std::uint32_t>(phase >> kFractionBits);
        // Rounding the scaled integer to float and scaling back is the float of the exact fraction.
        const float frac = static_cast<float>(static_cast<std::int64_t>(phase & kFractionMask)) * 0x1p-40f;
        const std::uint32_t i0 = bPowerOfTwo ? (k & (n - 1)) : k % n;
        const std::uint32_t i1 = i0 + 1 == n ? 0 : i0 + 1;
        pOut[i] = t[i0] * (1.0f - frac) + t[i1] * frac;
    }
    return phase;
}

// Where PlayFixed leaves the phase after nCount steps, without the reads: each step keeps the
// phase in (0, length] (0 only while it has not moved), so the end is the sum brought into it.
// Summed 2048 steps at a time: an increment and a phase are each below 2^53, so a chunk's sum
// stays within 64 bits however long the block.
std::uint64_t SkipFixed(unsigned n, std::uint64_t phase, std::uint64_t inc, unsigned nCount)
{
    const std::uint64_t length = static_cast<std::uint64_t>(n) << kFractionBits;
    while (nCount > 0) {
        const unsigned k = nCount < 2048 ? nCount : 2048;
        phase += inc * k;
        if (phase > length)
            phase = (phase - 1) % length + 1;
        nCount -= k;
    }
    return phase;
}

} // namespace

float CWaveTable::GetModulatorPosition()
{
    return g_fModulatorPosition;
}

void CWaveTable::SetModulatorPosition(float fPosition)
{
    g_fModulatorPosition = fPosition;
}

int CWaveTable::Init(void*)
{
    Generate();
    m_bReady = 1;
    return 0;
}

float* CWaveTable::Allocate(unsigned nCount)
{
    float* pData = CSampleBlock::Allocate(nCount);
    if (pData)
        Init(nullptr);
    return pData;
}

int CWaveTable::SetShape(unsigned nShape)
{
    if (nShape > Keep)
        return E_INVALIDARG;
    m_nShape = nShape;
    if (!m_bReady)
        return E_FAIL;
    Generate();
    return 0;
}

int CWaveTable::Generate()
{
    const unsigned n = m_nLength;
    float* t = m_pData;
    switch (m_nShape) {
    case Sine:
        for (unsigned i = 0; i < n; ++i)
            t[i] = static_cast<float>(std::sin(static_cast<float>(i) / static_cast<float>(n) * kTwoPi));
        return 0;
    case Triangle: {
        // Tables shorter than four entries would divide by zero; they get a step of 1.
        const unsigned quarter = n / 4 ? n / 4 : 1;
        float step = 1.0f / static_cast<float>(quarter);
        float v = 0.0f;
        for (unsigned i = 0; i < n; ++i) {
            t[i] = v;
            v += step;
            if (v >= 1.0f || v <= -1.0f)
                step = -step;
        }
        return 0;
    }
    case Pulse:
        for (unsigned i = 0; i < n; ++i)
            t[i] = i < n / 2 ? 0.97f : -0.97f;
        return 0;
    case Sawtooth: {
        // The second half keeps falling from -0.97 to about -1.94: that is the shape's sound.
        const unsigned half = n / 2 ? n / 2 : 1;
        const float a = 0.97f / static_cast<float>(half);
        for (unsigned i = 0; i < n; ++i) {
            const float v = static_cast<float>(i) * a;
            t[i] = i < n / 2 ? v : -v;
        }
        return 0;
    }
    case Random:
        for (unsigned i = 0; i < n; ++i)
            t[i] = m_random.Draw();
        return 0;
    case Keep:
        return 0;
    default:
        return E_INVALIDARG;
    }
}

int CWaveTable::SetModulator(CWaveTable* pModulator, float fFrequency)
{
    m_pModulator = pModulator;
    m_fModulatorFrequency = fFrequency;
    return 0;
}

int CWaveTable::SetModulatorFrequency(float fFrequency)
{
    m_fModulatorFrequency = fFrequency;
    return 0;
}

int CWaveTable::SetModulationIndex(float fIndex)
{
    m_fModulationIndex = fIndex;
    return 0;
}

float CWaveTable::Increment(float fFrequency) const
{
    // Entries per sample: length / (44100 / frequency), written so that 0 Hz gives 0.
    const double inc = static_cast<double>(m_nLength) * fFrequency / kSampleRate;
    return std::isfinite(inc) ? static_cast<float>(inc) : 0.0f;
}

float CWaveTable::Read(double dPhase) const
{
    const unsigned n = m_nLength;
    return (n & (n - 1)) == 0 ? Interpolate<true>(m_pData, n, dPhase) : Interpolate<false>(m_pData, n, dPhase);
}

float CWaveTable::Lookup(float fPosition) const
{
    if (!m_pData || m_nLength == 0)
        return 0.0f;
    const double n = m_nLength;
    double x = fPosition;
    if (!InTable(x, n))
        x = WrapPhase(x, n);
    return Read(x);
}

int CWaveTable::Render(float* pOut, unsigned nCount, float fFrequency, float* pPhase)
{
    return Run(pOut, nCount, fFrequency, pPhase);
}

int CWaveTable::Advance(unsigned nCount, float fFrequency, float* pPhase)
{
    return Run(nullptr, nCount, fFrequency, pPhase);
}

int CWaveTable::Run(float* pOut, unsigned nCount, float fFrequency, float* pPhase) const
{
    if (!m_pData || m_nLength == 0)
        return E_FAIL;
    const unsigned n = m_nLength;
    const double inc = Increment(fFrequency);
    // The phase runs in double within a call: at the lowest LFO rates a float phase near the
    // end of the table would stop advancing altogether.
    double phase = WrapPhase(*pPhase, n);
    const bool bPowerOfTwo = (n & (n - 1)) == 0;
    std::uint64_t fixedPhase = 0;
    std::uint64_t fixedInc = 0;
    if (n <= kFixedMaxLength && inc <= n && ToFixed(phase, &fixedPhase) && ToFixed(inc, &fixedInc)) {
        if (!pOut)
            fixedPhase = SkipFixed(n, fixedPhase, fixedInc, nCount);
        else
            fixedPhase = bPowerOfTwo ? PlayFixed<true>(m_pData, n, fixedPhase, fixedInc, pOut, nCount)
                                     : PlayFixed<false>(m_pData, n, fixedPhase, fixedInc, pOut, nCount);
        phase = std::ldexp(static_cast<double>(fixedPhase), -kFractionBits);
    } else {
        phase = bPowerOfTwo ? Play<true>(m_pData, n, phase, inc, pOut, nCount)
                            : Play<false>(m_pData, n, phase, inc, pOut, nCount);
    }
    *pPhase = static_cast<float>(phase);
    return 0;
}

std::int16_t CWaveTable::ToPcm16(float fValue)
{
    // The sawtooth reaches -1.94 x 28000, beyond 16 bits: limit rather than wrap around.
    float v = fValue * 28000.0f;
    if (v > 32767.0f)
        v = 32767.0f;
    if (v < -32768.0f)
        v = -32768.0f;
    return v == v ? static_cast<std::int16_t>(v) : 0;
}

int CWaveTable::RenderPcm16(std::int16_t* pOut, unsigned nCount, float fFrequency, float* pPhase)
{
    if (m_pModulator)
        return RenderPcm16Fm(pOut, nCount, fFrequency, pPhase);
    if (!m_pData || m_nLength == 0)
        return E_FAIL;
    float block[256];
    while (nCount > 0) {
        const unsigned nPart = nCount < 256 ? nCount : 256;
        Render(block, nPart, fFrequency, pPhase);
        for (unsigned i = 0; i < nPart; ++i)
            pOut[i] = ToPcm16(block[i]);
        pOut += nPart;
        nCount -= nPart;
    }
    return 0;
}

int CWaveTable::RenderPcm16Fm(std::int16_t* pOut, unsigned nCount, float fFrequency, float* pPhase)
{
    if (!m_pData || m_nLength == 0 || !m_pModulator || !m_pModulator->m_pData || m_pModulator->m_nLength == 0)
        return E_FAIL;
    const double n = m_nLength;
    const double mlen = m_pModulator->m_nLength;
    const double inc = Increment(fFrequency);
    const double modInc = m_pModulator->Increment(m_fModulatorFrequency);
    double phase = WrapPhase(*pPhase, n);
    double modPosition = WrapPhase(g_fModulatorPosition, mlen);
    for (unsigned i = 0; i < nCount; ++i) {
        const float m = m_pModulator->Read(modPosition);
        modPosition += modInc;
        if (!InTable(modPosition, mlen))
            modPosition = WrapPhase(modPosition, mlen);
        phase += inc + m * m_fModulationIndex * 10.0f;
        if (!InTable(phase, n))
            phase = WrapPhase(phase, n);
        pOut[i] = ToPcm16(Read(phase));
    }
    *pPhase = static_cast<float>(phase);
    g_fModulatorPosition = static_cast<float>(modPosition);
    return 0;
}
