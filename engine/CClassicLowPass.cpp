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

void CClassicLowPass::ResetState()
{
    m_fY1 = m_fY2 = m_fY3 = m_fY4 = 0.0f;
    m_fOldX = m_fOldY1 = m_fOldY2 = m_fOldY3 = 0.0f;
}

unsigned CClassicLowPass::Process(float* pBlock, unsigned nCount)
{
    ComputeCoefficients(m_fFrequency, m_fQ);
    const bool bModulated = m_pFrequencyModulation || m_pQModulation;
    for (unsigned i = 0; i < nCount; ++i) {
        if (bModulated) {
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
        }
        const float p = m_fP;
        const float k = m_fK;
        float x = pBlock[i] - m_fR * m_fY4;
        if (x > 1.0f)
            x = 1.0f;
        if (x < -1.0f)
            x = -1.0f;
        m_fY1 = (x + m_fOldX) * p - k * m_fY1;
        m_fY2 = (m_fY1 + m_fOldY1) * p - k * m_fY2;
        m_fY3 = (m_fY2 + m_fOldY2) * p - k * m_fY3;
        m_fY4 = (m_fY3 + m_fOldY3) * p - k * m_fY4;
        m_fY4 = m_fY4 - m_fY4 * m_fY4 * m_fY4 * 0.16666667f;
        m_fOldX = x;
        m_fOldY1 = m_fY1;
        m_fOldY2 = m_fY2;
        m_fOldY3 = m_fY3;
        // A non-finite input or setting must not leave the filter broken for good.
        if (!std::isfinite(m_fY4)) {
            ResetState();
        }
        pBlock[i] = m_fY4;
    }
    return nCount;
}
