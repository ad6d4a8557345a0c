// Rotary knob widget: marker pixels, pointer and keyboard input, posted notifications, region.
#include "controls/COrbRotaryKnob.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using Notes = std::vector<std::pair<int, int>>; // (code, position)
constexpr int kTrack = COrbRotaryKnob::SB_THUMBTRACK;
constexpr int kPosition = COrbRotaryKnob::SB_THUMBPOSITION;
constexpr int kEnd = COrbRotaryKnob::SB_ENDSCROLL;

// The panel's knob: 30 x 30 dialog units (45 x 49 px), range 0..359, zero angle 180.
struct KnobFixture : ::testing::Test {
    QWidget parent;
    COrbRotaryKnob* knob = new COrbRotaryKnob(&parent);
    std::unique_ptr<QSignalSpy> spy;

    void SetUp() override
    {
        parent.resize(100, 100);
        knob->setGeometry(0, 0, 45, 49);
        knob->setRange(0, 359);
        knob->setValue(60);
        knob->SetZeroAngle(180);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
        spy = std::make_unique<QSignalSpy>(knob, &COrbRotaryKnob::hScroll);
    }
    // Notifications are posted: they arrive once the event loop runs.
    Notes Delivered()
    {
        QCoreApplication::processEvents();
        Notes notes;
        for (const QList<QVariant>& args : *spy)
            notes.emplace_back(args.at(0).toInt(), args.at(1).toInt());
        spy->clear();
        return notes;
    }
};

} // namespace

TEST_F(KnobFixture, MarkerSitsAtTheAngleOfThePositionOnATopLitRing)
{
    // Centre (22,22), outer ring radius 14, marker 10 px out: lower left, top, lower right. The
    // marker: white in the middle, light blue below right, an orange rim without corners.
    const QColor white(Qt::white), light(255, 204, 102), rim(255, 128, 0);
    for (const auto& [pos, m] : {std::pair(60, QPoint(13, 27)), std::pair(180, QPoint(22, 12)), std::pair(300, QPoint(30, 27))}) {
        SCOPED_TRACE(pos);
        knob->setValue(pos);
        const QImage img = knob->grab().toImage();
        for (const auto& [at, colour] : {std::pair(QPoint(0, 0), white), {QPoint(0, -1), white}, {QPoint(1, 1), light},
                                         {QPoint(0, -2), rim}, {QPoint(-2, 1), rim}, {QPoint(1, 2), rim}})
            EXPECT_EQ(img.pixelColor(m + at), colour) << at.x() << "," << at.y();
        EXPECT_NE(img.pixelColor(m + QPoint(2, 2)), rim);
        EXPECT_EQ(img.pixelColor(22, 22), knob->palette().color(QPalette::Window));
        EXPECT_GT(img.pixelColor(8, 22).lightness(), img.pixelColor(36, 22).lightness());
    }
    EXPECT_TRUE(Delivered().empty()); // setting the position from code reports nothing
}

TEST_F(KnobFixture, PressesDragsAndClicksClampToTheDeadSectorLimits)
{
    knob->setValue(180);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(22, 35)); // straight below
    // Applied at once, with the focus; the report is posted, not sent.
    EXPECT_EQ(std::tuple(knob->value(), spy->isEmpty(), knob->hasFocus()), std::tuple(60, true, true));
    EXPECT_EQ(Delivered(), (Notes{{kTrack, 60}}));
    QTest::mouseMove(knob, QPoint(23, 35)); // slightly right of the bottom
    EXPECT_EQ(knob->value(), 300);
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(23, 35));
    EXPECT_EQ(Delivered(), (Notes{{kTrack, 300}, {kTrack, 300}, {kPosition, 300}}));

    // Dragging inside the dead sector at 60 keeps reporting 60.
    knob->setValue(60);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(20, 35));
    QTest::mouseMove(knob, QPoint(21, 36));
    QTest::mouseMove(knob, QPoint(19, 38));
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(21, 40));
    EXPECT_EQ(Delivered(), (Notes{{kTrack, 60}, {kTrack, 60}, {kTrack, 60}, {kTrack, 60}, {kPosition, 60}}));

    // A click reports only when it changed the position.
    knob->setValue(180);
    const QPoint right(35, 22); // 90 degrees from the top, zero angle 180: position 270
    QTest::mouseClick(knob, Qt::LeftButton, Qt::NoModifier, right);
    EXPECT_EQ(knob->value(), 270);
    EXPECT_EQ(Delivered(), (Notes{{kTrack, 270}, {kPosition, 270}}));
    QTest::mouseClick(knob, Qt::LeftButton, Qt::NoModifier, right);
    QTest::mouseClick(knob, Qt::RightButton, Qt::NoModifier, QPoint(10, 22));
    EXPECT_EQ(std::tuple(knob->value(), Delivered()), std::tuple(270, Notes{}));
}

TEST_F(KnobFixture, KeysStepAndWrapThenEndTheScroll)
{
    using K = COrbRotaryKnob;
    const struct { int from; Qt::Key key; int to; Notes notes; } steps[] = {
        {0, Qt::Key_Left, 359, {{K::SB_LINEUP, 359}, {kEnd, 359}}},
        {355, Qt::Key_PageDown, 5, {{K::SB_PAGEDOWN, 5}, {kEnd, 5}}},
        {5, Qt::Key_Down, 6, {{K::SB_LINEDOWN, 6}, {kEnd, 6}}},
        {6, Qt::Key_PageUp, 356, {{K::SB_PAGEUP, 356}, {kEnd, 356}}},
        {356, Qt::Key_Home, 356, {}}, {356, Qt::Key_End, 356, {}}, {356, Qt::Key_A, 356, {}}};
    for (const auto& step : steps) {
        knob->setValue(step.from);
        QTest::keyPress(knob, step.key);
        EXPECT_EQ(knob->value(), step.to) << step.key; // on the press, before the release
        QTest::keyRelease(knob, step.key);
        EXPECT_EQ(Delivered(), step.notes) << step.key;
    }

    // Auto-repeat: one release at the end, not one per repeat.
    QTest::keyPress(knob, Qt::Key_Right);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(knob, &repeatRelease);
    QTest::keyRelease(knob, Qt::Key_Right);
    EXPECT_EQ(Delivered(), (Notes{{COrbRotaryKnob::SB_LINEDOWN, 357}, {kEnd, 357}}));
}

TEST_F(KnobFixture, ResizeRebuildsTheCircleAndResetsThePosition)
{
    EXPECT_EQ(knob->mask(), QRegion(0, 0, 45, 45, QRegion::Ellipse));
    knob->setValue(100);
    knob->resize(80, 60);
    EXPECT_EQ(knob->mask(), QRegion(0, 0, 60, 60, QRegion::Ellipse));
    EXPECT_EQ(std::tuple(knob->value(), knob->GetCenter(), knob->GetRadius(), Delivered()),
              std::tuple(0, QPoint(30, 30), 22, Notes{}));

    // A knob sized and set before it is shown keeps the position its owner gave it; a
    // knob without a parent steps without telling anyone.
    QWidget other;
    auto* hidden = new COrbRotaryKnob(&other);
    hidden->setGeometry(0, 0, 45, 49);
    hidden->setValue(60);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    EXPECT_EQ(hidden->value(), 60);
    COrbRotaryKnob orphan;
    EXPECT_EQ(std::pair(orphan.minimum(), orphan.maximum()), std::pair(0, 359));
    orphan.setValue(42);
    EXPECT_EQ(orphan.GetFormattedPos(), QStringLiteral("42\u00B0"));
    QTest::keyClick(&orphan, Qt::Key_Right);
    EXPECT_EQ(orphan.value(), 43);
}
