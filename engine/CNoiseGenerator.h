// Noise source with four noise types and a sample-and-hold whose length can follow an LFO block.
#pragma once

#include "engine/CPhaser.h"
#include "engine/CRandomSource.h"

#include <cstdint>

class CNoiseGenerator {
public:
    // Noise types; the panel's combo lists them in this order, and any other value
    // produces uniform white.
    enum Type { PhasedWhite = 0, UniformWhite = 1, Pink = 2, ResonancePink = 3 };

    // The filter states shared by every generator in the process (they are never reset).
    struct SharedState {
        float b0, b1, b2; // pink filter
        float y1, y2;     // resonator's past outputs
        float R, c1, g;   // resonator coefficients, computed on first use
    };

    CNoiseGenerator();
    virtual ~CNoiseGenerator() = default;

    // Noise type, see Type; takes effect at the next drawn value.
    virtual void SetType(int nType);
    virtual int GetType() const;
    // Hold length in samples (0 counts as 1); takes effect at the next multiple of it.
    virtual void SetHold(int nHold);
    // Smoothing amount 0..1; stored only, it does not enter the generation.
    virtual void SetSmooth(float fSmooth);
    // Per-sample hold modulation: a block of at least as many values (nominally -1..1) as each
    // Generate call produces, not owned; null switches the modulation off. nCount is not used.
    virtual void SetHoldModulation(const float* pBlock, unsigned nCount);
    // Depth of the hold modulation (the panel's knobs give -0.25..1.246); a value m adds
    // trunc((m + 1) * 128 * depth) samples to the hold length.
    virtual void SetHoldModulationDepth(float fDepth);
    virtual void Update();

    // Fills pOut with nCount samples; returns nCount.
    unsigned Generate(float* pOut, unsigned nCount);

    int GetHold() const { return m_nHold; }
    float GetSmooth() const { return m_fSmooth; }
    float GetHoldModulationDepth() const { return m_fHoldModulationDepth; }
    std::uint32_t GetCounter() const { return m_nCounter; }
    float GetHeld() const { return m_fHeld; }
    const CRandomSource& GetRandomSource() const { return m_random; }
    const CPhaser& GetPhaser() const { return m_phaser; }
    static SharedState GetSharedState();

private:
    struct PinkState {
        float b0, b1, b2;
    };
    // One new value of each type; Generate picks the type once per block.
    float DrawPhased();
    float DrawPink(PinkState& s);
    float DrawResonancePink();
    // The sample-and-hold loop around one of the draws.
    template <class DrawFn>
    void Run(float* pOut, unsigned nCount, DrawFn draw);

    std::int32_t m_nType = 0;
    std::int32_t m_nHold = 1;
    std::uint32_t m_nCounter = 0;
    float m_fSmooth = 0.0f;
    CRandomSource m_random;
    const float* m_pHoldModulation = nullptr;
    float m_fHoldModulationDepth = 1.0f;
    CPhaser m_phaser;
    float m_fHeld = 0.0f;
};
