// One period of an LFO shape in a sample block, played back with linear interpolation
// (as floats, as 16-bit samples, or frequency-modulated by another table).
#pragma once

#include "engine/CRandomSource.h"
#include "engine/CSampleBlock.h"

#include <cstdint>

class CWaveTable : public CSampleBlock {
public:
    // Shapes; Keep writes nothing and leaves the previous content.
    enum Shape : unsigned { Sine = 0, Triangle = 1, Pulse = 2, Sawtooth = 3, Random = 4, Keep = 5 };

    // Generates the table for the current shape, then marks it ready. Returns 0.
    int Init(void* pContext) override;
    // Allocates nCount zeroed entries and, when that worked, generates the shape into them.
    float* Allocate(unsigned nCount) override;

    // Shape 0..5. Returns E_INVALIDARG (nothing changed) above 5, E_FAIL when the table is
    // not allocated yet (the shape is kept for later), else regenerates and returns 0.
    virtual int SetShape(unsigned nShape);
    // Writes the table for the current shape. Returns 0, or E_INVALIDARG for a shape above 5.
    virtual int Generate();
    // Modulating table for RenderPcm16 (not owned; null for plain playback) and its frequency in Hz.
    virtual int SetModulator(CWaveTable* pModulator, float fFrequency);
    // Plays nCount samples at fFrequency Hz (periods per second at 44100 Hz), continuing from
    // *pPhase (in table entries, 0..length), which is advanced before each read.
    // Returns 0, or E_FAIL (output untouched) for an empty table.
    virtual int Render(float* pOut, unsigned nCount, float fFrequency, float* pPhase);
    // Moves *pPhase exactly as Render would, without reading the table: for a block nobody uses.
    int Advance(unsigned nCount, float fFrequency, float* pPhase);
    // As Render, scaled by 28000 and truncated to 16 bits (limited to the 16-bit range);
    // with a modulator set it plays frequency-modulated (RenderPcm16Fm).
    virtual int RenderPcm16(std::int16_t* pOut, unsigned nCount, float fFrequency, float* pPhase);
    // Frequency-modulated 16-bit playback: the modulator's value times the modulation index
    // times 10 is added to the phase increment of every sample.
    virtual int RenderPcm16Fm(std::int16_t* pOut, unsigned nCount, float fFrequency, float* pPhase);
    // Interpolated value at a position in table entries (any finite value; wraps by the length).
    virtual float Lookup(float fPosition) const;
    // Modulator frequency in Hz.
    virtual int SetModulatorFrequency(float fFrequency);
    // Frequency-modulation index (dimensionless).
    virtual int SetModulationIndex(float fIndex);

    unsigned GetShape() const { return m_nShape; }
    CWaveTable* GetModulator() const { return m_pModulator; }
    float GetModulatorFrequency() const { return m_fModulatorFrequency; }
    float GetModulationIndex() const { return m_fModulationIndex; }
    const CRandomSource& GetRandomSource() const { return m_random; }
    // Where the (process-wide) modulator read position of RenderPcm16Fm stands.
    static float GetModulatorPosition();
    static void SetModulatorPosition(float fPosition);

private:
    // Render's work; a null pOut only advances the phase.
    int Run(float* pOut, unsigned nCount, float fFrequency, float* pPhase) const;
    float Increment(float fFrequency) const;
    float Read(double dPhase) const;
    static std::int16_t ToPcm16(float fValue);

    CWaveTable* m_pModulator = nullptr;
    float m_fModulatorFrequency = 0.0f;
    float m_fModulationIndex = 0.0f;
    std::uint32_t m_nShape = Sine;
    CRandomSource m_random;
};
