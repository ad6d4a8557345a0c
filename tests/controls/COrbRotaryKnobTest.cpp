// Rotary knob widget: marker pixels, pointer and keyboard input, posted notifications, region.
#include "controls/COrbRotaryKnob.h"
#include "controls/ColorRef.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using Note = std::pair<int, int>; // (code, position)

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

    std::vector<Note> Delivered()
    {
        QCoreApplication::processEvents();
        std::vector<Note> notes;
        for (const QList<QVariant>& args : *spy)
            notes.emplace_back(args.at(0).toInt(), args.at(1).toInt());
        spy->clear();
        return notes;
    }

    void Move(QPoint p)
    {
        QMouseEvent ev(QEvent::MouseMove, p, knob->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(knob, &ev);
    }
};

constexpr int kTrack = COrbRotaryKnob::SB_THUMBTRACK;
constexpr int kPosition = COrbRotaryKnob::SB_THUMBPOSITION;

QColor Rgb(COLORREF cr) { return corvane::controls::ToQColor(cr); }

} // namespace

TEST_F(KnobFixture, MarkerSitsAtTheAngleOfThePosition)
{
    struct Case {
        int pos;
        QPoint centre;
    };
    // Centre (22,22), outer ring radius 14, marker 10 px out: lower left, top, lower right.
    for (const Case& c : {Case{60, {13, 27}}, Case{180, {22, 12}}, Case{300, {30, 27}}}) {
        knob->setValue(c.pos);
        const QImage img = knob->grab().toImage();
        const QPoint m = c.centre;
        EXPECT_EQ(img.pixelColor(m), QColor(Qt::white)) << c.pos;
        EXPECT_EQ(img.pixelColor(m + QPoint(0, -1)), QColor(Qt::white)) << c.pos;
        EXPECT_EQ(img.pixelColor(m + QPoint(1, 1)), Rgb(0x66CCFF)) << c.pos;
        EXPECT_EQ(img.pixelColor(m + QPoint(0, -2)), Rgb(0x0080FF)) << c.pos;
        EXPECT_EQ(img.pixelColor(m + QPoint(-2, 1)), Rgb(0x0080FF)) << c.pos;
        EXPECT_EQ(img.pixelColor(m + QPoint(1, 2)), Rgb(0x0080FF)) << c.pos;
        EXPECT_EQ(img.pixelColor(22, 22), knob->palette().color(QPalette::Window)) << c.pos;
    }
    EXPECT_TRUE(Delivered().empty()); // setting the position from code reports nothing
}

TEST_F(KnobFixture, RingIsLitFromTheTopLeft)
{
    const QImage img = knob->grab().toImage();
    EXPECT_GT(img.pixelColor(22, 8).lightness(), img.pixelColor(22, 36).lightness());
    EXPECT_GT(img.pixelColor(8, 22).lightness(), img.pixelColor(36, 22).lightness());
}

TEST_F(KnobFixture, PressBelowTheCentreHitsTheDeadSectorLimits)
{
    knob->setValue(180);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(22, 35));
    EXPECT_EQ(knob->value(), 60);
    EXPECT_TRUE(spy->isEmpty()); // posted, not sent
    EXPECT_EQ(Delivered(), (std::vector<Note>{{kTrack, 60}}));
    EXPECT_TRUE(knob->hasFocus());
    Move(QPoint(23, 35));
    EXPECT_EQ(knob->value(), 300);
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(23, 35));
    EXPECT_EQ(Delivered(), (std::vector<Note>{{kTrack, 300}, {kTrack, 300}, {kPosition, 300}}));
}

TEST_F(KnobFixture, ClickReportsOnlyWhenThePositionChanged)
{
    knob->setValue(180);
    const QPoint right(35, 22); // 90 degrees from the top, zero angle 180: position 270
    QTest::mouseClick(knob, Qt::LeftButton, Qt::NoModifier, right);
    EXPECT_EQ(knob->value(), 270);
    EXPECT_EQ(Delivered(), (std::vector<Note>{{kTrack, 270}, {kPosition, 270}}));
    QTest::mouseClick(knob, Qt::LeftButton, Qt::NoModifier, right);
    EXPECT_TRUE(Delivered().empty());
    QTest::mouseClick(knob, Qt::RightButton, Qt::NoModifier, QPoint(10, 22));
    EXPECT_EQ(knob->value(), 270);
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(KnobFixture, DragInTheDeadSectorKeepsReportingTheLimit)
{
    ASSERT_EQ(knob->value(), 60);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(20, 35));
    Move(QPoint(21, 36));
    Move(QPoint(19, 38));
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(21, 40));
    const std::vector<Note> notes = Delivered();
    ASSERT_EQ(notes.size(), 5u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(notes[i], Note(kTrack, 60));
    EXPECT_EQ(notes[4], Note(kPosition, 60));
    EXPECT_EQ(knob->value(), 60);
}

TEST_F(KnobFixture, KeyboardWrapsAndEndsScrolls)
{
    knob->setValue(0);
    QTest::keyPress(knob, Qt::Key_Left);
    EXPECT_EQ(knob->value(), 359);
    QTest::keyRelease(knob, Qt::Key_Left);
    EXPECT_EQ(Delivered(), (std::vector<Note>{{COrbRotaryKnob::SB_LINEUP, 359}, {COrbRotaryKnob::SB_ENDSCROLL, 359}}));

    knob->setValue(355);
    QTest::keyClick(knob, Qt::Key_PageDown);
    EXPECT_EQ(knob->value(), 5);
    QTest::keyClick(knob, Qt::Key_Down);
    EXPECT_EQ(knob->value(), 6);
    QTest::keyClick(knob, Qt::Key_PageUp);
    EXPECT_EQ(knob->value(), 356);
    EXPECT_EQ(Delivered(), (std::vector<Note>{{COrbRotaryKnob::SB_PAGEDOWN, 5},
                                              {COrbRotaryKnob::SB_ENDSCROLL, 5},
                                              {COrbRotaryKnob::SB_LINEDOWN, 6},
                                              {COrbRotaryKnob::SB_ENDSCROLL, 6},
                                              {COrbRotaryKnob::SB_PAGEUP, 356},
                                              {COrbRotaryKnob::SB_ENDSCROLL, 356}}));

    QTest::keyClick(knob, Qt::Key_Home);
    QTest::keyClick(knob, Qt::Key_End);
    QTest::keyClick(knob, Qt::Key_A);
    EXPECT_EQ(knob->value(), 356);
    EXPECT_TRUE(Delivered().empty());

    // Auto-repeat: one release at the end, not one per repeat.
    QTest::keyPress(knob, Qt::Key_Right);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(knob, &repeatRelease);
    QTest::keyRelease(knob, Qt::Key_Right);
    EXPECT_EQ(Delivered(), (std::vector<Note>{{COrbRotaryKnob::SB_LINEDOWN, 357}, {COrbRotaryKnob::SB_ENDSCROLL, 357}}));
}

TEST_F(KnobFixture, ResizeRebuildsTheCircleAndResetsThePosition)
{
    EXPECT_EQ(knob->mask(), QRegion(0, 0, 45, 45, QRegion::Ellipse));
    EXPECT_TRUE(knob->mask().contains(QPoint(22, 22)));
    EXPECT_FALSE(knob->mask().contains(QPoint(1, 1)));
    EXPECT_FALSE(knob->mask().contains(QPoint(22, 47))); // below the square

    knob->setValue(100);
    knob->resize(80, 60);
    EXPECT_EQ(knob->value(), 0);
    EXPECT_EQ(knob->mask(), QRegion(0, 0, 60, 60, QRegion::Ellipse));
    EXPECT_EQ(knob->GetCenter(), QPoint(30, 30));
    EXPECT_EQ(knob->GetRadius(), 22);
    EXPECT_TRUE(Delivered().empty());

    // A knob sized and set before it is shown keeps the position its owner gave it.
    QWidget other;
    auto* hidden = new COrbRotaryKnob(&other);
    hidden->setGeometry(0, 0, 45, 49);
    hidden->setValue(60);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    EXPECT_EQ(hidden->value(), 60);
    EXPECT_EQ(hidden->mask(), QRegion(0, 0, 45, 45, QRegion::Ellipse));
}

TEST(COrbRotaryKnob, DefaultsAndNoParent)
{
    COrbRotaryKnob knob;
    EXPECT_EQ(knob.minimum(), 0);
    EXPECT_EQ(knob.maximum(), 359);
    EXPECT_EQ(knob.singleStep(), 1);
    EXPECT_EQ(knob.pageStep(), 10);
    EXPECT_EQ(knob.GetRingInset(), 7);
    knob.setValue(42);
    EXPECT_EQ(knob.GetFormattedPos(), QStringLiteral("42\u00B0"));
    QSignalSpy spy(&knob, &COrbRotaryKnob::hScroll);
    QTest::keyClick(&knob, Qt::Key_Right);
    QCoreApplication::processEvents();
    EXPECT_EQ(knob.value(), 43);
    EXPECT_TRUE(spy.isEmpty()); // nobody to tell
}
