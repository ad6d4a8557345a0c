// Four-pole resonant low-pass.
#include "engine/CClassicLowPass.h"

#include <cmath>

void CClassicLowPass::ComputeCoefficients(float fCutoff, float fResonance)
{
    m_fF = 2.0f * fCutoff / m_fSampleRate;
    m_fK = 3.6f * m_fF - 1.6f * m_fF * m_fF - 1.0f;
    m_fP = (m_fK + 1.0f) * 0.5f;
    m_fScale = std::exp((1.0f - m_fP) * 1.386249f);
    m_fR = fResonance * m_fScale;
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
        for (unsigned i = 0; i < nCount; ++i) {
            float c = m_fFrequency;
            float r = m_fQ;
            if (m_pFrequencyModulation) {
                c = m_pFrequencyModulation[i] * m_fFrequencyModulationDepth * 5000.0f + m_fFrequency + 5000.0f;
                if (c > 10000.0f)
                    c = 10000.0f;
                if (c <= 10.0f)
                    c = 10.0f;
            }
            if (m_pQModulation) {
                r = m_pQModulation[i] * m_fQModulationDepth * 0.5f + m_fQ + 0.5f;
                if (r > 1.0f)
                    r = 1.0f;
                if (r < 0.0f)
                    r = 0.0f;
            }
            ComputeCoefficients(c, r);
            pBlock[i] = Step(s, pBlock[i], m_fP, m_fK, m_fR);
        }
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
