// Low-frequency oscillator: plays one of the panel's shared wave tables at its own frequency and phase.
#pragma once

#include "engine/CWaveTable.h"

#include <cstdint>
#include <vector>

class CLfo {
public:
    // Index of the random table, which is played 256 times slower.
    static constexpr unsigned kRandomIndex = 4;

    CLfo() = default;
    virtual ~CLfo() = default;

    // The ordered table list to select from (not owned; must outlive the LFO). Returns 0.
    virtual int SetTables(std::vector<CWaveTable*>* pTables);
    // Selects table nIndex of the list; an index outside the list keeps the current one.
    // The phase is kept. Returns 0.
    virtual int Select(unsigned nIndex);
    // Frequency in Hz (the panel gives 0.005..50). Returns 0.
    virtual int SetFrequency(float fHz);
    virtual float GetFrequency() const;
    // Fills pOut with nCount values of the selected table, continuing the phase; without a
    // table the block is left unchanged. Returns 0.
    virtual int Render(float* pOut, unsigned nCount);
    // Moves the phase on by nCount samples exactly as Render would, for a block nobody reads.
    int Advance(unsigned nCount);
    // Always 0.0.
    virtual float GetCurrentValue() const;

    unsigned GetIndex() const { return m_nIndex; }
    CWaveTable* GetTable() const { return m_pTable; }
    // Read position in table entries, 0..table length.
    float GetPhase() const { return m_fPhase; }

private:
    float TableFrequency() const;

    std::vector<CWaveTable*>* m_pTables = nullptr;
    CWaveTable* m_pTable = nullptr;
    std::uint32_t m_nIndex = 0;
    float m_fFrequency = 0.0f;
    float m_fPhase = 0.0f;
};
