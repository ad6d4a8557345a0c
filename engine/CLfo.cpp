// Low-frequency oscillator over the shared wave tables.
#include "engine/CLfo.h"

int CLfo::SetTables(std::vector<CWaveTable*>* pTables)
{
    m_pTables = pTables;
    return 0;
}

int CLfo::Select(unsigned nIndex)
{
    if (m_pTables && nIndex < m_pTables->size()) {
        m_nIndex = nIndex;
        m_pTable = (*m_pTables)[nIndex];
    }
    return 0;
}

int CLfo::SetFrequency(float fHz)
{
    m_fFrequency = fHz;
    return 0;
}

float CLfo::GetFrequency() const
{
    return m_fFrequency;
}

float CLfo::TableFrequency() const
{
    // Each random value lasts 1/(16 x frequency) seconds.
    return m_nIndex == kRandomIndex ? m_fFrequency * 0.00390625f : m_fFrequency;
}

int CLfo::Render(float* pOut, unsigned nCount)
{
    if (m_pTable)
        m_pTable->Render(pOut, nCount, TableFrequency(), &m_fPhase);
    return 0;
}

int CLfo::Advance(unsigned nCount)
{
    if (m_pTable)
        m_pTable->Advance(nCount, TableFrequency(), &m_fPhase);
    return 0;
}

float CLfo::GetCurrentValue() const
{
    return 0.0f;
}
