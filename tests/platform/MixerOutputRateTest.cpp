// Buffers played at the output rate: whole-frame cursors wrap and stop exactly at the buffer's end.
#include "platform/dsound.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

IDirectSoundBuffer* MakeBuffer(IDirectSound* ds, const Samples& samples, WORD channels, DWORD rate)
{
    WAVEFORMATEX f{WAVE_FORMAT_PCM, channels, rate, rate * 2u * channels, static_cast<WORD>(2 * channels), 16, 0};
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY,
                      static_cast<DWORD>(samples.size() * 2), 0, &f};
    IDirectSoundBuffer* b = nullptr;
    if (ds->CreateSoundBuffer(&desc, &b, nullptr) != DS_OK || !b)
        return nullptr;
    LPVOID p = nullptr;
    DWORD n = 0;
    b->Lock(0, desc.dwBufferBytes, &p, &n, nullptr, nullptr, 0);
    std::memcpy(p, samples.data(), n);
    b->Unlock(p, n, nullptr, 0);
    return b;
}

} // namespace

TEST(MixerOutputRate, LoopingAndOneShotBuffersPlaySampleForSample)
{
    IDirectSound* ds = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::Manual);
    ds->Initialize(nullptr);
    ds->SetCooperativeLevel(reinterpret_cast<HWND>(ds), DSSCL_PRIORITY);
    corvane::platform::SetManualOutputFormat(ds, 22050, 2);

    // A looping mono buffer started near its end: 600 frames cross chunks and two wraps.
    Samples ramp(300);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::int16_t>(i * 97 - 14000);
    IDirectSoundBuffer* loop = MakeBuffer(ds, ramp, 1, 22050);
    ASSERT_NE(loop, nullptr);
    ASSERT_EQ(loop->SetCurrentPosition(250 * 2), DS_OK);
    loop->Play(0, 0, DSBPLAY_LOOPING);
    // A stereo one-shot of 100 frames that ends inside the first chunk.
    Samples pair;
    for (int i = 0; i < 100; ++i) {
        pair.push_back(static_cast<std::int16_t>(1000 + i));
        pair.push_back(static_cast<std::int16_t>(-2000 - i));
    }
    IDirectSoundBuffer* once = MakeBuffer(ds, pair, 2, 22050);
    ASSERT_NE(once, nullptr);
    once->Play(0, 0, 0);

    Samples out(600 * 2);
    ASSERT_EQ(corvane::platform::PullMixedFrames(ds, out.data(), 600), 600u);
    for (int f = 0; f < 600; ++f) {
        const int expected = ramp[(250 + f) % 300];
        ASSERT_EQ(out[f * 2], expected + (f < 100 ? 1000 + f : 0)) << f;
        ASSERT_EQ(out[f * 2 + 1], expected + (f < 100 ? -2000 - f : 0)) << f;
    }
    DWORD play = 0;
    DWORD status = 1;
    loop->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, (250 + 600) % 300 * 2u);
    once->GetCurrentPosition(&play, nullptr);
    once->GetStatus(&status);
    EXPECT_EQ(play, 100 * 4u); // the cursor rests at the end
    EXPECT_EQ(status, 0u);

    // Off the output rate and back: the interpolated cursor (11025 Hz, half a frame per
    // output frame) lands on whole frames again every second frame.
    loop->SetFrequency(11025);
    ASSERT_EQ(corvane::platform::PullMixedFrames(ds, out.data(), 3), 3u);
    EXPECT_EQ(out[2], (ramp[250] + ramp[251]) / 2);
    ASSERT_EQ(corvane::platform::PullMixedFrames(ds, out.data(), 1), 1u);
    loop->SetFrequency(22050);
    ASSERT_EQ(corvane::platform::PullMixedFrames(ds, out.data(), 2), 2u);
    EXPECT_EQ(out[0], ramp[252]);
    EXPECT_EQ(out[2], ramp[253]);

    loop->Release();
    once->Release();
    ds->Release();
}
