// The panel at another zoom, and the spectrum pane's feed from the render cycle.
#include "PanelFixture.h"

#include "controls/CSpectrumView.h"

TEST_F(PanelTest, ZoomLaysTheTemplateOutAgainAndKeepsTheState)
{
    PlayTicks(2);
    TurnKnob(1007, 3);
    Slider(1002)->setSliderPosition(40);
    // Every control's place and font, in template order.
    const auto Layout = [&] {
        std::vector<std::pair<QRect, double>> all;
        for (QWidget* w : view->GetPanelWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            all.emplace_back(w->geometry(), w->font().pointSizeF());
        return all;
    };
    const auto before = Layout();
    EXPECT_EQ(view->GetPanelWidget()->size(), QSize(926, 413));
    EXPECT_EQ(Ctl<CSegmentDisplay>(1003)->geometry(), QRect(392, 78, 60, 20));
    // The MODULATORS heading is painted on its own colour.
    EXPECT_EQ(view->GetPanelWidget()->grab().toImage().pixel(15, 9) & 0xffffff, 0x666699u);
    const float labelPoints = Ctl<CTextLabel>(1056)->GetFont().pointSizeF();

    ASSERT_TRUE(view->SetZoom(200));
    EXPECT_EQ(view->GetPanelWidget()->size(), QSize(1851, 826)); // 617 x 254 dialog units, twice
    EXPECT_EQ(Ctl<CSegmentDisplay>(1003)->geometry(), QRect(783, 156, 120, 39)); // from 261, 48, 40, 12 DLU
    EXPECT_EQ(Ctl<CTextLabel>(1056)->GetFont().pointSizeF(), 2 * labelPoints);
    EXPECT_EQ(view->GetPanelWidget()->font().pointSizeF(), 16.0);
    EXPECT_EQ(Ctl<CTextLabel>(1049)->GetFont().pointSizeF(), 16.0); // a heading: the panel's size, bold
    EXPECT_EQ(Knob(1007)->value(), 90);
    EXPECT_EQ(DisplayText(1003), "6000.00");
    EXPECT_FALSE(view->SetZoom(40)); // refused: nothing changes
    EXPECT_EQ(view->GetZoom(), 200);

    ASSERT_TRUE(view->SetZoom(100));
    EXPECT_EQ(Layout(), before);
}

TEST_F(PanelTest, SpectrumPaneIsFedOnlyWhileShownAtTheHeardLevelAndRate)
{
    CSpectrumView* pane = view->GetSpectrumView();
    PlayTicks(3);
    EXPECT_EQ(pane->Analyser().PendingSamples(), 0u);

    pane->show();
    pane->NextFrame();
    PlayTicks(3);
    EXPECT_EQ(pane->Analyser().PendingSamples(), 3u * 882u);
    EXPECT_EQ(pane->GetCutoff(), 1000.0); // the classic low-pass at its start
    Slider(1019)->setSliderPosition(50);            // pitch x2: the sound and its knee an octave up
    PlayTicks(1);
    EXPECT_EQ(std::tuple(pane->Analyser().SampleRate(), pane->GetCutoff()), std::tuple(88200.0, 2000.0));
    List(1014)->setCurrentIndex(1);        // noise straight to the output: no filter to mark
    PlayTicks(1);
    EXPECT_EQ(pane->GetCutoff(), 0.0);

    // Full volume reads about as loud as the block; -20 dB reads 20 dB lower.
    const auto settle = [&] {
        for (int frame = 0; frame < 150; ++frame) {
            PlayTicks(2);
            pane->NextFrame();
        }
        return pane->Analyser().RmsDb();
    };
    const float full = settle();
    Slider(1015)->setSliderPosition(20);
    EXPECT_NEAR(settle(), full - 20.0f, 0.5f);
    pane->hide();
}
