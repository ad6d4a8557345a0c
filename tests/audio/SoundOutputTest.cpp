// The sound device and its streams on the manual back-end: the registry, segment-wise writing,
// play modes, clamps, and the failure paths, through a device that refuses chosen calls.
#include "audio/CSoundDevice.h"
#include "audio/SoundOutputMessage.h"
#include "tests/platform/ManualDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

using platform_test::Playing;

namespace {

constexpr DWORD kSegment = 1764; // bytes of one 882-sample block

std::vector<std::int16_t> Block(std::int16_t value)
{
    return std::vector<std::int16_t>(kSegment / 2, value);
}

struct FaultPlan {
    bool refuseLevel = false, refusePrimary = false, refuseSecondary = false;
    int devicesAlive = 0;
    IDirectSound* mixer = nullptr; // the manual mixer behind the latest device
};

// A manual mixer device that refuses the calls the plan names.
class FaultyDevice final : public IDirectSound {
public:
    explicit FaultyDevice(FaultPlan& plan) : plan(plan)
    {
        ++plan.devicesAlive;
        plan.mixer = r;
    }
    DWORD AddRef() override { return ++refs; }
    DWORD Release() override
    {
        if (--refs)
            return refs;
        r->Release();
        --plan.devicesAlive;
        delete this;
        return 0;
    }
    HRESULT Initialize(LPCGUID g) override { return r->Initialize(g); }
    HRESULT SetCooperativeLevel(HWND w, DWORD l) override
    {
        return plan.refuseLevel ? DSERR_ALLOCATED : r->SetCooperativeLevel(w, l);
    }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* d, IDirectSoundBuffer** b, void* o) override
    {
        if ((d->dwFlags & DSBCAPS_PRIMARYBUFFER) ? plan.refusePrimary : plan.refuseSecondary)
            return DSERR_OUTOFMEMORY;
        return r->CreateSoundBuffer(d, b, o);
    }

private:
    IDirectSound* r = corvane::platform::CreateMixerDevice(corvane::platform::AudioBackend::Manual);
    FaultPlan& plan;
    DWORD refs = 1;
};

class Sound : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("CORVANE_AUDIO", "manual", 1);
        CSoundStream::ResetStreamingState();
        corvane::platform::SetDirectSoundFactory([this] { return new FaultyDevice(plan); });
        device->SetWindow(device.get());
    }
    void TearDown() override
    {
        device.reset();
        corvane::platform::SetDirectSoundFactory({});
        setenv("CORVANE_AUDIO", "manual", 1);
    }
    IDirectSoundBuffer* Buffer() { return device->FindStream(0)->GetBuffer(); }
    void Advance(DWORD frames) { platform_test::Pull(plan.mixer, frames, 2); }
    DWORD Cursor() { return platform_test::Position(Buffer()); }
    std::vector<std::int16_t> Segment(DWORD i)
    {
        std::vector<std::int16_t> samples(kSegment / 2);
        LPVOID p = nullptr;
        DWORD n = 0;
        if (Buffer()->Lock(i * kSegment, kSegment, &p, &n, nullptr, nullptr, 0) == DS_OK) {
            std::memcpy(samples.data(), p, n);
            Buffer()->Unlock(p, 0, nullptr, 0);
        }
        return samples;
    }

    FaultPlan plan;
    std::unique_ptr<CSoundDevice> device = std::make_unique<CSoundDevice>();
};

// The started device with the program's 7056-sample stream. Output at 44100 Hz, so one pulled
// frame moves the stream's cursor by 2 bytes.
class Streaming : public Sound {
protected:
    void SetUp() override
    {
        Sound::SetUp();
        std::uint32_t id = 99;
        ASSERT_EQ(device->Start(), 1);
        ASSERT_EQ(device->CreateStream(7056, &id), 1);
        corvane::platform::SetManualOutputFormat(plan.mixer, 44100, 2);
        s = device->FindStream(id);
    }
    CSoundStream* s = nullptr;
};

} // namespace

TEST_F(Sound, RegistryIdentifiersRemovalRestartAndDestruction)
{
    ASSERT_EQ(device->Start(), 1);
    WAVEFORMATEX f;
    ASSERT_EQ(corvane::platform::GetOutputFormat(plan.mixer, &f), DS_OK);
    EXPECT_EQ(std::tuple(f.nSamplesPerSec, f.nChannels), std::tuple(22050u, 2u));
    // Identifiers count from 0; looking up an unknown one adds nothing.
    std::uint32_t id = 99;
    for (std::uint32_t expected : {0u, 1u, 2u}) {
        EXPECT_EQ(device->FindStream(7), nullptr);
        ASSERT_EQ(device->CreateStream(7056, &id), 1);
        EXPECT_EQ(id, expected);
    }
    EXPECT_NE(device->FindStream(1), device->FindStream(0));
    device->FindStream(0)->GetBuffer()->GetFormat(&f);
    EXPECT_EQ(std::tuple(f.nSamplesPerSec, f.nChannels), std::tuple(44100u, 1u));

    // Removal, starting again and destruction each stop the playing stream and give its buffer
    // back (held here to see it) and drop every stream. Identifiers start at 0 again after a
    // removal; a new start replaces the device and gives no identifier twice.
    const struct { const char* what; std::function<void()> end; std::uint32_t playing, next; } ends[] = {
        {"removal", [&] { device->RemoveAllStreams(); }, 0, 0},
        {"start", [&] { ASSERT_EQ(device->Start(), 1); }, 0, 1},
        {"destruction", [&] { device.reset(); }, 1, 0},
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.what);
        IDirectSoundBuffer* held = device->FindStream(e.playing)->GetBuffer();
        held->AddRef();
        device->FindStream(e.playing)->SetPlayMode(2);
        e.end();
        EXPECT_FALSE(Playing(held));
        EXPECT_EQ(held->Release(), 0u);
        EXPECT_EQ(plan.devicesAlive, device ? 1 : 0);
        if (device) {
            EXPECT_EQ(device->FindStream(0), nullptr);
            ASSERT_EQ(device->CreateStream(7056, &id), 1);
            EXPECT_EQ(id, e.next);
        }
    }
}

TEST_F(Sound, FailuresLeaveNothingBehindAndWithoutSoundEverythingIsRefusedQuietly)
{
    std::uint32_t id = 99;
    EXPECT_EQ(device->CreateStream(7056, &id), 0); // never started
    CSoundDevice windowless;
    EXPECT_EQ(windowless.Start(), 0);
    EXPECT_EQ(windowless.GetDirectSound(), nullptr);
    // A failed Start leaves the device as constructed, whichever step failed (and the
    // windowless device released what it made).
    for (bool FaultPlan::*step : {&FaultPlan::refuseLevel, &FaultPlan::refusePrimary}) {
        plan.*step = true;
        EXPECT_EQ(device->Start(), 0);
        plan.*step = false;
        EXPECT_EQ(device->GetDirectSound(), nullptr);
        EXPECT_EQ(plan.devicesAlive, 0);
        EXPECT_EQ(device->CreateStream(7056, &id), 0);
    }
    // A stream whose buffer cannot be made is deleted and nothing is registered.
    ASSERT_EQ(device->Start(), 1);
    plan.refuseSecondary = true;
    EXPECT_EQ(device->CreateStream(7056, &id), 0);
    plan.refuseSecondary = false;
    EXPECT_EQ(device->CreateStream(0, &id), 0);
    EXPECT_EQ(device->CreateStream(0x80000000u, &id), 0);
    EXPECT_EQ(id, 99u);
    EXPECT_EQ(device->FindStream(0), nullptr);
    ASSERT_EQ(device->CreateStream(7056, &id), 1);
    EXPECT_EQ(id, 0u);

    CSoundStream s; // without a buffer
    EXPECT_EQ(s.IsValid() + s.SetVolume(0) + s.SetPan(0.0f) + s.SetFrequency(1.0f) + s.CreateBuffer(nullptr), 0);
    EXPECT_EQ(s.Write(Block(1).data()), 0u);
    for (HRESULT refused : {s.Play(), s.Stop(), s.SetPlayMode(2)})
        EXPECT_EQ(refused, E_FAIL);

    // Without a sound system a new Start fails and drops the streams there were.
    corvane::platform::SetDirectSoundFactory({});
    setenv("CORVANE_AUDIO", "none", 1);
    EXPECT_EQ(device->Start(), 0);
    EXPECT_EQ(device->FindStream(0), nullptr);
    EXPECT_EQ(device->CreateStream(7056, &id), 0);
}

TEST_F(Streaming, WriteTakesOneBlockPerSegmentAddingThePreviousIndexUnscaled)
{
    ASSERT_EQ(s->SetPlayMode(2), DS_OK);
    // The cursor's byte position, the block offered there, and whether it is taken.
    const std::tuple<DWORD, std::int16_t, bool> kWrites[] = {
        {0, 100, true},   {0, 200, false}, // segment 0 is written once per pass
        {1600, 200, false}, {1764, 200, true}, {3 * kSegment, 3, true},
        {7054, 4, true},  // (7054 + 3) / 1764 = 4: taken 2 bytes before the cursor reaches it
        {7 * kSegment, 7, true},
        {14110, 8, true}, // (14110 + 7) / 1764 = 8, which wraps to segment 0
    };
    for (auto [cursor, value, taken] : kWrites) {
        Buffer()->SetCurrentPosition(cursor);
        EXPECT_EQ(s->Write(Block(value).data()), taken ? kSegment : 0u) << cursor << " " << value;
    }
    const std::int16_t kSegments[] = {8, 200, 0, 3, 4, 0, 0, 7};
    for (DWORD i = 0; i < 8; ++i)
        EXPECT_EQ(Segment(i), Block(kSegments[i])) << i;
}

TEST_F(Streaming, PlayStopAndSetStopped)
{
    // A stream that never played leaves the buffer alone on Stop.
    Buffer()->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(s->Stop(), 0);
    EXPECT_TRUE(Playing(Buffer()));
    Buffer()->Stop();
    // A stopped stream takes the block of its cursor's segment once, then refuses.
    Buffer()->SetCurrentPosition(2 * kSegment + 10);
    EXPECT_EQ(s->Write(Block(1).data()), kSegment);
    EXPECT_EQ(Segment(2), Block(1));
    Advance(20 * 882);
    EXPECT_EQ(s->Write(Block(2).data()), 0u);
    EXPECT_EQ(Cursor(), 2 * kSegment + 10);

    Buffer()->SetCurrentPosition(0);
    ASSERT_EQ(s->SetPlayMode(2), DS_OK);
    Advance(3000);
    EXPECT_EQ(Cursor(), 6000u);
    EXPECT_EQ(s->Play(), DS_OK); // a playing stream starts again at the beginning
    EXPECT_EQ(Cursor(), 0u);
    Advance(3000);
    EXPECT_EQ(s->SetStopped(1), DS_OK);
    EXPECT_FALSE(Playing(Buffer()));
    Advance(500);
    EXPECT_EQ(s->SetStopped(0), DS_OK); // goes on from the cursor, still looping
    EXPECT_EQ(Cursor(), 6000u);
    Advance(7056);
    EXPECT_EQ(Cursor(), 6000u);
    EXPECT_TRUE(Playing(Buffer()));
}

TEST_F(Streaming, OneShotPlaysToTheEndThenWriteRefuses)
{
    ASSERT_EQ(s->SetPlayMode(1), DS_OK);
    // The render cycle keeping up with the cursor: all 8 blocks are taken, and at most one
    // more as the end is reached. (The cursor rests at the end: the mixer's one-shot test.)
    int taken = 0, late = 0;
    for (int tick = 0; tick < 28; ++tick) {
        (tick < 8 ? taken : late) += s->Write(Block(static_cast<std::int16_t>(tick + 1)).data()) != 0;
        Advance(882);
    }
    EXPECT_EQ(taken, 8);
    EXPECT_LE(late, 1);
    EXPECT_FALSE(Playing(Buffer()));
    EXPECT_EQ(s->Write(Block(9).data()), 0u);
    // Selecting one-shot again plays the buffer once more from its start.
    ASSERT_EQ(s->SetPlayMode(1), DS_OK);
    EXPECT_TRUE(Playing(Buffer()));
    EXPECT_EQ(Cursor(), 0u);
}

TEST_F(Streaming, VolumeAndFrequencyAreClampedPanOutOfRangeIsRejected)
{
    LONG v = 0;
    const std::pair<LONG, LONG> volumes[] = {{-1234, -1234}, {500, 0}, {-20000, -10000}};
    for (auto [in, out] : volumes) {
        EXPECT_EQ(s->SetVolume(in), 1);
        Buffer()->GetVolume(&v);
        EXPECT_EQ(v, out) << in;
    }
    DWORD f = 0;
    constexpr float inf = std::numeric_limits<float>::infinity();
    // Ratio or pan, whether it is accepted, and the buffer's setting after it (a refusal keeps the last).
    const std::tuple<float, int, DWORD> rates[] = {{1.0f, 1, 44100},  {0.001f, 1, 100}, {3.0f, 1, 100000},
                                                   {0.5f, 1, 22050},  {-4.0f, 1, 100},  {inf, 1, 100000},
                                                   {std::nanf(""), 0, 100000}};
    for (auto [ratio, ok, hz] : rates) {
        EXPECT_EQ(s->SetFrequency(ratio), ok) << ratio;
        Buffer()->GetFrequency(&f);
        EXPECT_EQ(f, hz) << ratio;
    }
    const std::tuple<float, int, LONG> pans[] = {{-0.5f, 1, -5000}, {1.00005f, 1, 10000}, // 10000.5 truncates
                                                 {1.5f, 0, 10000},  {-1e20f, 0, 10000},  {std::nanf(""), 0, 10000}};
    for (auto [pan, ok, out] : pans) {
        EXPECT_EQ(s->SetPan(pan), ok) << pan;
        Buffer()->GetPan(&v);
        EXPECT_EQ(v, out) << pan;
    }
}

TEST(NoSoundOutputMessage, NamesTheSystemsTriedAndSaysWhatHappensNext)
{
    // The opening and "runs silently" of the message after a failed start:
    // PanelWithoutDevice.MessageAndSilentControls.
    const std::string retrying = NoSoundOutputMessage({"JACK", "PulseAudio", "ALSA"}, true);
    EXPECT_TRUE(retrying.starts_with("No sound output")) << retrying;
    EXPECT_NE(retrying.find("(tried JACK, PulseAudio and ALSA)"), std::string::npos);
    EXPECT_NE(retrying.find("keeps trying"), std::string::npos);
    EXPECT_NE(retrying.find("runs silently"), std::string::npos);
    const std::string once = NoSoundOutputMessage({}, false);
    EXPECT_EQ(once.find("tried"), std::string::npos) << once;
    EXPECT_EQ(once.find("keeps trying"), std::string::npos);
}
