// A secondary sound buffer of the mixer: memory, play cursor, volume, pan and rate.
#pragma once

#include "platform/SoundMixer.h"
#include "platform/dsound.h"

#include <atomic>
#include <memory>
#include <vector>

namespace corvane::platform {

class MixerBuffer final : public IDirectSoundBuffer {
public:
    // Checks the description; returns null with `result` set when it can't be honoured.
    static MixerBuffer* Create(std::shared_ptr<SoundMixer> mixer, const DSBUFFERDESC& desc,
                               HRESULT* result);

    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audioPtr1, DWORD* audioBytes1,
                 LPVOID* audioPtr2, DWORD* audioBytes2, DWORD flags) override;
    HRESULT Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2,
                   DWORD audioBytes2) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT GetVolume(LONG* volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT GetPan(LONG* pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT GetFrequency(DWORD* frequency) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT GetFormat(WAVEFORMATEX* format) override;

private:
    MixerBuffer(std::shared_ptr<SoundMixer> mixer, const DSBUFFERDESC& desc);
    ~MixerBuffer() override;
    void Restart(); // mixer lock held
    DWORD Bytes() const { return m_voice.frames * m_format.nBlockAlign; }

    std::shared_ptr<SoundMixer> m_mixer;
    MixerVoice m_voice;
    WAVEFORMATEX m_format;
    DWORD m_nFlags;
    std::atomic<DWORD> m_nRefs{1};

    // Lock hands out this staging copy and Unlock copies it back under the mixer's lock,
    // so the caller never writes memory that the output thread is reading. GUI thread only.
    std::vector<BYTE> m_staging;
    bool m_bLocked = false;
    DWORD m_nLockOffset[2] = {};
    DWORD m_nLockBytes[2] = {};
};

} // namespace corvane::platform
