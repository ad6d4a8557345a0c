// The panel after start-up, the slider and list mapping driven through the real widgets, the
// start without a sound device, and a repeated set-up.
#include "PanelFixture.h"
#include "controls/CReadoutEdit.h"

#include <functional>
#include <map>

TEST_F(PanelTest, StartUpState)
{
    // (No message at start-up and the classic filter: checked after the repeated set-up below;
    // its cutoff of 1000 Hz: through the spectrum pane.)
    EXPECT_TRUE(Playing() && Looping());
    for (int id : {1034, 1033, 1026, 1029, 1027, 1043, 1045})
        EXPECT_EQ(std::tuple(List(id)->count(), List(id)->currentIndex()), std::tuple(4, 0)) << id;
    for (int id : {1031, 1035, 1007, 1028, 1008, 1042, 1044})
        EXPECT_EQ(std::tuple(Knob(id)->value(), view->GetModulationDepth(Knob(id))), std::tuple(60, 0.0f)) << id;
    // Slider, its start position, its display and what that shows.
    for (auto [slider, position, display, text] :
         {std::tuple{1004, 100, 1005, "0.00"}, {1002, 10, 1003, "1000.00"}, {1025, 10, 1023, "1.000"},
          {1038, 10, 1037, "1.000"}, {1041, 10, 1040, "1.000"}, {1011, 1, 1013, "1.00"}, {1032, 100, 1068, "0.00"},
          {1015, 0, 1016, "0"}, {1019, 0, 1020, "1.00"}})
        EXPECT_EQ(std::tuple(Slider(slider)->value(), DisplayText(display)), std::tuple(position, text)) << slider;
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(view->GetLfo(k).GetFrequency(), 1.0f);
    EXPECT_EQ(List(1010)->currentIndex() + List(1014)->currentIndex(), 0); // the first noise, into the filter
    EXPECT_EQ(view->GetInfoText(), "");
    for (int id : {1032, 1033, 1035})
        EXPECT_TRUE(view->GetControl(id)->isEnabled()) << id;

    // The elapsed time shows the clock (in 100 ns units) in whole milliseconds.
    std::int64_t time = 1234567890;
    view->OnEngineTick(&time);
    EXPECT_EQ(Ctl<CReadoutEdit>(1006)->ShownText(), QStringLiteral("123456"));
}

TEST_F(PanelTest, SlidersAndButtonsSetEngineDisplayAndInfo)
{
    // What a user does to a control (a key, a drag to a position, a click), then the engine
    // value, the display and the info text. Drags stand for moving the thumb by mouse.
    enum Action { kKey, kDrag, kClick };
    const std::map<int, std::function<double()>> engine = {
        {1013, [&] { return view->GetNoiseGenerator().GetHold(); }},
        {1003, [&] { return view->GetFilter()->GetFrequency(); }},
        {1005, [&] { return view->GetFilter()->GetQ(); }},
        {1023, [&] { return view->GetLfo(0).GetFrequency(); }},
        {1040, [&] { return view->GetLfo(2).GetFrequency(); }},
        {1016, [&] { return BufferVolume(); }},
        {1018, [&] { return BufferPan(); }},
        {1020, [&] { return BufferFrequency(); }},
        {1068, [&] { return view->GetNoiseGenerator().GetSmooth(); }},
    };
    const struct { int control; Action action; int arg; double value; int display; const char* shown; } kSteps[] = {
        {1011, kKey, Qt::Key_Home, 100, 1013, "100.00 | Hold\r\n100 "},
        {1011, kDrag, 43, 56, 1013, "56.00 | Hold\r\n56 "},
        {1011, kKey, Qt::Key_End, 1, 1013, "1.00 | Hold\r\n1 "},
        {1032, kDrag, 80, 0.2, 1068, "0.20 | Smooth\r\n0.200 "}, // a fifth of the way up
        {1002, kKey, Qt::Key_Down, 8900, 1003, "8900.00 | Filter Freq\r\n8900.000 "},
        {1002, kKey, Qt::Key_End, 10, 1003, "10.00 | Filter Freq\r\n10.000 "},
        {1004, kKey, Qt::Key_Up, 0.01, 1005, "0.01 | Filter Q\r\n0.010 "},
        {1025, kDrag, 14, 0.98, 1023, "0.980 | LFO 1 - Frequency\r\n0.980 Hz"},
        {1041, kDrag, 100, 50, 1040, "50.000 | LFO 3 - Frequency\r\n50.000 Hz"},
        {1015, kDrag, 1, -99, 1016, "-100 | Volume\r\n-100.000 "},
        {1015, kKey, Qt::Key_End, -10000, 1016, "-10000 | Volume\r\n-10000.000 "},
        {1017, kKey, Qt::Key_Home, -10000, 1018, "-1.000 | Pan\r\n-1.000 "},
        {1024, kClick, 0, 0, 1018, "0.000 | Pan\r\n0.000 "}, // drawn with its plus sign
        {1019, kDrag, 50, 88200, 1020, "2.00 | Pitch\r\n2.000 "},
        {1019, kKey, Qt::Key_Home, 11025, 1020, "0.25 | Pitch\r\n0.250 "},
        {1022, kClick, 0, 44100, 1020, "1.00 | Pitch\r\n1.000 "},
    };
    for (const auto& step : kSteps) {
        SCOPED_TRACE(step.control * 1000 + step.arg);
        if (step.action == kKey)
            QTest::keyClick(Slider(step.control), Qt::Key(step.arg));
        else if (step.action == kDrag)
            Slider(step.control)->setSliderPosition(step.arg);
        else
            QTest::mouseClick(Ctl<QPushButton>(step.control), Qt::LeftButton);
        EXPECT_NEAR(engine.at(step.display)(), step.value, 1e-5 * std::max(1.0, std::abs(step.value)));
        EXPECT_EQ(Shown(step.display), step.shown);
    }
    // The buttons move their sliders back to the middle; LFO 2 kept its frequency.
    EXPECT_EQ(std::tuple(Slider(1017)->value(), Slider(1019)->value()), std::tuple(0, 0));
    EXPECT_EQ(view->GetLfo(1).GetFrequency(), 1.0f);
    // Diagnostic lines for Hold, Q and Volume.
    for (const char* line : {"Hold: 0.570 56\r\n", "Filter Q: 0.010 \r\n", "Slider: -1 | fAmount: -0.010\r\n"})
        EXPECT_NE(std::find(debugLines.begin(), debugLines.end(), line), debugLines.end()) << line;
}

TEST_F(PanelTest, ListsSwitchEngineAndIgnoreTyping)
{
    Slider(1002)->setSliderPosition(40);
    EXPECT_EQ(view->GetClassicFilter().GetFrequency(), 6000.0f);
    List(1009)->setCurrentIndex(1); // "SV LowPass"
    EXPECT_EQ(view->GetFilter(), static_cast<const CNoiseFilter*>(&view->GetSvFilter()));
    // Its own cutoff, not the classic one's; the slider then moves only the chosen filter.
    EXPECT_EQ(std::tuple(view->GetSvFilter().GetFrequency(), view->GetSvFilter().GetType()), std::tuple(1000.0f, 0));
    Slider(1002)->setSliderPosition(50);
    EXPECT_EQ(std::tuple(view->GetSvFilter().GetFrequency(), view->GetClassicFilter().GetFrequency()),
              std::tuple(5000.0f, 6000.0f));
    List(1009)->setCurrentIndex(4);
    EXPECT_EQ(view->GetSvFilter().GetType(), 3);
    List(1009)->setCurrentIndex(0);
    EXPECT_EQ(view->GetFilter(), static_cast<const CNoiseFilter*>(&view->GetClassicFilter()));

    List(1010)->setCurrentIndex(2);
    List(1014)->setCurrentIndex(1);
    List(1036)->setCurrentIndex(4);
    EXPECT_EQ(std::tuple(view->GetNoiseGenerator().GetType(), view->GetInput(), int(view->GetLfo(1).GetIndex())),
              std::tuple(2, 1, 4));

    // Typing a list entry's name into the edit field selects nothing.
    const std::string info = view->GetInfoText();
    QComboBox* gen = List(1010);
    gen->lineEdit()->selectAll();
    QTest::keyClicks(gen->lineEdit(), QStringLiteral("Resonance Pink"));
    QTest::keyClick(gen->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(std::tuple(gen->currentIndex(), gen->count()), std::tuple(2, 5)); // nothing added either
    EXPECT_EQ(view->GetInfoText(), info);
}

TEST_F(PanelTest, KnobsReportDepth)
{
    // Knob, Page Down presses (10 steps each; negative: Page Up) and the info shown after.
    for (auto [knob, pages, info] : {std::tuple{1008, 24, "Modulation - Volume\r\n1.000 "},
                                     {1008, -30, "Modulation - Volume\r\n-0.250 "},
                                     {1031, 1, "Modulation - Noise S&H\r\n0.042 "},
                                     {1035, 2, "Modulation - Noise Smooth\r\n0.083 "},
                                     {1044, 1, "Modulation - Pitch\r\n0.042 "}}) {
        TurnKnob(knob, pages);
        EXPECT_EQ(view->GetInfoText(), info) << knob;
    }
    EXPECT_EQ(Knob(1008)->value(), 0);
}

TEST_F(PanelWithoutDevice, MessageAndSilentControls)
{
    // One message, the sound output's own (its text: the sound output test).
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("Corvane|No sound output")) << messages[0];
    EXPECT_EQ(view->GetStream(), nullptr);
    // The controls were all set up before the message.
    EXPECT_EQ(std::tuple(List(1027)->count(), Knob(1044)->value()), std::tuple(4, 60));

    Slider(1015)->setSliderPosition(30);
    EXPECT_EQ(Shown(1016), "0 | ");
    QTest::mouseClick(Ctl<QPushButton>(1024), Qt::LeftButton);
    QTest::mouseClick(Ctl<QPushButton>(1022), Qt::LeftButton);
    Slider(1019)->setSliderPosition(50);
    EXPECT_EQ(Shown(1020), "1.00 | ");
    view->OnSoundLoop();
    view->OnSoundOneShot();
    QTest::mouseClick(Ctl<QCheckBox>(1021), Qt::LeftButton);
    EXPECT_EQ(view->GetMute(), 1);

    // What needs no stream still works.
    Slider(1011)->setSliderPosition(43);
    EXPECT_EQ(std::tuple(view->GetNoiseGenerator().GetHold(), view->GetInfoText()), std::tuple(56, "Hold\r\n56 "));
    List(1012)->setCurrentIndex(2); // no table list: ignored
    TurnKnob(1007, 2);
    EXPECT_EQ(view->GetInfoText(), "Modulation - FilterFrequency\r\n0.083 ");

    // Ticks render nothing and the LFOs stand still.
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(std::tuple(view->GetLfo(0).GetPhase(), Ctl<CReadoutEdit>(1006)->ShownText()), std::tuple(0.0f, QStringLiteral("60")));

    // File > New with a sound card available again starts the sound after all.
    corvane::platform::SetDirectSoundFactory({});
    view->OnInitialUpdate();
    EXPECT_EQ(messages.size(), 1u);
    ASSERT_NE(view->GetStream(), nullptr);
    EXPECT_TRUE(Looping());
    Tick();
    EXPECT_GT(view->GetLfo(0).GetPhase(), 0.0f);
}

TEST_F(PanelTest, RepeatedSetUpStartsOver)
{
    CSoundStream* stream = view->GetStream();
    Slider(1015)->setSliderPosition(50);
    List(1009)->setCurrentIndex(2);
    TurnKnob(1008, 3);
    QTest::mouseClick(Ctl<QCheckBox>(1021), Qt::LeftButton); // muted: stopped

    view->OnInitialUpdate();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(view->GetStream(), stream);
    EXPECT_EQ(view->GetFilter(), static_cast<const CNoiseFilter*>(&view->GetClassicFilter()));
    // Unmuted and playing, so that the check box and the sound agree again.
    EXPECT_EQ(std::tuple(Knob(1008)->value(), BufferVolume(), Ctl<QCheckBox>(1021)->isChecked(), view->GetMute()),
              std::tuple(60, LONG(0), false, 0));
    EXPECT_TRUE(Playing() && Looping());
}
