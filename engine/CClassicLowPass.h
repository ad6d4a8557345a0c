// Four-pole resonant low-pass with a soft-clipped output and per-sample cutoff/resonance modulation.
#pragma once

#include "engine/CNoiseFilter.h"

class CClassicLowPass : public CNoiseFilter {
public:
    unsigned Process(float* pBlock, unsigned nCount) override;
    // Sets the coefficients for a cutoff in Hz and a resonance 0..1.
    virtual void ComputeCoefficients(float fCutoff, float fResonance);

    float GetF() const { return m_fF; }
    float GetK() const { return m_fK; }
    float GetP() const { return m_fP; }
    float GetR() const { return m_fR; }
    // Last output of the fourth stage, the filter's audible state.
    float GetY4() const { return m_fY4; }

private:
    struct State {
        float y1, y2, y3, y4;
        float oldX, oldY1, oldY2, oldY3;
    };
    static float Step(State& s, float in, float p, float k, float r);

    float m_fF = 0.0f;
    float m_fK = 0.0f;
    float m_fP = 0.0f;
    float m_fR = 0.0f;
    float m_fY1 = 0.0f, m_fY2 = 0.0f, m_fY3 = 0.0f, m_fY4 = 0.0f;
    float m_fOldX = 0.0f, m_fOldY1 = 0.0f, m_fOldY2 = 0.0f, m_fOldY3 = 0.0f;
};
