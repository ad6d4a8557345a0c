// The mixer's device object: opens the output back-end and creates the buffers.
#pragma once

#include "platform/OutputSupervisor.h"
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

    // The primary buffer's format is accepted and reported; on the manual back-end it also
    // chooses the output format, while a sound card's output runs at the device's own rate.
    HRESULT SetPrimaryFormat(const WAVEFORMATEX* format);
    HRESULT GetPrimaryFormat(WAVEFORMATEX* format);
    HRESULT GetOutputFormat(WAVEFORMATEX* format);

    DWORD Pull(std::int16_t* out, DWORD frames);
    HRESULT SetManualFormat(DWORD rate, WORD channels);
    bool IsLost() const;
    SoundMixer& Mixer() { return *m_mixer; }
    OutputSupervisor* Supervisor() { return m_output.get(); }

    // Replaces the sound card output by one over `make` (tests); call before Initialize.
    void SetStreamFactory(OutputSupervisor::StreamFactory make, OutputSupervisor::Timing timing);

private:
    ~MixerDevice() override;

    AudioBackend m_backend;
    std::shared_ptr<SoundMixer> m_mixer;
    std::unique_ptr<OutputSupervisor> m_output;
    OutputSupervisor::StreamFactory m_make;
    OutputSupervisor::Timing m_timing;
    WAVEFORMATEX m_primary;
    std::atomic<DWORD> m_nRefs{1};
    bool m_bInitialized = false;
    DWORD m_nLevel = 0;
    bool m_bFormatFixed = false; // a manual output format chosen by SetManualFormat
};

} // namespace corvane::platform
