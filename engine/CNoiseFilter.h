// Common base of the noise filters: cutoff, Q, response type and the modulation inputs.
#pragma once

#include <cstdint>

class CNoiseFilter {
public:
    CNoiseFilter() = default;
    virtual ~CNoiseFilter() = default;

    // Filters pBlock in place; returns nCount. The base leaves the block unchanged.
    virtual unsigned Process(float* pBlock, unsigned nCount);
    // Per-sample cutoff modulation: a block of at least as many values (nominally -1..1) as
    // each Process call filters, not owned; null switches it off. Used by the classic low-pass.
    virtual void SetFrequencyModulation(const float* pBlock, unsigned nCount);
    // Cutoff modulation depth; a value m moves the cutoff by m * depth * 5000 Hz (+5000 Hz).
    virtual void SetFrequencyModulationDepth(float fDepth);
    // Per-sample resonance modulation block, as for the cutoff.
    virtual void SetQModulation(const float* pBlock, unsigned nCount);
    // Resonance modulation depth; a value m moves the resonance by m * depth * 0.5 (+0.5).
    virtual void SetQModulationDepth(float fDepth);
    // Cutoff in Hz (the panel gives 10..12460); takes effect at the next Process.
    virtual void SetFrequency(float fHz);
    virtual float GetFrequency() const;
    // Resonance 0..1 (classic) or Q 0..1 (state-variable: damping 1 - Q, at least 0.1).
    virtual void SetQ(float fQ);
    virtual float GetQ() const;
    // Response type (state-variable: 0 low-pass, 1 high-pass, 2 band-pass, 3 notch).
    virtual void SetType(int nType);
    virtual int GetType() const;
    // Recomputes whatever derives from the settings.
    virtual void Update();

    const float* GetFrequencyModulation() const { return m_pFrequencyModulation; }
    float GetFrequencyModulationDepth() const { return m_fFrequencyModulationDepth; }
    const float* GetQModulation() const { return m_pQModulation; }
    float GetQModulationDepth() const { return m_fQModulationDepth; }
    float GetScale() const { return m_fScale; }

protected:
    float m_fSampleRate = 44100.0f;
    float m_fFrequency = 1000.0f;
    float m_fQ = 0.5f;
    float m_fScale = 0.5f;
    std::int32_t m_nType = 0;
    const float* m_pFrequencyModulation = nullptr;
    std::uint32_t m_nFrequencyModulationCount = 0;
    float m_fFrequencyModulationDepth = 1.0f;
    const float* m_pQModulation = nullptr;
    std::uint32_t m_nQModulationCount = 0;
    float m_fQModulationDepth = 0.0f;
};
