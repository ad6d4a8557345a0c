// The panel's controls under real keys, clicks and wheel turns: every user action reaches the
// handler, keys and pages as the trackbar has them, the wheel only for the focused control,
// Tab through every tab stop, and lists that show all their items.
#include "PanelFixture.h"

#include "controls/CTrackbar.h"
#include "res/DialogTemplate.h"

#include <QClipboard>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTextEdit>
#include <QWheelEvent>

namespace {

// Events delivered as the window system delivers them (propagation and focus rules apply).
void Deliver(QWidget* widget, QEvent& event)
{
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(widget, &event);
}

void TurnWheel(QWidget* widget, int notches)
{
    const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(centre, widget->mapToGlobal(centre), {}, {0, 120 * notches}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    Deliver(widget, wheel);
}

} // namespace

class PanelTrackbar : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        view->resize(400, 250); // smaller than the panel: it can scroll
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    CTrackbar* Trackbar(int id) const { return Ctl<CTrackbar>(id); }
};

TEST_F(PanelTrackbar, EveryUserActionReappliesThePosition)
{
    // End on Q, already at the bottom (100) at start-up: Q becomes 0 (it starts at 0.5).
    EXPECT_EQ(view->GetFilter()->GetQ(), 0.5f);
    QTest::keyClick(Trackbar(1004), Qt::Key_End);
    EXPECT_LT(view->GetFilter()->GetQ(), 1e-6f); // its info text: read from the info box below

    // A click on the Freq thumb at 10, without moving it: 9000 Hz (it starts at 1000).
    CTrackbar* freq = Trackbar(1002);
    QTest::mouseClick(freq, Qt::LeftButton, {}, freq->GetThumbRect().center());
    EXPECT_EQ(std::tuple(freq->value(), view->GetFilter()->GetFrequency()), std::tuple(10, 9000.0f));

    // A drag applies as it goes, and its end applies once more.
    CTrackbar* hold = Trackbar(1011);
    const QPoint from = hold->GetThumbRect().center(), to = from + QPoint(0, 20);
    QTest::mousePress(hold, Qt::LeftButton, {}, from);
    QTest::mouseMove(hold, to);
    EXPECT_LT(view->GetNoiseGenerator().GetHold(), 99); // moved and applied: it starts at 100
    view->ShowInfo("marker", "", "");
    QTest::mouseRelease(hold, Qt::LeftButton, {}, to);
    EXPECT_EQ(view->GetInfoText(), "Hold\r\n" + std::to_string(view->GetNoiseGenerator().GetHold()) + " ");

    // A pan route moves the slider to the nearest position while the LFO drives the pan;
    // switched off, a click on the thumb puts the pan back on that position exactly.
    TurnKnob(1042, 12); // depth 0.5
    List(1043)->setCurrentIndex(1);
    PlayTicks(4);
    List(1043)->setCurrentIndex(0);
    CTrackbar* pan = Trackbar(1017);
    const std::string exact = QString::asprintf("%.3f", pan->value() / 100.0).toStdString();
    ASSERT_NE(DisplayText(1018), exact) << "the route left a position-exact pan: nothing to show";
    QTest::mouseClick(pan, Qt::LeftButton, {}, pan->GetThumbRect().center());
    EXPECT_EQ(Shown(1018), exact + " | Pan\r\n" + exact + " ");
    EXPECT_NEAR(BufferPan(), pan->value() * 100, 1);

    // Positions set by the panel itself never reach the handler.
    view->ShowInfo("marker", "", "");
    Trackbar(1015)->setValue(40);
    view->OnCenter();
    EXPECT_EQ(BufferVolume(), 0);
    EXPECT_EQ(view->GetInfoText(), "Pan\r\n0.000 "); // from OnCenter, not from the slider
}

TEST_F(PanelTrackbar, KeysAndPagesAsTheTrackbar)
{
    // Key and the lines and pages it moves, toward the minimum negative, on every slider;
    // Home and End go to the ends. A page is a fifth of the range.
    const std::map<std::pair<int, int>, int> kPage = {{{0, 100}, 20}, {{-100, 100}, 40}, {{1, 100}, 19}};
    const std::tuple<Qt::Key, int, int> kMoves[] = {{Qt::Key_Up, -1, 0},   {Qt::Key_Left, -1, 0},
                                                    {Qt::Key_Down, 1, 0},  {Qt::Key_Right, 1, 0},
                                                    {Qt::Key_PageUp, 0, -1}, {Qt::Key_PageDown, 0, 1}};
    int sliders = 0;
    for (CTrackbar* slider : view->GetPanelWidget()->findChildren<CTrackbar*>()) {
        if (!slider->isEnabled())
            continue;
        ++sliders;
        const std::string name = slider->objectName().toStdString();
        const int page = kPage.at({slider->minimum(), slider->maximum()});
        const int middle = (slider->minimum() + slider->maximum()) / 2;
        for (auto [key, lines, pages] : kMoves) {
            slider->setValue(middle);
            view->ShowInfo("marker", "", "");
            QTest::keyClick(slider, key);
            EXPECT_EQ(slider->value(), middle + lines + pages * page) << name << " key " << key;
            EXPECT_NE(view->GetInfoText(), "marker\r\n ") << name << " key " << key;
        }
        QTest::keyClick(slider, Qt::Key_Home);
        EXPECT_EQ(slider->value(), slider->minimum()) << name;
        const QRect atMinimum = slider->GetThumbRect();
        QTest::keyClick(slider, Qt::Key_End);
        EXPECT_EQ(slider->value(), slider->maximum()) << name;
        // The minimum is at the top of a vertical slider, at the left of a horizontal one.
        const QPoint travel = slider->GetThumbRect().center() - atMinimum.center();
        EXPECT_GT(slider->orientation() == Qt::Vertical ? travel.y() : travel.x(), 0) << name;
    }
    EXPECT_GE(sliders, 9);
    // Up on an LFO slider lowers the frequency.
    Trackbar(1025)->setValue(10);
    QTest::keyClick(Trackbar(1025), Qt::Key_Up);
    EXPECT_LT(view->GetLfo(0).GetFrequency(), 1.0f);
    // The knobs keep their own page of 10.
    EXPECT_EQ(Knob(1007)->pageStep(), 10);
}

TEST_F(PanelTrackbar, WheelTurnsOnlyTheFocusedControl)
{
    QScrollBar* scroll = view->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    // Over a slider, a knob, a route's list or its edit field: the panel scrolls, nothing changes.
    CTrackbar* volume = Trackbar(1015);
    COrbRotaryKnob* knob = Knob(1008);
    QComboBox* route = List(1027);
    const auto state = [&] { return std::tuple(volume->value(), knob->value(), route->currentIndex()); };
    const auto before = state();
    for (QWidget* control : std::initializer_list<QWidget*>{volume, knob, route, route->lineEdit()}) {
        scroll->setValue(0);
        TurnWheel(control, -1);
        EXPECT_EQ(std::tuple(state(), scroll->value() > 0, control->hasFocus()), std::tuple(before, true, false))
            << control->metaObject()->className();
    }
    EXPECT_EQ(view->GetModulationSource(knob), 0);

    // With the focus, the wheel moves the slider and the handler runs.
    volume->setFocus();
    scroll->setValue(0);
    TurnWheel(volume, -1);
    EXPECT_EQ(volume->value(), 3); // one notch down: three lines, toward the bottom
    EXPECT_LT(BufferVolume(), -200);
    EXPECT_EQ(scroll->value(), 0);
}

TEST_F(PanelTrackbar, TabReachesEveryTabStopAndTheInfoCanBeCopied)
{
    using namespace corvane::res;
    std::vector<QWidget*> expected;
    for (const DialogItem& item : PanelTemplate().items)
        if ((item.style & style::WS_TABSTOP) && !item.disabled)
            expected.push_back(view->GetControl(item.id));
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    expected.front()->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> reached;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && qobject_cast<QComboBox*>(focus->parentWidget()))
            focus = focus->parentWidget(); // the list's edit field
        reached.push_back(focus);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(reached, expected);

    // The info box: read-only, multi-line, its text selected and copied with the keyboard.
    QTest::keyClick(Trackbar(1004), Qt::Key_End);
    auto* info = Ctl<QTextEdit>(1030);
    info->setFocus();
    QTest::keyClick(info, Qt::Key_X);
    EXPECT_EQ(info->toPlainText(), QStringLiteral("Filter Q\n0.000 "));
    QTest::keyClick(info, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(info, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Filter Q\n0.000 "));
}

TEST_F(PanelTrackbar, ListsShowAllTheirItems)
{
    // A list honours its visible-item count when dropped down; the longest, LFO 3's, hid its
    // last item before.
    for (QComboBox* list : view->GetPanelWidget()->findChildren<QComboBox*>())
        EXPECT_GE(list->maxVisibleItems(), list->count()) << list->objectName().toStdString();
    EXPECT_EQ(List(1039)->count(), 5);
}
