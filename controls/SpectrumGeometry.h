// Pure geometry and texts of the spectrum pane: log frequency axis, dB axes, meter, labels.
#pragma once

#include <QRect>
#include <QString>

#include <vector>

namespace corvane::controls {

constexpr double kSpectrumMinHz = 20.0;
constexpr double kSpectrumTopDb = 0.0;      // top of the spectrum's level axis
constexpr double kSpectrumBottomDb = -100.0;
constexpr double kMeterBottomDb = -60.0;    // the meter runs from here to 0 dBFS

// Where things go in a pane of this size; textHeight and textWidth are the height of a line
// and the width of the widest level label ("-100") in the pane's font.
struct SpectrumLayout {
    QRect header;     // the peak and RMS read-out line
    QRect plot;       // the spectrum
    QRect freqLabels; // under the plot
    QRect meter;      // two bars, peak then RMS
};
SpectrumLayout SpectrumLayoutFor(int width, int height, int textHeight, int textWidth);

// Logarithmic frequency axis from kSpectrumMinHz at plot.left() to maxHz at plot.right().
double XOfFrequency(double hz, const QRect& plot, double maxHz);
double FrequencyOfX(double x, const QRect& plot, double maxHz);
// Linear dB axis: topDb at area.top(), bottomDb at area.bottom(), clamped into the area.
int YOfDb(double db, const QRect& area, double topDb, double bottomDb);

// Axis marks: frequencies 20, 50, 100, ... up to maxHz with their labels ("1k", "20k").
struct AxisMark {
    double value;
    QString label;
};
std::vector<AxisMark> FrequencyMarks(double maxHz);
std::vector<AxisMark> LevelMarks(double topDb, double bottomDb, double step);

// "-6.0", or "-inf" for silence.
QString FormatDbfs(double db);

} // namespace corvane::controls
