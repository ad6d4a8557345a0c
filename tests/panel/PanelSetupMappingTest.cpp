// The panel after start-up, the slider and list mapping driven through the real widgets, the
// start without a sound device, and a repeated set-up.
#include "PanelFixture.h"

#include "panel/ParameterMapping.h"

TEST_F(PanelTest, StartUpState)
{
    EXPECT_TRUE(messages.empty());
    ASSERT_NE(view->GetStream(), nullptr);
    EXPECT_TRUE(Playing() && Looping());
    for (int id : {1034, 1033, 1026, 1029, 1027, 1043, 1045}) {
        ASSERT_EQ(List(id)->count(), 4) << id;
        EXPECT_EQ(List(id)->currentText(), QStringLiteral("  - -  ")) << id;
        EXPECT_EQ(List(id)->itemText(3), QStringLiteral("LFO 3"));
    }
    for (int id : {1031, 1035, 1007, 1028, 1008, 1042, 1044}) {
        EXPECT_EQ(Knob(id)->value(), 60) << id;
        EXPECT_EQ(view->GetModulationDepth(Knob(id)), 0.0f);
    }
    // Slider, its start position, its display and what that shows.
    for (auto [slider, position, display, text] :
         {std::tuple{1004, 100, 1005, "0.00"}, {1002, 10, 1003, "1000.00"}, {1025, 10, 1023, "1.000"},
          {1038, 10, 1037, "1.000"}, {1041, 10, 1040, "1.000"}, {1011, 1, 1013, "1.00"}, {1032, 100, 1068, "0.00"}, {1015, 0, 1016, "0"},
          {1019, 0, 1020, "1.00"}}) {
        EXPECT_EQ(Slider(slider)->value(), position) << slider;
        EXPECT_EQ(DisplayText(display), text);
    }
    EXPECT_EQ(view->GetFilter()->GetFrequency(), 1000.0f);
    EXPECT_EQ(view->GetFilter(), static_cast<const CNoiseFilter*>(&view->GetClassicFilter()));
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(view->GetLfo(k).GetFrequency(), 1.0f);
    EXPECT_EQ(List(1010)->currentText(), QStringLiteral("Phased White"));
    EXPECT_EQ(List(1009)->itemText(4), QStringLiteral("SV Notch"));
    EXPECT_EQ(List(1036)->itemText(3), QStringLiteral("Sawtooth up"));
    EXPECT_EQ(List(1014)->currentText(), QStringLiteral("Filter"));
    EXPECT_EQ(Ctl<CTextLabel>(1050)->GetText(), QStringLiteral("\nC O R V A N E\nCV-01"));
    EXPECT_EQ(view->GetInfoText(), "");

    EXPECT_EQ(List(1010)->itemText(4), QStringLiteral("Brown"));
    for (int id : {1032, 1033, 1035})
        EXPECT_TRUE(view->GetControl(id)->isEnabled()) << id;
    const auto litPixels = [&](int id) {
        const QImage image = view->GetControl(id)->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == 0xFFCC33 ? 1 : 0; // the segment colour
        return n;
    };
    EXPECT_GT(litPixels(1068), 0);
    // LFO 3's list drops half as far as LFO 1's.
    EXPECT_EQ(List(1039)->property("dropHeight").toInt() * 2, List(1012)->property("dropHeight").toInt());
    EXPECT_EQ(List(1039)->maxVisibleItems() * 2, List(1012)->maxVisibleItems());

    // The elapsed time shows the clock (in 100 ns units) in whole milliseconds.
    std::int64_t time = 1234567890;
    view->OnEngineTick(&time);
    EXPECT_EQ(Ctl<QLineEdit>(1006)->text(), QStringLiteral("123456"));
}

TEST_F(PanelTest, HoldFilterAndLfoSliders)
{
    QSlider* hold = Slider(1011);
    QTest::keyClick(hold, Qt::Key_Home); // top
    EXPECT_EQ(view->GetNoiseGenerator().GetHold(), 100);
    EXPECT_EQ(Shown(1013), "100.00 | Hold\r\n100 ");
    hold->setValue(43);
    EXPECT_EQ(view->GetNoiseGenerator().GetHold(), 56);
    EXPECT_EQ(debugLines.back(), "Hold: 0.570 56\r\n");
    QTest::keyClick(hold, Qt::Key_End); // bottom
    EXPECT_EQ(view->GetNoiseGenerator().GetHold(), 1);
    EXPECT_EQ(hold->value(), 100); // the user's position stays

    Slider(1032)->setValue(80); // a fifth of the way up
    EXPECT_FLOAT_EQ(view->GetNoiseGenerator().GetSmooth(), 0.2f);
    EXPECT_EQ(Shown(1068), "0.20 | Smooth\r\n0.200 ");

    QSlider* freq = Slider(1002);
    freq->setValue(11);
    freq->setValue(10);
    EXPECT_EQ(view->GetFilter()->GetFrequency(), 9000.0f);
    EXPECT_EQ(Shown(1003), "9000.00 | Filter Freq\r\n9000.000 ");
    QTest::keyClick(freq, Qt::Key_End);
    EXPECT_EQ(view->GetFilter()->GetFrequency(), 10.0f);

    QSlider* q = Slider(1004);
    QTest::keyClick(q, Qt::Key_Up); // one step toward the top: 99
    EXPECT_EQ(view->GetFilter()->GetQ(), corvane::panel::UnitFromTopSlider(99));
    EXPECT_EQ(DisplayText(1005), "0.01");
    EXPECT_EQ(debugLines.back(), "Filter Q: 0.010 \r\n");

    QSlider* lfo1 = Slider(1025);
    lfo1->setValue(14);
    EXPECT_EQ(Shown(1023), "0.980 | LFO 1 - Frequency\r\n0.980 Hz");
    EXPECT_FLOAT_EQ(view->GetLfo(0).GetFrequency(), 0.98f);
    Slider(1041)->setValue(100);
    EXPECT_EQ(view->GetInfoText(), "LFO 3 - Frequency\r\n50.000 Hz");
    EXPECT_FLOAT_EQ(view->GetLfo(1).GetFrequency(), 1.0f); // the other LFOs keep theirs
}

TEST_F(PanelTest, ChannelSlidersAndButtons)
{
    Slider(1015)->setValue(1);
    EXPECT_EQ(BufferVolume(), -99);
    EXPECT_EQ(Shown(1016), "-100 | Volume\r\n-100.000 ");
    EXPECT_EQ(debugLines.back(), "Slider: -1 | fAmount: -0.010\r\n");
    QTest::keyClick(Slider(1015), Qt::Key_End);
    EXPECT_EQ(BufferVolume(), -10000);

    QTest::keyClick(Slider(1017), Qt::Key_Home); // top = left
    EXPECT_EQ(DisplayText(1018), "-1.000");
    EXPECT_EQ(BufferPan(), -10000);
    QTest::mouseClick(Ctl<QPushButton>(1024), Qt::LeftButton);
    EXPECT_EQ(DisplayText(1018), "0.000"); // drawn with the plus sign: "+0.000"
    EXPECT_EQ(Slider(1017)->value(), 0);
    EXPECT_EQ(BufferPan(), 0);
    EXPECT_EQ(view->GetInfoText(), "Pan\r\n0.000 ");

    Slider(1019)->setValue(50);
    EXPECT_EQ(DisplayText(1020), "2.00");
    EXPECT_EQ(BufferFrequency(), 88200u);
    QTest::keyClick(Slider(1019), Qt::Key_Home);
    EXPECT_EQ(DisplayText(1020), "0.25");
    EXPECT_EQ(BufferFrequency(), 11025u);
    QTest::mouseClick(Ctl<QPushButton>(1022), Qt::LeftButton);
    EXPECT_EQ(DisplayText(1020), "1.00");
    EXPECT_EQ(Slider(1019)->value(), 0);
    EXPECT_EQ(BufferFrequency(), 44100u);
    EXPECT_EQ(view->GetInfoText(), "Pitch\r\n1.000 ");
}

TEST_F(PanelTest, ListsSwitchEngineAndIgnoreTyping)
{
    Slider(1002)->setValue(40);
    EXPECT_EQ(view->GetClassicFilter().GetFrequency(), 6000.0f);
    List(1009)->setCurrentIndex(1); // "SV LowPass"
    EXPECT_EQ(view->GetFilter(), static_cast<const CNoiseFilter*>(&view->GetSvFilter()));
    EXPECT_EQ(view->GetSvFilter().GetFrequency(), 1000.0f); // its own cutoff
    EXPECT_EQ(view->GetSvFilter().GetType(), 0);
    Slider(1002)->setValue(50);
    EXPECT_EQ(view->GetSvFilter().GetFrequency(), 5000.0f);
    EXPECT_EQ(view->GetClassicFilter().GetFrequency(), 6000.0f);
    List(1009)->setCurrentIndex(4);
    EXPECT_EQ(view->GetSvFilter().GetType(), 3);
    List(1009)->setCurrentIndex(0);
    EXPECT_EQ(view->GetFilter(), static_cast<const CNoiseFilter*>(&view->GetClassicFilter()));

    List(1010)->setCurrentIndex(2);
    EXPECT_EQ(view->GetNoiseGenerator().GetType(), 2);
    List(1014)->setCurrentIndex(1);
    EXPECT_EQ(view->GetInput(), 1);
    List(1036)->setCurrentIndex(4);
    EXPECT_EQ(view->GetLfo(1).GetIndex(), 4u);

    // Typing a list entry's name into the edit field selects nothing.
    const std::string info = view->GetInfoText();
    QComboBox* gen = List(1010);
    gen->lineEdit()->selectAll();
    QTest::keyClicks(gen->lineEdit(), QStringLiteral("Resonance Pink"));
    QTest::keyClick(gen->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(gen->currentIndex(), 2);
    EXPECT_EQ(view->GetNoiseGenerator().GetType(), 2);
    EXPECT_EQ(gen->count(), 5);
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
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Corvane|Missing DirectX Version 8 or higher\r\nNo sound output possible");
    EXPECT_EQ(view->GetStream(), nullptr);
    // The controls were all set up before the message.
    EXPECT_EQ(List(1027)->count(), 4);
    EXPECT_EQ(Knob(1044)->value(), 60);

    Slider(1015)->setValue(30);
    EXPECT_EQ(Shown(1016), "0 | ");
    QTest::mouseClick(Ctl<QPushButton>(1024), Qt::LeftButton);
    QTest::mouseClick(Ctl<QPushButton>(1022), Qt::LeftButton);
    Slider(1019)->setValue(50);
    EXPECT_EQ(Shown(1020), "1.00 | ");
    view->OnSoundLoop();
    view->OnSoundOneShot();
    QTest::mouseClick(Ctl<QCheckBox>(1021), Qt::LeftButton);
    EXPECT_EQ(view->GetMute(), 1);

    // What needs no stream still works.
    Slider(1011)->setValue(43);
    EXPECT_EQ(view->GetNoiseGenerator().GetHold(), 56);
    EXPECT_EQ(view->GetInfoText(), "Hold\r\n56 ");
    List(1012)->setCurrentIndex(2); // no table list: ignored
    TurnKnob(1007, 2);
    EXPECT_EQ(view->GetInfoText(), "Modulation - FilterFrequency\r\n0.083 ");

    // Ticks render nothing and the LFOs stand still.
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(view->GetLfo(0).GetPhase(), 0.0f);
    EXPECT_EQ(Ctl<QLineEdit>(1006)->text(), QStringLiteral("60"));

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
    Slider(1015)->setValue(50);
    List(1009)->setCurrentIndex(2);
    TurnKnob(1008, 3);
    QTest::mouseClick(Ctl<QCheckBox>(1021), Qt::LeftButton);
    EXPECT_FALSE(Playing());

    view->OnInitialUpdate();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(view->GetStream(), stream);
    EXPECT_EQ(List(1012)->count(), 5);
    EXPECT_EQ(Knob(1008)->value(), 60);
    EXPECT_EQ(view->GetFilter(), static_cast<const CNoiseFilter*>(&view->GetClassicFilter()));
    EXPECT_EQ(BufferVolume(), 0);
    // Unmuted and playing, so that the check box and the sound agree again.
    EXPECT_FALSE(Ctl<QCheckBox>(1021)->isChecked());
    EXPECT_EQ(view->GetMute(), 0);
    EXPECT_TRUE(Playing() && Looping());
}
