// Noise source with five noise types and a sample-and-hold whose length can follow an LFO block;
// smoothing glides from one held value to the next instead of stepping.
#pragma once

#include "engine/CPhaser.h"
#include "engine/CRandomSource.h"

#include <cstdint>

class CNoiseGenerator {
public:
    // Noise types; the panel's combo lists them in this order, and any other value
    // produces uniform white. Brown came later and is last, so older indices keep their sound.
    enum Type { PhasedWhite = 0, UniformWhite = 1, Pink = 2, ResonancePink = 3, Brown = 4 };

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
    // Smoothing amount 0..1 (values outside are taken as the nearest end): each new held value
    // is reached by a straight glide over amount x hold samples instead of a step. 0 steps,
    // exactly as without smoothing; 1 glides for the whole hold.
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
    float DrawBrown();
    // Hold length for sample i of the block, modulated or not; never 0.
    std::uint32_t HoldAt(unsigned i) const;
    // The sample-and-hold loop around one of the draws; with smoothing, the gliding one.
    template <class DrawFn>
    void Run(float* pOut, unsigned nCount, DrawFn draw);
    template <class DrawFn>
    void RunSmoothed(float* pOut, unsigned nCount, DrawFn draw);

    std::int32_t m_nType = 0;
    std::int32_t m_nHold = 1;
    std::uint32_t m_nCounter = 0;
    float m_fSmooth = 0.0f;
    CRandomSource m_random;
    const float* m_pHoldModulation = nullptr;
    float m_fHoldModulationDepth = 1.0f;
    CPhaser m_phaser;
    float m_fHeld = 0.0f;
    float m_fBrown = 0.0f;       // leaky integrator of the brown type
    float m_fGlideOut = 0.0f;    // last smoothed output while a glide runs
    float m_fGlideStep = 0.0f;   // change per sample of that glide
    std::uint32_t m_nGlideLeft = 0; // samples until the glide reaches m_fHeld; 0 = none
};
