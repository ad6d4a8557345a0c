// The program's connection to the sound card and the registry of its output streams.
#pragma once

#include "audio/CSoundStream.h"
#include "audio/CSyncLock.h"
#include "platform/dsound.h"

#include <cstdint>
#include <map>

class CSoundDevice {
public:
    CSoundDevice();
    // Removes (stops and deletes) all streams, releases the primary buffer, then the device.
    virtual ~CSoundDevice();
    CSoundDevice(const CSoundDevice&) = delete;
    CSoundDevice& operator=(const CSoundDevice&) = delete;

    // Window for the cooperative level; must be set before Start.
    void SetWindow(HWND window);
    // Opens the default output at 22050 Hz stereo 16-bit. 1 when ready; 0 leaves the device as
    // constructed (no sound object, empty registry).
    int Start();
    // Creates a 44100 Hz mono 16-bit stream of `samples` samples, silent, not playing, and
    // registers it. 1 with its identifier written to *id; 0 with nothing written or registered.
    int CreateStream(std::uint32_t samples, std::uint32_t* id);
    // The registered stream, or null. Never adds an entry.
    CSoundStream* FindStream(std::uint32_t id);
    // Stops and deletes every stream in identifier order; identifiers start again at 0.
    void RemoveAllStreams();

    // The sound object while started, else null (manual pulling, diagnostics).
    IDirectSound* GetDirectSound() const { return m_pDirectSound; }

private:
    int CreateDevice();
    void ReleaseDevice();
    int CreatePrimaryBuffer();
    void ReleasePrimaryBuffer();
    int RegisterStream(CSoundStream* stream, std::uint32_t* id);
    void DeleteStreams();

    std::map<std::uint32_t, CSoundStream*> m_streams;
    std::uint32_t m_nNextId;
    IDirectSound* m_pDirectSound;
    IDirectSoundBuffer* m_pPrimaryBuffer;
    HWND m_hWnd;
    CSyncLock m_lock;
};
