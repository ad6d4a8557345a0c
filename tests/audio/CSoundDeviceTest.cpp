// The sound device: start-up and its failures, the stream registry and its identifiers.
#include "audio/CSoundDevice.h"
#include "tests/audio/FaultySound.h"
#include "tests/audio/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace corvane::test;

namespace {

struct ManualAudio : ::testing::Test {
    void SetUp() override { setenv("CORVANE_AUDIO", "manual", 1); }
    void TearDown() override { setenv("CORVANE_AUDIO", "manual", 1); }
};

using SoundDevice = ManualAudio;

} // namespace

TEST_F(SoundDevice, IdentifiersCountFromZeroAndStartAgainAfterRemoveAll)
{
    CSoundDevice device;
    device.SetWindow(&device);
    ASSERT_EQ(device.Start(), 1);
    std::uint32_t a = 99;
    std::uint32_t b = 99;
    ASSERT_EQ(device.CreateStream(7056, &a), 1);
    ASSERT_EQ(device.CreateStream(100, &b), 1);
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 1u);
    CSoundStream* first = device.FindStream(0);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(device.FindStream(1), first);
    EXPECT_EQ(first->IsValid(), 1);

    // Looking up an unknown identifier adds nothing: the next one is still 2.
    EXPECT_EQ(device.FindStream(7), nullptr);
    EXPECT_EQ(device.FindStream(7), nullptr);
    std::uint32_t c = 99;
    ASSERT_EQ(device.CreateStream(50, &c), 1);
    EXPECT_EQ(c, 2u);

    device.RemoveAllStreams();
    EXPECT_EQ(device.FindStream(0), nullptr);
    EXPECT_EQ(device.FindStream(2), nullptr);
    ASSERT_EQ(device.CreateStream(7056, &a), 1);
    EXPECT_EQ(a, 0u);
}

TEST_F(SoundDevice, WithoutSoundEverythingIsRefusedQuietly)
{
    setenv("CORVANE_AUDIO", "none", 1);
    CSoundDevice device;
    device.SetWindow(&device);
    EXPECT_EQ(device.Start(), 0);
    std::uint32_t id = 99;
    EXPECT_EQ(device.CreateStream(7056, &id), 0);
    EXPECT_EQ(id, 99u);
    EXPECT_EQ(device.FindStream(0), nullptr);
    EXPECT_EQ(device.GetDirectSound(), nullptr);

    // A device that was never started refuses streams too, as does one without a window.
    setenv("CORVANE_AUDIO", "manual", 1);
    CSoundDevice unstarted;
    EXPECT_EQ(unstarted.CreateStream(7056, &id), 0);
    EXPECT_EQ(unstarted.Start(), 0);
    EXPECT_EQ(unstarted.GetDirectSound(), nullptr);
    EXPECT_EQ(id, 99u);
}

TEST_F(SoundDevice, FailedStartReleasesWhatItCreated)
{
    FaultPlan plan;
    FaultySoundScope faults(plan);
    for (int step = 0; step < 3; ++step) {
        plan.refuseLevel = step == 0;
        plan.refusePrimary = step == 1;
        plan.refusePrimaryFormat = step == 2;
        CSoundDevice device;
        device.SetWindow(&device);
        EXPECT_EQ(device.Start(), 0) << step;
        EXPECT_EQ(plan.devicesAlive, 0) << step;
        EXPECT_EQ(plan.buffersAlive, 0) << step;
        std::uint32_t id = 99;
        EXPECT_EQ(device.CreateStream(7056, &id), 0);
        EXPECT_EQ(id, 99u);
    }
}

TEST_F(SoundDevice, StreamWhoseBufferFailsIsNotRegistered)
{
    FaultPlan plan;
    FaultySoundScope faults(plan);
    CSoundDevice device;
    device.SetWindow(&device);
    ASSERT_EQ(device.Start(), 1);
    plan.refuseSecondary = true;
    std::uint32_t id = 99;
    EXPECT_EQ(device.CreateStream(7056, &id), 0);
    EXPECT_EQ(id, 99u);
    EXPECT_EQ(device.FindStream(0), nullptr);

    // A buffer made but not set up (volume refused) is released again.
    plan.refuseSecondary = false;
    plan.failVolume = true;
    EXPECT_EQ(device.CreateStream(7056, &id), 0);
    EXPECT_EQ(plan.buffersAlive, 1); // only the primary buffer
    plan.failVolume = false;
    EXPECT_EQ(device.CreateStream(0, &id), 0);
    EXPECT_EQ(device.CreateStream(0x80000000u, &id), 0);
    ASSERT_EQ(device.CreateStream(7056, &id), 1);
    EXPECT_EQ(id, 0u);
}

TEST_F(SoundDevice, RemovalStopsStreamsAndDestructionReleasesEverything)
{
    FaultPlan plan;
    {
        FaultySoundScope faults(plan);
        CSoundDevice device;
        device.SetWindow(&device);
        ASSERT_EQ(device.Start(), 1);
        std::uint32_t id = 0;
        device.CreateStream(7056, &id);
        device.CreateStream(7056, &id);
        device.FindStream(0)->SetPlayMode(2);
        device.FindStream(1)->SetPlayMode(2);
        EXPECT_EQ(plan.buffersAlive, 3);
        device.RemoveAllStreams();
        EXPECT_EQ(plan.stops, 2);
        EXPECT_EQ(plan.buffersAlive, 1);

        device.CreateStream(7056, &id);
        device.FindStream(0)->SetPlayMode(2);
    }
    EXPECT_EQ(plan.stops, 3);
    EXPECT_EQ(plan.buffersAlive, 0);
    EXPECT_EQ(plan.devicesAlive, 0);
}

TEST_F(SoundDevice, StartingAgainReplacesTheDeviceAndItsStreams)
{
    FaultPlan plan;
    FaultySoundScope faults(plan);
    CSoundDevice device;
    device.SetWindow(&device);
    ASSERT_EQ(device.Start(), 1);
    std::uint32_t id = 99;
    device.CreateStream(7056, &id);
    device.FindStream(0)->SetPlayMode(2);
    ASSERT_EQ(device.Start(), 1);
    EXPECT_EQ(plan.devicesAlive, 1);
    EXPECT_EQ(plan.buffersAlive, 1); // the new primary buffer only: no stream left playing
    EXPECT_EQ(device.FindStream(0), nullptr);
    ASSERT_EQ(device.CreateStream(7056, &id), 1);
    EXPECT_EQ(id, 1u); // identifiers are not given twice
}

TEST_F(SoundDevice, StartedDeviceMixesAt22050HzStereo)
{
    CSoundDevice device;
    device.SetWindow(&device);
    ASSERT_EQ(device.Start(), 1);
    WAVEFORMATEX f;
    ASSERT_EQ(corvane::platform::GetOutputFormat(device.GetDirectSound(), &f), DS_OK);
    EXPECT_EQ(f.nSamplesPerSec, 22050u);
    EXPECT_EQ(f.nChannels, 2u);
    std::uint32_t id = 0;
    ASSERT_EQ(device.CreateStream(7056, &id), 1);
    WAVEFORMATEX s;
    device.FindStream(0)->GetBuffer()->GetFormat(&s);
    EXPECT_EQ(s.nSamplesPerSec, 44100u);
    EXPECT_EQ(s.nChannels, 1u);
    EXPECT_EQ(s.nBlockAlign, 2u);
}
