// Four-pole resonant low-pass.
#include "engine/CClassicLowPass.h"

#include <cmath>

namespace {

struct Coefficients {
    float f, k, p, scale, r;
};

inline Coefficients Compute(float fCutoff, float fResonance, float fSampleRate)
{
    Coefficients c{};
    c.f = 2.0f * fCutoff / fSampleRate;
    c.k = 3.6f * c.f - 1.6f * c.f * c.f - 1.0f;
    c.p = (c.k + 1.0f) * 0.5f;
    c.scale = std::exp((1.0f - c.p) * 1.386249f);
    c.r = fResonance * c.scale;
    return c;
}

} // namespace

void CClassicLowPass::ComputeCoefficients(float fCutoff, float fResonance)
{
    const Coefficients c = Compute(fCutoff, fResonance, m_fSampleRate);
    m_fF = c.f;
    m_fK = c.k;
    m_fP = c.p;
    m_fScale = c.scale;
    m_fR = c.r;
}

// One sample through the four stages and the soft clip.
inline float CClassicLowPass::Step(State& s, float in, float p, float k, float r)
{
    float x = in - r * s.y4;
    if (x > 1.0f)
        x = 1.0f;
    if (x < -1.0f)
        x = -1.0f;
    s.y1 = (x + s.oldX) * p - k * s.y1;
    s.y2 = (s.y1 + s.oldY1) * p - k * s.y2;
    s.y3 = (s.y2 + s.oldY2) * p - k * s.y3;
    s.y4 = (s.y3 + s.oldY3) * p - k * s.y4;
    s.y4 = s.y4 - s.y4 * s.y4 * s.y4 * 0.16666667f;
    s.oldX = x;
    s.oldY1 = s.y1;
    s.oldY2 = s.y2;
    s.oldY3 = s.y3;
    // A non-finite input or setting must not leave the filter broken for good.
    if (!std::isfinite(s.y4))
        s = State{};
    return s.y4;
}

unsigned CClassicLowPass::Process(float* pBlock, unsigned nCount)
{
    ComputeCoefficients(m_fFrequency, m_fQ);
    // The state lives in locals for the block: written through members, every sample would
    // reload it after the store to pBlock (which might alias them), lengthening the chain.
    State s{m_fY1, m_fY2, m_fY3, m_fY4, m_fOldX, m_fOldY1, m_fOldY2, m_fOldY3};
    if (!m_pFrequencyModulation && !m_pQModulation) {
        const float p = m_fP;
        const float k = m_fK;
        const float r = m_fR;
        for (unsigned i = 0; i < nCount; ++i)
            pBlock[i] = Step(s, pBlock[i], p, k, r);
    } else {
        // Settings and modulation inputs in locals too; the coefficients are computed inline
        // for every sample and the last ones kept, as ComputeCoefficients would leave them.
        const float* fm = m_pFrequencyModulation;
        const float* qm = m_pQModulation;
        const float fDepth = m_fFrequencyModulationDepth;
        const float qDepth = m_fQModulationDepth;
        const float frequency = m_fFrequency;
        const float q = m_fQ;
        const float rate = m_fSampleRate;
        Coefficients last{m_fF, m_fK, m_fP, m_fScale, m_fR};
        for (unsigned i = 0; i < nCount; ++i) {
            float c = frequency;
            float r = q;
            if (fm) {
                c = fm[i] * fDepth * 5000.0f + frequency + 5000.0f;
                if (c > 10000.0f)
                    c = 10000.0f;
                if (c <= 10.0f)
                    c = 10.0f;
            }
            if (qm) {
                r = qm[i] * qDepth * 0.5f + q + 0.5f;
                if (r > 1.0f)
                    r = 1.0f;
                if (r < 0.0f)
                    r = 0.0f;
            }
            last = Compute(c, r, rate);
            pBlock[i] = Step(s, pBlock[i], last.p, last.k, last.r);
        }
        m_fF = last.f;
        m_fK = last.k;
        m_fP = last.p;
        m_fScale = last.scale;
        m_fR = last.r;
    }
    m_fY1 = s.y1;
    m_fY2 = s.y2;
    m_fY3 = s.y3;
    m_fY4 = s.y4;
    m_fOldX = s.oldX;
    m_fOldY1 = s.oldY1;
    m_fOldY2 = s.oldY2;
    m_fOldY3 = s.oldY3;
    return nCount;
}
