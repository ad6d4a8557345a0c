// The render cycle on the manual back-end: routes, re-offer of refused blocks, mute and play
// modes, and the golden comparison with the engine classes.
#include "PanelFixture.h"

#include "engine/CClassicLowPass.h"
#include "engine/CNoiseGenerator.h"

#include <cmath>

// The expected blocks come from the engine classes themselves, so this checks the panel's
// wiring (order, block size, conversion), not the engine's numbers.
TEST_F(PanelTest, FirstBlocksWireTheEngineAsDesigned)
{
    PlayTicks(6);
    CNoiseGenerator noise;
    CClassicLowPass filter;
    std::vector<float> block(882);
    for (int b = 0; b < 6; ++b) {
        noise.Generate(block.data(), 882);
        filter.Process(block.data(), 882);
        // The conversion written out independently: scale, clamp, truncate toward zero.
        std::vector<std::int16_t> expected;
        for (float x : block)
            expected.push_back(std::int16_t(std::isnan(x) ? 0 : std::clamp(x * 32000.0, -32000.0, 32000.0)));
        EXPECT_EQ(Segment(b), expected) << "block " << b;
        EXPECT_TRUE(b == 0 || std::count(expected.begin(), expected.end(), 0) < 82) << "silence in block " << b;
    }
}

TEST_F(PanelTest, RefusedBlockIsReofferedUnchanged)
{
    Tick(); // taken into segment 0
    EXPECT_TRUE(view->IsStreamAccepted());
    Tick(); // a new block, refused (checked below): the cursor is still in segment 0
    const std::vector<std::int16_t> refused(view->GetPcmBlock(), view->GetPcmBlock() + 882);
    const std::uint32_t counter = view->GetNoiseGenerator().GetCounter();
    for (int i = 0; i < 3; ++i) { // not rendered again, but the LFO runs on (882 samples at 1 Hz)
        const float phase = view->GetLfo(0).GetPhase();
        Tick();
        EXPECT_FALSE(view->IsStreamAccepted());
        EXPECT_EQ(view->GetNoiseGenerator().GetCounter(), counter);
        EXPECT_TRUE(std::equal(refused.begin(), refused.end(), view->GetPcmBlock()));
        EXPECT_NEAR(view->GetLfo(0).GetPhase() - phase, 81.92f, 0.01f);
    }
    // Too early: the interval gate keeps everything still.
    const float phase = view->GetLfo(0).GetPhase();
    std::int64_t early = static_cast<std::int64_t>(timeMs + 14) * 10000;
    view->RenderBlock(&early);
    EXPECT_EQ(view->GetLfo(0).GetPhase(), phase);

    PullSegment();
    Tick(); // the refused block lands in segment 1, unchanged
    EXPECT_TRUE(view->IsStreamAccepted());
    EXPECT_EQ(Segment(1), refused);
    EXPECT_EQ(view->GetNoiseGenerator().GetCounter(), counter);
    Tick(); // only now the next block is rendered
    EXPECT_EQ(view->GetNoiseGenerator().GetCounter(), counter + 882);
}

TEST_F(PanelTest, HoldAndSmoothRoutesFollowLfo)
{
    // LFO 1 triangle at 0.125 Hz, depth 0.5: the hold rises from 1 through 25 at the quarter
    // period, and the slider, display and info follow it.
    List(1012)->setCurrentIndex(1);
    Slider(1025)->setSliderPosition(5);
    TurnKnob(1031, 12); // depth 0.5, which the hold of 25 at the quarter period needs
    List(1034)->setCurrentIndex(1);
    int previous = 0;
    bool sawQuarter = false;
    for (int i = 0; i < 60; ++i) {
        PlayTicks(1);
        const int hold = view->GetNoiseGenerator().GetHold();
        ASSERT_TRUE(hold >= std::max(previous, 1) && hold <= 50) << i << ": " << hold; // rising, at least 1
        EXPECT_EQ(Slider(1011)->value(), 100 - hold) << i;
        EXPECT_EQ(view->GetNoiseGenerator().GetHoldModulationDepth(), 0.5f);
        previous = hold;
        if (hold == 25 && !std::exchange(sawQuarter, true)) {
            EXPECT_EQ(Shown(1013), "25.00 | Hold\r\n25 ");
        }
    }
    EXPECT_TRUE(sawQuarter);
    // Source back to none: the hold keeps its last value.
    List(1034)->setCurrentIndex(0);
    PlayTicks(3);
    EXPECT_EQ(view->GetNoiseGenerator().GetHold(), previous);

    // The smoothing route at depth 1 keeps the amount within 0..1, the slider following it.
    TurnKnob(1035, 24);
    List(1033)->setCurrentIndex(1);
    for (int i = 0; i < 40; ++i) {
        PlayTicks(1);
        const float amount = view->GetNoiseGenerator().GetSmooth();
        ASSERT_TRUE(amount >= 0.0f && amount <= 1.0f) << i;
        EXPECT_NEAR(Slider(1032)->value(), 100.0f - amount * 100.0f, 1.0f);
    }
}

TEST_F(PanelTest, VolumeRoutePinsAndSnapsBack)
{
    Slider(1015)->setSliderPosition(50); // -5000
    List(1027)->setCurrentIndex(1); // knob at 60: depth 0
    PlayTicks(1);
    EXPECT_EQ(std::tuple(BufferVolume(), Slider(1015)->value()), std::tuple(LONG(0), 0));
    Slider(1015)->setSliderPosition(70); // the user tries (-0.7 is stored a little above: -6999)
    EXPECT_EQ(BufferVolume(), -6999);
    const std::size_t sliderLines = debugLines.size();
    PlayTicks(1);
    // The route moved the slider without running the slider's handler (no volume debug line).
    EXPECT_EQ(debugLines.size(), sliderLines);
    EXPECT_EQ(std::tuple(BufferVolume(), Slider(1015)->value()), std::tuple(LONG(0), 0));
    EXPECT_EQ(view->GetInfoText(), "Volume\r\n0.000 ");

    // Full depth follows the 1 Hz sine over most of a period: its positive half is held at
    // full level, its trough goes nearly to silence.
    TurnKnob(1008, 24);
    LONG lowest = 0, highest = -10000;
    for (int i = 0; i < 40; ++i) {
        PlayTicks(1);
        const LONG volume = BufferVolume();
        EXPECT_NEAR(Slider(1015)->value(), volume / -100, 1) << i;
        lowest = std::min(lowest, volume);
        highest = std::max(highest, volume);
    }
    EXPECT_EQ(highest, 0);
    EXPECT_TRUE(lowest < -9000 && lowest >= -10000) << lowest;
}

TEST_F(PanelTest, FilterRoutesAndInput)
{
    List(1026)->setCurrentIndex(1); // FM from LFO 1 at depth 0
    PlayTicks(1);
    EXPECT_EQ(std::tuple(view->GetFilter()->GetFrequency(), DisplayText(1003), Slider(1002)->value()),
              std::tuple(10.0f, "10.00", 100));
    EXPECT_NE(view->GetClassicFilter().GetFrequencyModulation(), nullptr);
    List(1029)->setCurrentIndex(2); // QM from LFO 2 at depth 0: Q 0
    PlayTicks(1);
    EXPECT_EQ(std::tuple(view->GetFilter()->GetQ(), Slider(1004)->value()), std::tuple(0.0f, 100));
    EXPECT_EQ(view->GetClassicFilter().GetQModulation(), view->GetLfoBlock(1));

    // With the noise going straight out, FM and QM chosen then at full depth change nothing.
    List(1026)->setCurrentIndex(0);
    List(1029)->setCurrentIndex(0);
    PlayTicks(1);
    Slider(1002)->setSliderPosition(50);
    Slider(1004)->setSliderPosition(50);
    List(1014)->setCurrentIndex(1);
    List(1026)->setCurrentIndex(1);
    List(1029)->setCurrentIndex(1);
    TurnKnob(1007, 24);
    TurnKnob(1028, 24);
    PlayTicks(3);
    EXPECT_EQ(std::tuple(view->GetFilter()->GetFrequency(), DisplayText(1003)), std::tuple(5000.0f, "5000.00"));
    EXPECT_FLOAT_EQ(view->GetFilter()->GetQ(), 0.5f);
    EXPECT_EQ(view->GetClassicFilter().GetFrequencyModulation(), nullptr);
}

TEST_F(PanelTest, PanAndPitchRoutes)
{
    List(1012)->setCurrentIndex(2); // LFO 1 pulse: +0.97, then -0.97
    TurnKnob(1044, 24);             // pitch FM depth 1
    List(1045)->setCurrentIndex(1);
    TurnKnob(1042, 12);             // pan depth 0.5
    List(1043)->setCurrentIndex(1);
    // The pulse's +0.97 doubles the rate almost twice (clamped at 100000 Hz) and pans right
    // by half of 0.97; its -0.97 slows it to about a quarter (11493 Hz) and pans left.
    bool sawHigh = false, sawLow = false;
    for (int i = 0; i < 60; ++i) {
        // The rate follows the route, so not every pull frees a segment: only ticks that
        // rendered a new block applied the routes.
        const std::uint32_t before = view->GetNoiseGenerator().GetCounter();
        PlayTicks(1);
        if (view->GetNoiseGenerator().GetCounter() == before)
            continue;
        const bool high = view->GetLfoBlock(0)[0] > 0.0f;
        EXPECT_NEAR(BufferFrequency(), high ? 100000.0 : 11493.0, high ? 0.0 : 2.0) << i;
        EXPECT_NEAR(BufferPan(), high ? 4850 : -4850, 1) << i;
        (high ? sawHigh : sawLow) = true;
    }
    EXPECT_TRUE(sawHigh && sawLow);
    // The setter the route uses, at its top (the bottom, 0.25 and 11025 Hz, is the pitch
    // slider's Home in the set-up mapping test).
    view->ApplyPitch(1.0f, 3);
    EXPECT_EQ(DisplayText(1020) + " " + std::to_string(BufferFrequency()) + " " + std::to_string(Slider(1019)->value()),
              "4.00 100000 100");
    // Center works, but the route overrides it at the next render.
    QTest::mouseClick(Ctl<QPushButton>(1024), Qt::LeftButton);
    EXPECT_EQ(BufferPan(), 0);
    PlayTicks(1);
    EXPECT_NE(BufferPan(), 0);
}

TEST_F(PanelTest, MuteAndPlayModes)
{
    PlayTicks(2);
    QCheckBox* mute = Ctl<QCheckBox>(1021);
    // Mute stops the stream and unmute plays it on, the render cycle running throughout. (What a
    // stopped stream takes and refuses, and a one-shot's end: the sound output tests.)
    QTest::mouseClick(mute, Qt::LeftButton);
    EXPECT_EQ(std::tuple(view->GetMute(), Playing()), std::tuple(1, false));
    Tick();
    Tick();
    QTest::mouseClick(mute, Qt::LeftButton);
    EXPECT_EQ(std::tuple(view->GetMute(), Playing()), std::tuple(0, true));
    PullSegment();
    Tick();
    EXPECT_TRUE(view->IsStreamAccepted());

    // OneShot plays the buffer out once; Loop starts it going round again.
    view->OnSoundOneShot();
    EXPECT_TRUE(Playing() && !Looping());
    PlayTicks(9); // past the end of the 8 segments
    view->OnSoundLoop();
    EXPECT_TRUE(Playing() && Looping());
}
