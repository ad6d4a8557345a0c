// Controls at the panel's zoom and the display's pixel ratio: the seven-segment digits
// enlarged but still readable glyph by glyph, the knob's marker where its position puts it.
// Built twice: at a display scale of 1, and with QT_SCALE_FACTOR=2 (CORVANE_EXPECT_DPR).
#include "controls/COrbRotaryKnob.h"
#include "controls/CSegmentDisplay.h"

#include "PixelCount.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#ifndef CORVANE_EXPECT_DPR
#define CORVANE_EXPECT_DPR 1.0
#endif

namespace {

const QColor kLit(255, 204, 51);

// Seven-segment letters as on any LED data sheet: a top, b upper right, c lower right,
// d bottom, e lower left, f upper left, g middle.
const std::map<char, std::string> kDigitSegments = {
    {'0', "abcdef"}, {'1', "bc"},    {'2', "abdeg"},   {'3', "abcdg"}, {'4', "bcfg"},
    {'5', "acdfg"},  {'6', "acdefg"}, {'7', "abc"},    {'8', "abcdefg"}, {'9', "abcdfg"},
};

// A point inside each segment a..g of a 20-pixel-high cell (12 px wide), at 100 %.
const QPoint kSegmentPoints[] = {{4, 2}, {9, 5}, {9, 13}, {4, 17}, {1, 13}, {1, 5}, {4, 10}};

// The segments a..g lit in one cell of a painted display, "bc" for a one.
std::string LitSegments(const QImage& shot, int cell, double zoom)
{
    std::string lit;
    for (int s = 0; s < 7; ++s) {
        const QPoint p = kSegmentPoints[s] + QPoint(cell * 12, 0);
        if (shot.pixelColor(static_cast<int>(p.x() * zoom), static_cast<int>(p.y() * zoom)) == kLit)
            lit += static_cast<char>('a' + s);
    }
    return lit;
}

// Angle of a point around a centre, degrees clockwise from 12 o'clock.
double ClockAngle(QPointF p, QPointF centre)
{
    const double a = std::atan2(p.x() - centre.x(), centre.y() - p.y()) * 180.0 / M_PI;
    return a < 0 ? a + 360.0 : a;
}

} // namespace

TEST(Zoom, SegmentDigitsShowEveryGlyphWithSegmentsWideEnough)
{
    const double dpr = qApp->devicePixelRatio();
    ASSERT_EQ(dpr, CORVANE_EXPECT_DPR) << "the display scale asked for";
    for (double zoom : {1.0, 2.0}) {
        const double scale = zoom * dpr;
        CSegmentDisplay display;
        display.SetZoom(zoom);
        display.resize(static_cast<int>(7 * 12 * zoom), static_cast<int>(20 * zoom));
        display.SetColors(RGB(255, 204, 51), RGB(51, 51, 102));
        display.SetFormat("%.0f");
        for (float value : {1234567.0f, 8901234.0f}) {
            display.SetValue(value, false, 0, 0);
            const QImage shot = display.grab().toImage();
            ASSERT_EQ(shot.size(), QSize(static_cast<int>(84 * scale), static_cast<int>(20 * scale)));
            const std::string text = display.GetText().toStdString();
            for (int cell = 0; cell < 7; ++cell)
                EXPECT_EQ(LitSegments(shot, cell, scale), kDigitSegments.at(text.at(cell))) << text << " cell " << cell;
        }
        // The strokes are two template pixels wide: four device pixels at a scale of 2.
        const QRect upperRightOf8(int(6 * scale), int(5 * scale), int(12 * scale) - int(6 * scale), 1);
        EXPECT_EQ(CountPixels(display.grab().toImage(), upperRightOf8, kLit), static_cast<int>(2 * scale)) << scale;
    }
}

TEST(Zoom, KnobMarkerSitsAtItsPositionsAngleAtEveryZoom)
{
    // Range 0..359 with the zero angle at 180: 60 at the lower left, 180 at the top, 300 at
    // the lower right. The marker's centre is 4 px inside a ring 8 px inside the dial's
    // half-width (45 px at 100 %), so 10 px from the centre, times the zoom.
    const QColor rim(255, 128, 0);
    const std::pair<int, double> positions[] = {{60, 240.0}, {180, 0.0}, {300, 120.0}};
    const double dpr = qApp->devicePixelRatio();
    for (double zoom : {1.0, 1.25, 2.0}) {
        const double scale = zoom * dpr;
        QWidget parent;
        auto* knob = new COrbRotaryKnob(&parent);
        const int side = static_cast<int>(std::lround(45 * zoom));
        knob->SetZoom(zoom);
        knob->setGeometry(0, 0, side, side);
        knob->SetZeroAngle(180);
        for (const auto& [position, angle] : positions) {
            knob->setValue(position);
            const QImage shot = knob->grab().toImage();
            double sx = 0, sy = 0;
            int n = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (shot.pixelColor(x, y) == rim) {
                        sx += x + 0.5;
                        sy += y + 0.5;
                        ++n;
                    }
            ASSERT_GT(n, 0) << zoom << " " << position;
            EXPECT_NEAR(n, 12 * scale * scale, 4 * scale * scale) << "rim pixels grow with the scale";
            const QPointF marker(sx / n, sy / n);
            const QPointF centre(side * dpr / 2.0, side * dpr / 2.0);
            const double off = std::hypot(marker.x() - centre.x(), marker.y() - centre.y());
            EXPECT_NEAR(off, 10 * scale, 1.0 + scale) << zoom << " " << position;
            const double diff = std::fmod(ClockAngle(marker, centre) - angle + 540.0, 360.0) - 180.0;
            EXPECT_NEAR(diff, 0.0, 6.0) << zoom << " " << position;
        }
    }
}
