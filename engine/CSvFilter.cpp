// State-variable filter.
#include "engine/CSvFilter.h"

#include <cmath>

CSvFilter::CSvFilter()
{
    m_fQ = 0.5f;
    m_fScale = 0.5f;
    m_fFrequency = 1000.0f;
    m_nType = LowPass;
}

void CSvFilter::Update()
{
    m_fF = 2.0f * std::sin(3.1415927f * m_fFrequency / m_fSampleRate);
}

unsigned CSvFilter::Process(float* pBlock, unsigned nCount)
{
    Update();
    float q = 1.0f - m_fQ;
    if (q < 0.1f)
        q = 0.1f;
    const float f = m_fF;
    for (unsigned i = 0; i < nCount; ++i) {
        m_fLow = m_fLow + f * m_fBand;
        m_fHigh = m_fScale * pBlock[i] - m_fLow - q * m_fBand;
        m_fBand = m_fBand + f * m_fHigh;
        m_fNotch = m_fHigh + m_fLow;
        // High cutoffs with little damping are unstable: the states run off to infinity.
        // Start again from silence rather than stay broken.
        if (!std::isfinite(m_fNotch) || !std::isfinite(m_fBand)) {
            m_fLow = m_fHigh = m_fBand = m_fNotch = 0.0f;
            pBlock[i] = 0.0f;
            continue;
        }
        float out = pBlock[i];
        switch (m_nType) {
        case LowPass:
            out = m_fLow;
            break;
        case HighPass:
            out = m_fHigh;
            break;
        case BandPass:
            out = m_fBand;
            break;
        case Notch:
            out = m_fNotch;
            break;
        default:
            break;
        }
        if (out > 0.9f)
            out = 0.9f;
        if (out < -0.9f)
            out = -0.9f;
        pBlock[i] = out;
    }
    return nCount;
}
