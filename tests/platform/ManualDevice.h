// A mixer device on the manual back-end as the platform tests use it: its output format set,
// and the 16-bit buffers made on it released with it.
#pragma once

#include "platform/dsound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace platform_test {

struct ManualDevice {
    IDirectSound* ds = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::Manual);
    std::vector<IDirectSoundBuffer*> made;

    ManualDevice(DWORD rate, WORD channels)
    {
        ds->Initialize(nullptr);
        ds->SetCooperativeLevel(reinterpret_cast<HWND>(ds), DSSCL_PRIORITY);
        corvane::platform::SetManualOutputFormat(ds, rate, channels);
    }
    ~ManualDevice()
    {
        for (IDirectSoundBuffer* b : made)
            b->Release();
        ds->Release();
    }
    ManualDevice(const ManualDevice&) = delete;
    ManualDevice& operator=(const ManualDevice&) = delete;

    // A 16-bit secondary buffer holding `samples` (interleaved when `channels` is 2), with the
    // controls `caps` asks for.
    IDirectSoundBuffer* Buffer(const std::vector<std::int16_t>& samples, DWORD rate, WORD channels = 1,
                               DWORD caps = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY)
    {
        const WORD align = static_cast<WORD>(2 * channels);
        WAVEFORMATEX f{WAVE_FORMAT_PCM, channels, rate, rate * align, align, 16, 0};
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), caps, static_cast<DWORD>(samples.size() * 2), 0, &f};
        IDirectSoundBuffer* b = nullptr;
        EXPECT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DS_OK);
        LPVOID p = nullptr;
        DWORD n = 0;
        b->Lock(0, desc.dwBufferBytes, &p, &n, nullptr, nullptr, 0);
        std::memcpy(p, samples.data(), n);
        b->Unlock(p, n, nullptr, 0);
        made.push_back(b);
        return b;
    }
};

} // namespace platform_test
