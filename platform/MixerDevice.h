// The mixer's device object: opens the output back-end and creates the buffers.
#pragma once

#include "platform/RtAudioOutput.h"
#include "platform/SoundMixer.h"
#include "platform/dsound.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace corvane::platform {

class MixerDevice final : public IDirectSound {
public:
    explicit MixerDevice(AudioBackend backend);

    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT Initialize(LPCGUID device) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                              void* outer) override;

    // The primary buffer's SetFormat lands here: it chooses the output format.
    HRESULT SetPrimaryFormat(const WAVEFORMATEX* format);
    HRESULT GetOutputFormat(WAVEFORMATEX* format);

    DWORD Pull(std::int16_t* out, DWORD frames);
    HRESULT SetManualFormat(DWORD rate, WORD channels);
    bool IsLost() const;
    SoundMixer& Mixer() { return *m_mixer; }

private:
    ~MixerDevice() override;

    AudioBackend m_backend;
    std::shared_ptr<SoundMixer> m_mixer;
    std::unique_ptr<RtAudioOutput> m_output;
    std::atomic<DWORD> m_nRefs{1};
    bool m_bInitialized = false;
    DWORD m_nLevel = 0;
    bool m_bFormatFixed = false; // a manual output format chosen by SetManualFormat
};

} // namespace corvane::platform
