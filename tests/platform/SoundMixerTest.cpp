// What the mixer makes of playing buffers: levels, pan, volume, rate, interpolation, clipping.
#include "tests/platform/MixerTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane::test;

namespace {

std::vector<std::int16_t> Dc(DWORD count, std::int16_t value)
{
    return std::vector<std::int16_t>(count, value);
}

int ZeroCrossingsUp(const std::vector<std::int16_t>& frames, int channel)
{
    int n = 0;
    for (std::size_t i = static_cast<std::size_t>(channel) + 2; i < frames.size(); i += 2)
        n += frames[i - 2] < 0 && frames[i] >= 0;
    return n;
}

} // namespace

TEST(SoundMixer, CentreBufferAt44100ComesOutEquallyOnBothChannels)
{
    IDirectSound* ds = ManualDevice(22050, 2);
    // 441 Hz: 100 samples a period, so 4400 samples loop without a seam.
    IDirectSoundBuffer* b = BufferWith(ds, Sine(4400, 441, 44100, 10000), 44100);
    ASSERT_NE(b, nullptr);
    b->Play(0, 0, DSBPLAY_LOOPING);
    const auto out = Pull(ds, 2205);
    EXPECT_DOUBLE_EQ(Rms(out, 0), Rms(out, 1));
    EXPECT_NEAR(Rms(out, 0), 10000 / std::sqrt(2.0), 40);
    EXPECT_EQ(ZeroCrossingsUp(out, 0), 44); // 441 Hz for 100 ms
    b->Release();
    ds->Release();
}

TEST(SoundMixer, PanAttenuatesOnlyTheOppositeChannel)
{
    IDirectSound* ds = ManualDevice(22050, 2);
    IDirectSoundBuffer* b = BufferWith(ds, Sine(4400, 441, 44100, 20000), 44100);
    b->Play(0, 0, DSBPLAY_LOOPING);
    ASSERT_EQ(b->SetPan(-5000), DS_OK);
    auto out = Pull(ds, 2205);
    EXPECT_NEAR(Rms(out, 0), 20000 / std::sqrt(2.0), 60);
    EXPECT_NEAR(20 * std::log10(Rms(out, 0) / Rms(out, 1)), 50.0, 0.5);

    ASSERT_EQ(b->SetPan(3000), DS_OK);
    out = Pull(ds, 2205);
    EXPECT_NEAR(20 * std::log10(Rms(out, 1) / Rms(out, 0)), 30.0, 0.1);
    b->Release();
    ds->Release();
}

TEST(SoundMixer, VolumeIsHundredthsOfADecibel)
{
    IDirectSound* ds = ManualDevice(22050, 2);
    IDirectSoundBuffer* b = BufferWith(ds, Dc(1000, 10000), 44100);
    b->Play(0, 0, DSBPLAY_LOOPING);
    ASSERT_EQ(b->SetVolume(-600), DS_OK);
    const auto out = Pull(ds, 300);
    const double expected = 10000 * std::pow(10.0, -0.3);
    for (std::int16_t s : out)
        ASSERT_NEAR(s, expected, 1.0);
    ASSERT_EQ(b->SetVolume(-10000), DS_OK);
    for (std::int16_t s : Pull(ds, 100))
        ASSERT_EQ(s, 0);
    b->Release();
    ds->Release();
}

TEST(SoundMixer, FrequencyMovesTheCursorAndThePitch)
{
    IDirectSound* ds = ManualDevice(22050, 2);
    IDirectSoundBuffer* b = BufferWith(ds, Sine(44100, 441, 44100, 10000), 44100);
    b->Play(0, 0, DSBPLAY_LOOPING);
    DWORD play = 0;
    const auto normal = Pull(ds, 2205);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 4410u * 2); // 100 ms of output = 4410 frames of a 44100 Hz buffer

    ASSERT_EQ(b->SetCurrentPosition(0), DS_OK);
    ASSERT_EQ(b->SetFrequency(88200), DS_OK);
    const auto fast = Pull(ds, 2205);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 8820u * 2);
    EXPECT_NEAR(ZeroCrossingsUp(normal, 0), 44, 1); // 441 Hz
    EXPECT_NEAR(ZeroCrossingsUp(fast, 0), 88, 1);   // an octave up
    b->Release();
    ds->Release();
}

TEST(SoundMixer, RateConversionInterpolatesLinearly)
{
    IDirectSound* ds = ManualDevice(22050, 1);
    IDirectSoundBuffer* b = BufferWith(ds, {0, 1000, 3000, -1000}, 11025);
    b->Play(0, 0, DSBPLAY_LOOPING);
    const auto out = Pull(ds, 8);
    // Half-way points between neighbours, wrapping from the last sample to the first.
    const std::vector<std::int16_t> expected{0, 500, 1000, 2000, 3000, 1000, -1000, -500};
    EXPECT_EQ(out, expected);
    b->Release();
    ds->Release();
}

TEST(SoundMixer, BuffersAreSummedAndClipped)
{
    IDirectSound* ds = ManualDevice(22050, 2);
    IDirectSoundBuffer* a = BufferWith(ds, Dc(100, 30000), 22050);
    IDirectSoundBuffer* b = BufferWith(ds, Dc(100, 30000), 22050);
    IDirectSoundBuffer* c = BufferWith(ds, Dc(100, -2000), 22050);
    c->Play(0, 0, DSBPLAY_LOOPING);
    a->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Pull(ds, 1)[0], 28000);
    b->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Pull(ds, 1)[1], 32767);
    a->Release();
    b->Release();
    c->Release();
    ds->Release();
}

TEST(SoundMixer, OneShotStopsAtItsEndAndKeepsItsCursorThere)
{
    IDirectSound* ds = ManualDevice(22050, 2);
    IDirectSoundBuffer* b = BufferWith(ds, Dc(100, 1000), 22050);
    b->Play(0, 0, 0);
    const auto out = Pull(ds, 150);
    EXPECT_EQ(out[2 * 99], 1000);
    EXPECT_EQ(out[2 * 100], 0);
    EXPECT_EQ(out[2 * 149 + 1], 0);
    DWORD status = 0;
    DWORD play = 0;
    b->GetStatus(&status);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u);
    EXPECT_EQ(play, 200u);
    Pull(ds, 50);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 200u);

    // Playing again after the end starts over; a looping buffer wraps instead of stopping.
    b->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Pull(ds, 1)[0], 1000);
    Pull(ds, 249);
    b->GetCurrentPosition(&play, nullptr);
    b->GetStatus(&status);
    EXPECT_EQ(play, 100u); // 250 frames into a 100-frame loop
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    b->Release();
    ds->Release();
}
