// Common base of the noise filters.
#include "engine/CNoiseFilter.h"

unsigned CNoiseFilter::Process(float*, unsigned nCount)
{
    return nCount;
}

void CNoiseFilter::SetFrequencyModulation(const float* pBlock, unsigned nCount)
{
    m_pFrequencyModulation = pBlock;
    m_nFrequencyModulationCount = nCount;
}

void CNoiseFilter::SetFrequencyModulationDepth(float fDepth)
{
    m_fFrequencyModulationDepth = fDepth;
}

void CNoiseFilter::SetQModulation(const float* pBlock, unsigned nCount)
{
    m_pQModulation = pBlock;
    m_nQModulationCount = nCount;
}

void CNoiseFilter::SetQModulationDepth(float fDepth)
{
    m_fQModulationDepth = fDepth;
}

void CNoiseFilter::SetFrequency(float fHz)
{
    m_fFrequency = fHz;
    Update();
}

float CNoiseFilter::GetFrequency() const
{
    return m_fFrequency;
}

void CNoiseFilter::SetQ(float fQ)
{
    m_fQ = fQ;
    Update();
}

float CNoiseFilter::GetQ() const
{
    return m_fQ;
}

void CNoiseFilter::SetType(int nType)
{
    m_nType = nType;
    Update();
}

int CNoiseFilter::GetType() const
{
    return m_nType;
}

void CNoiseFilter::Update()
{
}
