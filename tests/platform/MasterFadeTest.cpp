// The master fade: the curve's ends and shape, the largest step between two samples, turning
// round mid-fade, and the mixer applying it to the sum while the voices play on.
#include "ManualDevice.h"
#include "platform/MasterFade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using corvane::platform::MasterFade;

namespace {
// The largest gain change from one sample to the next. A step d on a full-scale signal is an
// error of d x 32767 (about 3 LSB of 16-bit output for 1e-4), 80 dB under the signal; with a
// slope that changes smoothly there is no transient either, so nothing can be heard.
constexpr double kMaxStep = 1e-4;

// Runs a fade over a constant 1.0 and returns the gains it applied, frame by frame.
std::vector<float> Gains(MasterFade& fade, unsigned frames)
{
    std::vector<float> g(frames, 1.0f);
    fade.Process(g.data(), frames, 1);
    return g;
}
} // namespace

TEST(MasterFade, CurveIsMonotonicReachesExactEndsAndStepsBelowTheBound)
{
    // Positions outside 0..1 hold the ends; the ends and the shape between show in the fades.
    EXPECT_EQ(MasterFade::Gain(-3.0), 0.0f);
    EXPECT_EQ(MasterFade::Gain(7.0), 1.0f);

    // A pause and a resume of one second at the output rates the mixer runs at.
    for (double rate : {22050.0, 44100.0, 48000.0}) {
        MasterFade fade;
        fade.SetRate(rate);
        const auto n = static_cast<unsigned>(rate);
        fade.FadeTo(false, 1.0);
        const std::vector<float> down = Gains(fade, n + 10);
        fade.FadeTo(true, 1.0);
        const std::vector<float> up = Gains(fade, n + 10);
        EXPECT_EQ(down.front(), 1.0f) << rate;
        EXPECT_EQ(up.front(), 0.0f) << rate;
        double largest = 0;
        for (unsigned i = 1; i < down.size(); ++i) {
            ASSERT_LE(down[i], down[i - 1]) << rate << " frame " << i;
            ASSERT_GE(up[i], up[i - 1]) << rate << " frame " << i;
            largest = std::max({largest, double(down[i - 1] - down[i]), double(up[i] - up[i - 1])});
        }
        EXPECT_LE(largest, kMaxStep) << rate;
        EXPECT_GT(largest, kMaxStep / 4) << rate; // it does move, about pi/2 per fade length
        // Silence and unity are reached, exactly, after one second, and held.
        EXPECT_GT(down[n - 100], 0.0f);
        EXPECT_EQ(down[n + 1], 0.0f);
        EXPECT_EQ(down.back(), 0.0f);
        EXPECT_LT(up[n - 100], 1.0f);
        EXPECT_EQ(up[n + 1], 1.0f);
        EXPECT_TRUE(fade.IsAtRest());
        std::vector<float> loud(8, 1.5f); // at rest at unity nothing is touched, not even clipped
        fade.Process(loud.data(), 4, 2);
        EXPECT_EQ(loud, std::vector<float>(8, 1.5f));
    }
}

TEST(MasterFade, TurnsRoundWhereItIsAndKeepsItsPaceInSecondsAcrossARateChange)
{
    MasterFade fade;
    fade.SetRate(1000);
    fade.FadeTo(false, 60.0); // a sleep timer's minute
    const std::vector<float> first = Gains(fade, 30000);
    EXPECT_NEAR(first.back(), 0.5f, 1e-3);
    fade.SetRate(2000); // the output reopened at twice the rate: still 30 s to go
    fade.FadeTo(false, 60.0);
    const std::vector<float> second = Gains(fade, 59990);
    EXPECT_NEAR(second.front(), first.back(), 1e-4);
    EXPECT_GT(second.back(), 0.0f);
    fade.FadeTo(true, 1.0); // resume: back up from where it was, at the one-second pace
    const std::vector<float> up = Gains(fade, 2001);
    EXPECT_NEAR(up.front(), second.back(), 1e-6);
    EXPECT_EQ(up.back(), 1.0f);
    fade.FadeTo(false, 0.0); // no length: straight to silence
    EXPECT_EQ(Gains(fade, 3), std::vector<float>(3, 0.0f));
}

TEST(MasterFade, MixerFadesTheSumOutAndInWhileTheVoicesPlayOn)
{
    platform_test::ManualDevice device(8000, 2);
    IDirectSoundBuffer* b = device.Buffer(platform_test::Samples(1000, 10000), 8000, 1,
                                          DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN);
    b->Play(0, 0, DSBPLAY_LOOPING);

    ASSERT_EQ(corvane::platform::FadeMasterGain(device.ds, false, 0.1), DS_OK);
    const auto fading = device.Pull(800);
    EXPECT_EQ(fading[0], 10000);
    EXPECT_NEAR(fading[800], 5000, 10); // half way: half the level, on both sides
    EXPECT_EQ(fading[801], fading[800]);
    EXPECT_EQ(device.Pull(400), platform_test::Samples(800, 0));
    EXPECT_EQ(corvane::platform::MasterFadePosition(device.ds), 0.0);
    EXPECT_EQ(platform_test::Position(b), (1200u % 1000u) * 2); // the voice played on under the silence
    LONG volume = 1;
    b->GetVolume(&volume);
    EXPECT_EQ(volume, 0);

    ASSERT_EQ(corvane::platform::FadeMasterGain(device.ds, true, 0.1), DS_OK);
    device.Pull(800);
    EXPECT_EQ(device.Pull(100), platform_test::Samples(200, 10000));
}
