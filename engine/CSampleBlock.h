// Heap block of 32-bit float samples (44100 Hz, nominally -1..1) passed between engine modules.
#pragma once

#include <cstdint>

class CSampleBlock {
public:
    CSampleBlock() = default;
    virtual ~CSampleBlock();
    CSampleBlock(const CSampleBlock&) = delete;
    CSampleBlock& operator=(const CSampleBlock&) = delete;

    // Marks the block ready; the argument is not used. Returns 0.
    virtual int Init(void* pContext);
    // Nothing to refresh in a plain block. Returns 0.
    virtual int Refresh();
    // Returns the block itself; the argument is not used.
    virtual CSampleBlock* GetBlock(void* pContext);
    // Replaces the memory with nCount zeroed samples. Returns the memory, or null (block
    // left empty) when it cannot be had.
    virtual float* Allocate(unsigned nCount);
    virtual float* GetData() const;
    // Samples in use.
    virtual unsigned GetLength() const;

    bool IsReady() const { return m_bReady != 0; }
    unsigned GetCapacity() const { return m_nCapacity; }
    unsigned GetElementSize() const { return m_nElementSize; }

protected:
    void Free();

    std::int32_t m_bReady = 0;
    std::uint32_t m_nElementSize = sizeof(float);
    std::uint32_t m_nCapacity = 0;
    std::uint32_t m_nLength = 0;
    float* m_pData = nullptr;
};
