// Heap block of float samples.
#include "engine/CSampleBlock.h"

#include <cstdlib>

CSampleBlock::~CSampleBlock()
{
    Free();
}

void CSampleBlock::Free()
{
    std::free(m_pData);
    m_pData = nullptr;
    m_nCapacity = 0;
    m_nLength = 0;
}

int CSampleBlock::Init(void*)
{
    m_bReady = 1;
    return 0;
}

int CSampleBlock::Refresh()
{
    return 0;
}

CSampleBlock* CSampleBlock::GetBlock(void*)
{
    return this;
}

float* CSampleBlock::Allocate(unsigned nCount)
{
    Free();
    auto* pData = static_cast<float*>(std::calloc(nCount, m_nElementSize));
    if (pData) {
        m_pData = pData;
        m_nCapacity = nCount;
        m_nLength = nCount;
    }
    return pData;
}

float* CSampleBlock::GetData() const
{
    return m_pData;
}

unsigned CSampleBlock::GetLength() const
{
    return m_nLength;
}
