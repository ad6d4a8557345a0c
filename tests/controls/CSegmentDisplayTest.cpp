// Segment display widget: cells and colours in the painted image, value setters, mouse editing.
#include "controls/CSegmentDisplay.h"

#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

const QColor kLit(255, 204, 51); // the panel's COLORREF 0x0033CCFF
const QColor kDim(127, 102, 19); // COLORREF 0x0013667F
const QColor kBackground(51, 51, 102);

// Pixels inside segments of a cell (u = 1): top, upper right, middle, decimal point.
QPoint Top(int cell) { return {cell * 12 + 4, 2}; }
QPoint UpperRight(int cell) { return {cell * 12 + 9, 5}; }
QPoint Middle(int cell) { return {cell * 12 + 4, 10}; }
QPoint Point(int cell) { return {cell * 12 + 2, 17}; }

// A panel read-out: 40 x 12 dialog units (60 x 20 px).
struct DisplayFixture : ::testing::Test {
    CSegmentDisplay display;
    void SetUp() override
    {
        display.resize(60, 20);
        display.SetColors(RGB(255, 204, 51), RGB(51, 51, 102));
    }
    QImage Image() { return display.grab().toImage(); }
    void Drag(Qt::MouseButton button, int fromX, int toX)
    {
        QTest::mousePress(&display, button, Qt::NoModifier, QPoint(fromX, 10));
        QTest::mouseMove(&display, QPoint(toX, 10)); // with the button held
        QTest::mouseRelease(&display, button, Qt::NoModifier, QPoint(toX, 10));
    }
};

} // namespace

TEST_F(DisplayFixture, EveryCharacterTakesACellLitOverDimmedEights)
{
    const auto expectPixels = [&](std::initializer_list<std::pair<QPoint, QColor>> pixels) {
        const QImage img = Image();
        for (const auto& [at, colour] : pixels)
            EXPECT_EQ(img.pixelColor(at), colour) << at.x() << "," << at.y();
    };
    display.SetFormat("%0.3f");
    display.SetValue(1.0f, false, 0.0f, 100.0f);
    EXPECT_EQ(std::tuple(display.GetText(), display.GetLayout().cells), std::tuple("1.000", 5));
    // "1", ".", "0" .. "0", and the background right of the last whole cell.
    expectPixels({{{0, 0}, kBackground}, {Top(0), kDim}, {UpperRight(0), kLit}, {Top(1), kDim}, {Point(1), kLit},
                  {Top(2), kLit}, {Middle(2), kDim}, {Top(4), kLit}, {Middle(4), kDim}, {{59, 2}, kBackground}});
    display.ShowDigits(false); // the point lies on the dimmed bottom segment
    expectPixels({{UpperRight(0), kDim}, {Point(1), kDim}});

    // The plus-sign option leaves a blank first cell for positives and shows "-" otherwise.
    display.ShowDigits(true);
    display.ShowPlusSign(1);
    display.SetValue(0.25f, false, 0.0f, 100.0f);
    expectPixels({{Top(0), kDim}, {Middle(0), kDim}, {Top(1), kLit}, {Point(2), kLit}});
    display.SetValue(-0.25f, false, 0.0f, 100.0f); // unclamped without the range flag
    EXPECT_EQ(display.GetText(), "-0.250");
    expectPixels({{Middle(0), kLit}});

    // A resize to 34 px gives u = 2 and cells of 17 px: "8", "." with the top from 2u.
    display.resize(120, 34);
    display.SetValue(8.888f, false, 0.0f, 100.0f);
    EXPECT_EQ(display.GetLayout().cells, 7);
    expectPixels({{{17 + 5, 2}, kLit}, {{17 * 2 + 5, 2}, kDim}});
}

TEST_F(DisplayFixture, SettersClampAndPickTheMode)
{
    const auto state = [&] { return std::tuple(display.GetValue(), display.GetText(), display.IsFloatMode()); };
    display.SetFormat(nullptr);
    EXPECT_EQ(std::tuple(display.GetFormat(), display.IsFloatMode()), std::tuple("%0.3f", true));
    display.SetFormat("%d");
    EXPECT_EQ(state(), std::tuple(0.0f, "0", false)); // the text waits for the next value
    display.SetFormat("%0.2f");
    display.SetValue(150.0f, true, -10.0f, 120.0f);
    EXPECT_EQ(state(), std::tuple(120.0f, "120.00", true));
    display.SetRange(0.0f, 50.0f);
    EXPECT_EQ(state(), std::tuple(50.0f, "120.00", true)); // no reformat until the next value
    display.SetIntValue(7);
    // An int through a float format is still a number; the value itself stays.
    EXPECT_EQ(state(), std::tuple(50.0f, "7.00", false));
}

TEST_F(DisplayFixture, MouseEditingStepsAndDragsWithinTheBounds)
{
    display.SetFormat("%0.2f");
    display.SetValue(100.0f, true, 0.0f, 100.0f);
    QTest::mouseClick(&display, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(display.GetText(), "100.00");
    QTest::mouseClick(&display, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(display.GetText(), "99.99");
    Drag(Qt::LeftButton, 10, 5); // whole units even in float mode; no click step after a drag
    EXPECT_EQ(display.GetText(), "94.99");

    display.SetFormat("%d");
    display.SetValue(0.0f, false, 0.0f, 100.0f);
    display.SetIntValue(0); // integer mode; the value itself stays
    Drag(Qt::LeftButton, 10, 13);
    EXPECT_EQ(display.GetText(), "3");
    Drag(Qt::RightButton, 10, 13);
    EXPECT_NEAR(display.GetValue(), 3.03f, 1e-5);
    EXPECT_EQ(display.GetText(), "3"); // the fine part is kept but not shown
    QTest::mouseClick(&display, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_NEAR(display.GetValue(), 2.03f, 1e-5);
    EXPECT_EQ(display.GetText(), "2");
    Drag(Qt::LeftButton, 50, 0);
    EXPECT_EQ(display.GetText(), "0");
    Drag(Qt::LeftButton, 0, 59);
    Drag(Qt::LeftButton, 0, 59);
    EXPECT_EQ(std::tuple(display.GetValue(), display.GetText()), std::tuple(100.0f, "100"));
}
