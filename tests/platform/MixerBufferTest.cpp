// The sound API's buffer and device rules: ranges, locking, positions, formats, back-ends, threads.
#include "tests/platform/MixerTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

using namespace corvane::test;

TEST(MixerBuffer, OutOfRangeControlValuesAreRejectedAndChangeNothing)
{
    IDirectSound* ds = ManualDevice();
    IDirectSoundBuffer* b = BufferWith(ds, std::vector<std::int16_t>(64), 44100);
    LONG v = 0;
    DWORD f = 0;
    EXPECT_EQ(b->SetVolume(-2500), DS_OK);
    EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
    b->GetVolume(&v);
    EXPECT_EQ(v, -2500);
    EXPECT_EQ(b->SetPan(-10000), DS_OK);
    EXPECT_EQ(b->SetPan(10000), DS_OK);
    EXPECT_EQ(b->SetPan(10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(-15000), DSERR_INVALIDPARAM);
    b->GetPan(&v);
    EXPECT_EQ(v, 10000);
    EXPECT_EQ(b->SetFrequency(100), DS_OK);
    EXPECT_EQ(b->SetFrequency(100000), DS_OK);
    EXPECT_EQ(b->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(100001), DSERR_INVALIDPARAM);
    b->GetFrequency(&f);
    EXPECT_EQ(f, 100000u);
    EXPECT_EQ(b->SetCurrentPosition(128), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFormat(nullptr), DSERR_INVALIDCALL);
    b->Release();
    ds->Release();
}

TEST(MixerBuffer, LockHandsOutOneRegionAndUnlockStoresOnlyWhatWasWritten)
{
    IDirectSound* ds = ManualDevice();
    IDirectSoundBuffer* b = BufferWith(ds, {1, 2, 3, 4, 5, 6, 7, 8}, 44100);
    LPVOID p1 = nullptr;
    LPVOID p2 = nullptr;
    DWORD n1 = 0;
    DWORD n2 = 0;
    // Without a second region the lock is cut at the end of the buffer.
    ASSERT_EQ(b->Lock(12, 8, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(static_cast<std::int16_t*>(p1)[0], 7);
    EXPECT_EQ(b->Lock(0, 2, &p2, &n2, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(b->Unlock(p1, 6, nullptr, 0), DSERR_INVALIDPARAM);
    static_cast<std::int16_t*>(p1)[0] = 70;
    static_cast<std::int16_t*>(p1)[1] = 80;
    ASSERT_EQ(b->Unlock(p1, 2, nullptr, 0), DS_OK); // only the first sample counts

    ASSERT_EQ(b->Lock(12, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(n2, 4u);
    EXPECT_EQ(static_cast<std::int16_t*>(p1)[0], 70);
    EXPECT_EQ(static_cast<std::int16_t*>(p1)[1], 8);
    EXPECT_EQ(static_cast<std::int16_t*>(p2)[1], 2);
    static_cast<std::int16_t*>(p2)[0] = -1;
    ASSERT_EQ(b->Unlock(p1, 0, p2, 2), DS_OK);

    EXPECT_EQ(b->Lock(16, 2, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(0, 0, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(b->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    const std::int16_t* s = static_cast<std::int16_t*>(p1);
    EXPECT_EQ(n1, 16u);
    EXPECT_EQ(s[0], -1);
    EXPECT_EQ(s[6], 70);
    EXPECT_EQ(s[7], 8);
    b->Unlock(p1, 0, nullptr, 0);
    b->Release();
    ds->Release();
}

TEST(MixerDevice, PrimaryFormatIsTheOutputFormatUnlessAnExportFixedOne)
{
    IDirectSound* ds = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::Manual);
    DSBUFFERDESC primary;
    primary.dwSize = DSBUFFERDESC_SIZE;
    primary.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* p = nullptr;
    EXPECT_EQ(ds->CreateSoundBuffer(&primary, &p, nullptr), DSERR_UNINITIALIZED);
    ASSERT_EQ(ds->Initialize(&GUID_NULL), DS_OK);
    ASSERT_EQ(ds->SetCooperativeLevel(&primary, DSSCL_PRIORITY), DS_OK);
    ASSERT_EQ(ds->CreateSoundBuffer(&primary, &p, nullptr), DS_OK);

    WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    WAVEFORMATEX out;
    ASSERT_EQ(p->SetFormat(&f), DS_OK);
    corvane::platform::GetOutputFormat(ds, &out);
    EXPECT_EQ(out.nSamplesPerSec, 44100u);
    f.wBitsPerSample = 8;
    EXPECT_EQ(p->SetFormat(&f), DSERR_BADFORMAT);
    ASSERT_EQ(corvane::platform::SetManualOutputFormat(ds, 48000, 1), DS_OK);
    f = {WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    EXPECT_EQ(p->SetFormat(&f), DS_OK);
    p->GetFormat(&out);
    EXPECT_EQ(out.nSamplesPerSec, 48000u);
    EXPECT_EQ(out.nChannels, 1u);
    EXPECT_EQ(corvane::platform::SetManualOutputFormat(ds, 200000, 2), DSERR_INVALIDPARAM);
    std::int16_t frame[2] = {};
    EXPECT_EQ(corvane::platform::PullMixedFrames(ds, frame, 1), 1u);
    p->Release();
    ds->Release();
}

TEST(MixerDevice, BackEndsFromTheEnvironment)
{
    IDirectSound* none = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::None);
    EXPECT_EQ(none->Initialize(nullptr), DSERR_NODRIVER);
    std::int16_t frame[2] = {};
    EXPECT_EQ(corvane::platform::PullMixedFrames(none, frame, 1), 0u);
    none->Release();

    void* object = nullptr;
    setenv("CORVANE_AUDIO", "none", 1);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound,
                               &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    setenv("CORVANE_AUDIO", "manual", 1);
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound,
                               &object),
              S_OK);
    auto* ds = static_cast<IDirectSound*>(object);
    EXPECT_EQ(ds->Initialize(nullptr), DS_OK);
    EXPECT_EQ(corvane::platform::PullMixedFrames(ds, frame, 1), 1u);
    EXPECT_FALSE(corvane::platform::IsOutputLost(ds));
    ds->Release();
    DWORD size = 0;
    EXPECT_EQ(acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &size), MMSYSERR_NOERROR);
    EXPECT_GE(size, sizeof(WAVEFORMATEX));
}

TEST(MixerBuffer, BufferOutlivesItsDevice)
{
    IDirectSound* ds = ManualDevice();
    IDirectSoundBuffer* b = BufferWith(ds, std::vector<std::int16_t>(64, 5), 44100);
    ds->Release();
    EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(b->SetVolume(-100), DS_OK);
    b->Release();
}

// Run under ThreadSanitizer this shows the GUI-side calls and the output thread share no
// unguarded state; in a plain build it checks nothing breaks while they interleave.
TEST(MixerBuffer, OutputThreadAndCallerInterleaveSafely)
{
    IDirectSound* ds = ManualDevice();
    IDirectSoundBuffer* b = BufferWith(ds, Sine(7056, 441, 44100, 8000), 44100);
    b->Play(0, 0, DSBPLAY_LOOPING);
    std::atomic<bool> done{false};
    std::atomic<long> pulled{0};
    std::thread output([&] {
        std::int16_t frames[2 * 128];
        while (!done) {
            corvane::platform::PullMixedFrames(ds, frames, 128);
            ++pulled;
        }
    });
    std::vector<std::int16_t> block(882, 1234);
    // Go on until both sides have done a fair amount of work while the other was running.
    for (int i = 0; i < 2000 || pulled < 200; ++i) {
        DWORD play = 0;
        b->GetCurrentPosition(&play, nullptr);
        LPVOID p = nullptr;
        DWORD n = 0;
        if (b->Lock((play / 1764) * 1764, 1764, &p, &n, nullptr, nullptr, 0) == DS_OK) {
            std::copy(block.begin(), block.end(), static_cast<std::int16_t*>(p));
            b->Unlock(p, n, nullptr, 0);
        }
        b->SetVolume(-(i % 10000));
        b->SetPan(i % 2 ? 3000 : -3000);
        b->SetFrequency(22050 + static_cast<DWORD>(i));
        if (i % 100 == 0)
            b->Play(0, 0, i % 200 ? DSBPLAY_LOOPING : 0);
    }
    done = true;
    output.join();
    b->Release();
    ds->Release();
}
