// A mixer device on the manual back-end as the platform and sound tests use it: its output
// format set, the 16-bit buffers made on it released with it; the signals the tests play, and
// small readings of buffers.
#pragma once

#include "engine/CRandomSource.h"
#include "engine/CSvFilter.h"
#include "platform/dsound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

namespace platform_test {

using Samples = std::vector<std::int16_t>;

// `count` samples holding `cycles` periods of a sine of amplitude `peak`.
inline Samples Sine(std::size_t count, double cycles, double peak)
{
    Samples s(count);
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<std::int16_t>(std::lrint(peak * std::sin(2 * std::numbers::pi * cycles * i / count)));
    return s;
}

// White noise through the state-variable high-pass at 8 kHz, at 44100 Hz: a bright setting
// whose top octave a full-band output keeps.
inline Samples BrightNoise(std::size_t count)
{
    CRandomSource random;
    std::vector<float> x(count);
    for (float& v : x)
        v = random.Draw() * 0.5f;
    CSvFilter filter;
    filter.SetType(CSvFilter::HighPass);
    filter.SetFrequency(8000.0f);
    filter.Process(x.data(), static_cast<unsigned>(count));
    Samples s(count);
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<std::int16_t>(std::lrint(x[i] * 30000.0f));
    return s;
}

// The next `frames` frames of the mix, `channels` interleaved samples each.
inline Samples Pull(IDirectSound* ds, DWORD frames, WORD channels)
{
    Samples out(frames * channels);
    corvane::platform::PullMixedFrames(ds, out.data(), frames);
    return out;
}

inline DWORD Position(IDirectSoundBuffer* b)
{
    DWORD play = 0;
    b->GetCurrentPosition(&play, nullptr);
    return play;
}

inline bool Playing(IDirectSoundBuffer* b)
{
    DWORD status = 0;
    b->GetStatus(&status);
    return status & DSBSTATUS_PLAYING;
}

// A 16-bit secondary buffer on `ds` holding `samples` (interleaved when `channels` is 2), with
// the controls `caps` asks for.
inline IDirectSoundBuffer* MakeBuffer(IDirectSound* ds, const Samples& samples, DWORD rate, WORD channels = 1,
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
    return b;
}

// A manual mixer device at `rate` and `channels`; the buffers made through it go with it.
struct ManualDevice {
    IDirectSound* ds = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::Manual);
    std::vector<IDirectSoundBuffer*> made;
    WORD outChannels;

    ManualDevice(DWORD rate, WORD channels) : outChannels(channels)
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

    Samples Pull(DWORD frames) { return platform_test::Pull(ds, frames, outChannels); }

    IDirectSoundBuffer* Buffer(const Samples& samples, DWORD rate, WORD channels = 1,
                               DWORD caps = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY)
    {
        return made.emplace_back(MakeBuffer(ds, samples, rate, channels, caps));
    }
};

} // namespace platform_test
