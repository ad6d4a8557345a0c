// Spectrum pane layout and axes, kept free of widgets so that tests can check the numbers.
#include "controls/SpectrumGeometry.h"

#include <algorithm>
#include <cmath>

namespace corvane::controls {

SpectrumLayout SpectrumLayoutFor(int width, int height, int textHeight, int textWidth)
{
    const int gap = std::max(2, textHeight / 3);
    const int barWidth = std::max(6, textHeight * 2 / 3);
    const int meterWidth = 2 * barWidth + gap;
    SpectrumLayout l;
    l.header = QRect(gap, gap, std::max(0, width - 2 * gap), textHeight);
    const int top = l.header.bottom() + 1 + gap + textHeight / 2;
    const int bottom = height - textHeight - 2 * gap; // first row below the plot
    const int left = textWidth + 2 * gap;
    const int meterLeft = width - gap - meterWidth;
    const int right = meterLeft - textWidth - 3 * gap; // room for the meter's own scale
    l.plot = QRect(QPoint(left, top), QPoint(std::max(left, right), std::max(top, bottom - 1)));
    l.freqLabels = QRect(l.plot.left() - textWidth, bottom + gap / 2, l.plot.width() + 2 * textWidth, textHeight);
    l.meter = QRect(meterLeft, top, meterWidth, l.plot.height());
    return l;
}

double XOfFrequency(double hz, const QRect& plot, double maxHz)
{
    const double span = std::log(maxHz / kSpectrumMinHz);
    return plot.left() + (plot.width() - 1) * std::log(std::max(hz, 1e-9) / kSpectrumMinHz) / span;
}

double FrequencyOfX(double x, const QRect& plot, double maxHz)
{
    const double span = std::log(maxHz / kSpectrumMinHz);
    return kSpectrumMinHz * std::exp((x - plot.left()) / std::max(1, plot.width() - 1) * span);
}

int YOfDb(double db, const QRect& area, double topDb, double bottomDb)
{
    const double t = std::clamp((topDb - db) / (topDb - bottomDb), 0.0, 1.0);
    return area.top() + static_cast<int>(std::lround(t * (area.height() - 1)));
}

std::vector<AxisMark> FrequencyMarks(double maxHz)
{
    std::vector<AxisMark> marks;
    for (double decade = 10.0; decade <= maxHz; decade *= 10.0) {
        for (const int step : {1, 2, 5}) {
            const double hz = decade * step;
            if (hz < kSpectrumMinHz || hz > maxHz)
                continue;
            const QString label = hz >= 1000.0 ? QString::number(hz / 1000.0) + QLatin1Char('k') : QString::number(hz);
            marks.push_back({hz, label});
        }
    }
    return marks;
}

std::vector<AxisMark> LevelMarks(double topDb, double bottomDb, double step)
{
    std::vector<AxisMark> marks;
    for (double db = topDb; db >= bottomDb - 1e-9; db -= step)
        marks.push_back({db, QString::number(db)});
    return marks;
}

QString FormatDbfs(double db)
{
    if (db <= -120.0)
        return QStringLiteral("-inf");
    return QString::number(db, 'f', 1);
}

} // namespace corvane::controls
