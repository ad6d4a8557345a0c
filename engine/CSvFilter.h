// State-variable filter with low-pass, high-pass, band-pass and notch outputs, clamped to +-0.9.
#pragma once

#include "engine/CNoiseFilter.h"

class CSvFilter : public CNoiseFilter {
public:
    enum Type { LowPass = 0, HighPass = 1, BandPass = 2, Notch = 3 };

    CSvFilter();

    unsigned Process(float* pBlock, unsigned nCount) override;
    void Update() override;

    float GetF() const { return m_fF; }
    float GetLow() const { return m_fLow; }
    float GetBand() const { return m_fBand; }

private:
    float m_fF = 0.0f;
    float m_fLow = 0.0f;
    float m_fHigh = 0.0f;
    float m_fBand = 0.0f;
    float m_fNotch = 0.0f;
};
