// The primary buffer: stands for the device output; its format is the mixer's output format.
#pragma once

#include "platform/dsound.h"

#include <atomic>

namespace corvane::platform {

class MixerDevice;

class PrimaryBuffer final : public IDirectSoundBuffer {
public:
    explicit PrimaryBuffer(MixerDevice* device);

    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT GetCurrentPosition(DWORD*, DWORD*) override { return DSERR_INVALIDCALL; }
    HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Lock(DWORD, DWORD, LPVOID*, DWORD*, LPVOID*, DWORD*, DWORD) override
    {
        return DSERR_PRIOLEVELNEEDED;
    }
    HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT SetVolume(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT GetVolume(LONG*) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetPan(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT GetPan(LONG*) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetFrequency(DWORD) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT GetFrequency(DWORD*) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT GetFormat(WAVEFORMATEX* format) override;

private:
    ~PrimaryBuffer() override;

    MixerDevice* m_pDevice; // holds one reference
    std::atomic<DWORD> m_nRefs{1};
    std::atomic<bool> m_bPlaying{false};
};

} // namespace corvane::platform
