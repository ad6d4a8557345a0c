// The primary buffer: stands for the device output; its format is the mixer's output format.
#include "platform/PrimaryBuffer.h"

#include "platform/MixerDevice.h"

namespace corvane::platform {

PrimaryBuffer::PrimaryBuffer(MixerDevice* device) : m_pDevice(device)
{
    m_pDevice->AddRef();
}

PrimaryBuffer::~PrimaryBuffer()
{
    m_pDevice->Release();
}

DWORD PrimaryBuffer::AddRef()
{
    return ++m_nRefs;
}

DWORD PrimaryBuffer::Release()
{
    const DWORD left = --m_nRefs;
    if (left == 0)
        delete this;
    return left;
}

// The mixer runs whenever the device is open; playing the primary buffer only records it.
HRESULT PrimaryBuffer::Play(DWORD, DWORD, DWORD flags)
{
    if (!(flags & DSBPLAY_LOOPING))
        return DSERR_INVALIDPARAM;
    m_bPlaying = true;
    return DS_OK;
}

HRESULT PrimaryBuffer::Stop()
{
    m_bPlaying = false;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetStatus(DWORD* status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = m_bPlaying ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
    return DS_OK;
}

HRESULT PrimaryBuffer::SetFormat(const WAVEFORMATEX* format)
{
    return m_pDevice->SetPrimaryFormat(format);
}

HRESULT PrimaryBuffer::GetFormat(WAVEFORMATEX* format)
{
    return m_pDevice->GetPrimaryFormat(format);
}

} // namespace corvane::platform
