// Builds manual-back-end devices and buffers for the mixer tests, and measures what they mix.
#include "tests/platform/MixerTestSupport.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace corvane::test {

IDirectSound* ManualDevice(DWORD rate, WORD channels)
{
    IDirectSound* ds = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::Manual);
    ds->Initialize(nullptr);
    ds->SetCooperativeLevel(reinterpret_cast<HWND>(ds), DSSCL_PRIORITY);
    corvane::platform::SetManualOutputFormat(ds, rate, channels);
    return ds;
}

IDirectSoundBuffer* BufferWith(IDirectSound* ds, const std::vector<std::int16_t>& samples,
                               DWORD rate, WORD channels)
{
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = static_cast<WORD>(2 * channels);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    DSBUFFERDESC desc;
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
    desc.dwBufferBytes = static_cast<DWORD>(samples.size() * 2);
    desc.lpwfxFormat = &f;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(ds->CreateSoundBuffer(&desc, &buffer, nullptr)))
        return nullptr;
    LPVOID p = nullptr;
    DWORD n = 0;
    buffer->Lock(0, desc.dwBufferBytes, &p, &n, nullptr, nullptr, 0);
    std::memcpy(p, samples.data(), n);
    buffer->Unlock(p, n, nullptr, 0);
    return buffer;
}

std::vector<std::int16_t> Pull(IDirectSound* ds, DWORD frames)
{
    WAVEFORMATEX f;
    corvane::platform::GetOutputFormat(ds, &f);
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * f.nChannels);
    corvane::platform::PullMixedFrames(ds, out.data(), frames);
    return out;
}

double Rms(const std::vector<std::int16_t>& frames, int channel)
{
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = static_cast<std::size_t>(channel); i < frames.size(); i += 2, ++n)
        sum += static_cast<double>(frames[i]) * frames[i];
    return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

std::vector<std::int16_t> Sine(DWORD count, double hz, DWORD rate, double peak)
{
    std::vector<std::int16_t> s(count);
    for (DWORD i = 0; i < count; ++i)
        s[i] = static_cast<std::int16_t>(
            std::lrint(peak * std::sin(2.0 * std::numbers::pi * hz * i / rate)));
    return s;
}

} // namespace corvane::test
