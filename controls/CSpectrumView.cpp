// Spectrum pane: frame timing, and painting into an off-screen frame over a cached picture of
// the axes.
#include "controls/CSpectrumView.h"


#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace corvane::controls;

namespace {
const QColor kBackground(24, 24, 34);
const QColor kPlotBack(16, 16, 24);
const QColor kGrid(52, 52, 70);
const QColor kText(176, 176, 196);
// Written pixel by pixel each frame: plain values.
constexpr QRgb kCurve = qRgb(255, 204, 51);        // the read-outs' segment colour
constexpr QRgb kCurveFill = qRgb(72, 62, 36);      // the curve's colour faintly over the plot
constexpr QRgb kGridOverFill = qRgb(64, 60, 58);   // a grid line seen through the fill
constexpr QRgb kCutoff = qRgb(102, 204, 255);
constexpr QRgb kPeakBar = qRgb(255, 204, 51);
constexpr QRgb kRmsBar = qRgb(120, 210, 130);
const QColor kBarBack(40, 40, 56);
constexpr double kPointSize = 8.0;
constexpr unsigned kIdleFramesBeforeSilence = 3;
constexpr unsigned kFramesPerReadout = 6; // the numbers are new five times a second

QFont PaneFont(const QFont& base, double zoom)
{
    QFont f = base;
    f.setPointSizeF(kPointSize * zoom);
    return f;
}
} // namespace

CSpectrumView::CSpectrumView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("SpectrumPane"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(PaneFont(font(), m_fZoom));
}

QSize CSpectrumView::sizeHint() const
{
    return QSize(qRound(360 * m_fZoom), qRound(300 * m_fZoom));
}

QSize CSpectrumView::minimumSizeHint() const
{
    return QSize(qRound(200 * m_fZoom), qRound(150 * m_fZoom));
}

void CSpectrumView::AddBlock(const std::int16_t* samples, unsigned count, float gain, double sampleRate)
{
    m_analyser.AddPcm16(samples, count, gain, sampleRate);
}

void CSpectrumView::SetCutoff(double hz)
{
    m_fCutoffHz = hz;
}

void CSpectrumView::SetZoom(double zoom)
{
    if (!(zoom > 0.0) || zoom == m_fZoom)
        return;
    m_fZoom = zoom;
    setFont(PaneFont(font(), zoom));
    updateGeometry();
}

SpectrumLayout CSpectrumView::Layout() const
{
    const QFontMetrics fm(font());
    return SpectrumLayoutFor(width(), height(), fm.height(), fm.horizontalAdvance(QStringLiteral("-100")));
}

QString CSpectrumView::HeaderText() const
{
    return QStringLiteral("Peak %1   RMS %2 dBFS").arg(FormatDbfs(m_analyser.PeakDb()), FormatDbfs(m_analyser.RmsDb()));
}

void CSpectrumView::NextFrame()
{
    if (m_analyser.PendingSamples() == 0) {
        // Nothing played for a while: what is heard is silence.
        if (++m_nIdleFrames > kIdleFramesBeforeSilence)
            m_analyser.AddSilence(static_cast<unsigned>(m_analyser.SampleRate() * kFrameMs / 1000.0));
    } else {
        m_nIdleFrames = 0;
    }
    m_analyser.Analyse();
    // The numbers change a few times a second, slow enough to read.
    if (++m_nFrames % kFramesPerReadout == 0)
        m_header = HeaderText();
    if (GeometryCurrent())
        Plan(true);
    else
        update();
}

void CSpectrumView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        NextFrame();
    else
        QWidget::timerEvent(event);
}

void CSpectrumView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // What was analysed before it was hidden is no longer what plays.
    m_analyser.Reset();
    m_nIdleFrames = 0;
    m_timer.start(kFrameMs, Qt::PreciseTimer, this);
}

void CSpectrumView::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

void CSpectrumView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        m_background = QImage();
    QWidget::changeEvent(event);
}

void CSpectrumView::PaintBackground(const SpectrumLayout& l, qreal ratio)
{
    m_background = QImage(qCeil(width() * ratio), qCeil(height() * ratio), QImage::Format_RGB32);
    m_background.setDevicePixelRatio(ratio);
    m_background.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    m_background.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    QPainter dc(&m_background);
    dc.setFont(font());
    dc.fillRect(rect(), kBackground);
    dc.fillRect(l.plot, kPlotBack);
    const QFontMetrics fm(font());

    for (const AxisMark& mark : LevelMarks(kSpectrumTopDb, kSpectrumBottomDb, 20.0)) {
        const int y = YOfDb(mark.value, l.plot, kSpectrumTopDb, kSpectrumBottomDb);
        dc.fillRect(QRect(l.plot.left(), y, l.plot.width(), 1), kGrid);
        dc.setPen(kText);
        dc.drawText(QRect(0, y - fm.height() / 2, l.plot.left() - 4, fm.height()),
                    Qt::AlignRight | Qt::AlignVCenter, mark.label);
    }
    for (const AxisMark& mark : FrequencyMarks(kMaxHz)) {
        const int x = static_cast<int>(std::lround(XOfFrequency(mark.value, l.plot, kMaxHz)));
        dc.fillRect(QRect(x, l.plot.top(), 1, l.plot.height()), kGrid);
        const int w = fm.horizontalAdvance(mark.label);
        dc.setPen(kText);
        dc.drawText(QRect(x - w / 2 - 1, l.freqLabels.top(), w + 2, l.freqLabels.height()), Qt::AlignCenter,
                    mark.label);
    }

    // The meter's own scale, 0 to -60 dBFS, left of its bars.
    for (const AxisMark& mark : LevelMarks(0.0, kMeterBottomDb, 20.0)) {
        const int y = YOfDb(mark.value, l.meter, 0.0, kMeterBottomDb);
        dc.drawText(QRect(l.plot.right() + 2, y - fm.height() / 2, l.meter.left() - l.plot.right() - 5, fm.height()),
                    Qt::AlignRight | Qt::AlignVCenter, mark.label);
    }
    const int bar = l.meter.width() / 2 - 1;
    dc.fillRect(QRect(l.meter.left(), l.meter.top(), bar, l.meter.height()), kBarBack);
    dc.fillRect(QRect(l.meter.right() - bar + 1, l.meter.top(), bar, l.meter.height()), kBarBack);
}

namespace {
// Device-pixel rectangle of a logical one, and the logical rectangle covering device pixels.
QRect DeviceRect(const QRect& r, qreal ratio)
{
    const int left = qFloor(r.left() * ratio), top = qFloor(r.top() * ratio);
    return QRect(left, top, qFloor((r.right() + 1) * ratio) - left, qFloor((r.bottom() + 1) * ratio) - top);
}

QRect LogicalRect(const QRect& d, qreal ratio)
{
    const int left = qFloor(d.left() / ratio), top = qFloor(d.top() / ratio);
    return QRect(left, top, qCeil((d.right() + 1) / ratio) - left, qCeil((d.bottom() + 1) / ratio) - top);
}

// Copies a rectangle of device pixels between two images of the same format and size.
void CopyPixels(QImage& to, const QImage& from, const QRect& d)
{
    for (int y = d.top(); y <= d.bottom(); ++y)
        std::memcpy(to.scanLine(y) + d.left() * 4, from.constScanLine(y) + d.left() * 4, std::size_t(d.width()) * 4);
}
} // namespace

bool CSpectrumView::GeometryCurrent() const
{
    const qreal ratio = devicePixelRatioF();
    return !m_background.isNull() && m_background.devicePixelRatio() == ratio
           && m_background.size() == QSize(qCeil(width() * ratio), qCeil(height() * ratio));
}

void CSpectrumView::Rebuild()
{
    const qreal ratio = devicePixelRatioF();
    m_layout = Layout();
    PaintBackground(m_layout, ratio);
    m_frame = m_background.copy();
    m_plotPixels = DeviceRect(m_layout.plot, ratio).intersected(m_frame.rect());
    m_meterPixels = DeviceRect(m_layout.meter, ratio).intersected(m_frame.rect());

    // Which rows and columns are grid lines: the background's first column is never one,
    // nor is the row of the plot just above its bottom.
    const QRect& dp = m_plotPixels;
    const int rows = dp.height(), columns = dp.width();
    const QRgb grid = kGrid.rgb();
    m_gridRow.resize(std::size_t(rows));
    m_fillRow.resize(std::size_t(columns));
    m_edgesHz.resize(std::size_t(columns) + 1);
    if (rows > 1 && columns > 0) {
        for (int r = 0; r < rows; ++r)
            m_gridRow[std::size_t(r)] = reinterpret_cast<const QRgb*>(m_background.constScanLine(dp.top() + r))[dp.left()] == grid;
        const auto* plain = reinterpret_cast<const QRgb*>(m_background.constScanLine(dp.bottom() - 1)) + dp.left();
        for (int i = 0; i < columns; ++i)
            m_fillRow[std::size_t(i)] = plain[i] == grid ? kGridOverFill : kCurveFill;
    }
    for (int i = 0; i <= columns; ++i)
        m_edgesHz[std::size_t(i)] = FrequencyOfX((dp.left() + i - 0.5) / ratio, m_layout.plot, kMaxHz);

    // The frame shows the bare axes: every column is written whole, the bars are unlit and
    // the numbers still to be written.
    m_shownTop.assign(std::size_t(columns), -1);
    m_shownBottom.assign(std::size_t(columns), rows - 1);
    m_lineTop.assign(std::size_t(columns), 0);
    m_lineBottom.assign(std::size_t(columns), 0);
    m_nMarkerX = -1;
    m_markerLine = m_markerHead = QRect();
    const int bar = m_layout.meter.width() / 2 - 1;
    const int barLefts[2] = {m_layout.meter.left(), m_layout.meter.right() - bar + 1};
    for (int k = 0; k < 2; ++k) {
        const QRect d = DeviceRect(QRect(barLefts[k], m_layout.meter.top(), bar, m_layout.meter.height()), ratio)
                            .intersected(m_meterPixels);
        m_barLeft[k] = d.left();
        m_barRight[k] = d.right();
        m_shownBarTop[k] = m_barTop[k] = m_meterPixels.bottom() + 1;
    }
    m_shownHeader = QString();
    m_header = HeaderText();
    Plan(false);
}

void CSpectrumView::RepaintDevice(const QRect& device, bool repaint)
{
    if (repaint && !device.isEmpty())
        update(LogicalRect(device, devicePixelRatioF()));
}

void CSpectrumView::Plan(bool repaint)
{
    const qreal ratio = devicePixelRatioF();
    const QRect& p = m_layout.plot;
    const QRect& dp = m_plotPixels;
    const int rows = dp.height(), columns = dp.width();
    if (rows <= 0 || columns <= 0)
        return;

    // The cutoff marker: where it was and where it goes, the columns are written whole.
    const int markerX = m_fCutoffHz >= kSpectrumMinHz && m_fCutoffHz <= kMaxHz
                            ? static_cast<int>(std::lround(XOfFrequency(m_fCutoffHz, p, kMaxHz)))
                            : -1;
    if (markerX != m_nMarkerX) {
        const auto rewrite = [this](const QRect& r) {
            for (int i = r.left(); i <= r.right(); ++i)
                m_shownTop[std::size_t(i)] = -1;
        };
        rewrite(m_markerLine);
        rewrite(m_markerHead);
        m_nMarkerX = markerX;
        m_markerLine = m_markerHead = QRect();
        if (markerX >= 0) {
            m_markerLine = DeviceRect(QRect(markerX, p.top(), 1, p.height()), ratio).intersected(dp).translated(-dp.topLeft());
            m_markerHead = DeviceRect(QRect(markerX - 2, p.top(), 5, 2), ratio).intersected(dp).translated(-dp.topLeft());
        }
        rewrite(m_markerLine);
        rewrite(m_markerHead);
    }

    // The curve: per pixel column the mean level of the bins under it, in plot rows; the line
    // reaches to just short of the level left of it.
    int previous = -1, from = rows, to = -1, left = columns, right = -1;
    for (int i = 0; i < columns; ++i) {
        const std::size_t c = std::size_t(i);
        const float db = m_analyser.BandLevelDb(m_edgesHz[c], m_edgesHz[c + 1]);
        const double t = std::clamp((kSpectrumTopDb - db) / (kSpectrumTopDb - kSpectrumBottomDb), 0.0, 1.0);
        const int level = static_cast<int>(t * (rows - 1) + 0.5);
        if (previous < 0)
            previous = level;
        const int top = std::min(level, previous + 1), bottom = std::max(level, previous - 1);
        previous = level;
        m_lineTop[c] = top;
        m_lineBottom[c] = bottom;
        if (top == m_shownTop[c] && bottom == m_shownBottom[c])
            continue;
        const bool whole = m_shownTop[c] < 0;
        from = std::min(from, whole ? 0 : std::min(top, m_shownTop[c]));
        to = std::max(to, whole ? rows - 1 : std::max(bottom, m_shownBottom[c]));
        left = std::min(left, i);
        right = i;
    }
    if (right >= 0)
        RepaintDevice(QRect(QPoint(dp.left() + left, dp.top() + from), QPoint(dp.left() + right, dp.top() + to)), repaint);

    // Meter: peak bar, then RMS bar, lit from -60 dBFS up to their level.
    const QRect& dm = m_meterPixels;
    const float levels[2] = {m_analyser.PeakDb(), m_analyser.RmsDb()};
    for (int k = 0; k < 2; ++k) {
        m_barTop[k] = levels[k] <= kMeterBottomDb
                          ? dm.bottom() + 1
                          : std::max(dm.top(), qFloor(YOfDb(levels[k], m_layout.meter, 0.0, kMeterBottomDb) * ratio));
        if (m_barTop[k] != m_shownBarTop[k])
            RepaintDevice(QRect(QPoint(m_barLeft[k], std::min(m_barTop[k], m_shownBarTop[k])),
                                QPoint(m_barRight[k], std::max(m_barTop[k], m_shownBarTop[k]) - 1)),
                          repaint);
    }
    if (m_header != m_shownHeader)
        RepaintDevice(DeviceRect(m_layout.header, ratio), repaint);
}

void CSpectrumView::PaintColumn(QRgb* frame, const QRgb* background, int i, int from, int to) const
{
    const QRect& dp = m_plotPixels;
    const qsizetype stride = m_frame.bytesPerLine() / 4;
    const qsizetype at = (dp.top() + from) * stride + dp.left() + i;
    QRgb* out = frame + at;
    const QRgb* back = background + at;
    const std::size_t c = std::size_t(i);
    const int top = m_lineTop[c], bottom = m_lineBottom[c];
    const bool markerColumn = i >= m_markerLine.left() && i <= m_markerLine.right();
    const int headRows = i >= m_markerHead.left() && i <= m_markerHead.right() ? m_markerHead.bottom() + 1 : 0;
    const QRgb fill = m_fillRow[c];
    // From the top: the plot's background, the line, then the fill with the grid showing
    // through; the marker over all of them.
    for (int r = from; r <= to; ++r, out += stride, back += stride) {
        if (markerColumn || r < headRows)
            *out = kCutoff;
        else if (r < top)
            *out = *back;
        else if (r <= bottom)
            *out = kCurve;
        else
            *out = m_gridRow[std::size_t(r)] ? kGridOverFill : fill;
    }
}

const QImage& CSpectrumView::PaintFrame()
{
    if (!GeometryCurrent())
        Rebuild();
    // Only what moved since the last paint is written again: plain pixel writes, as Qt's
    // span blending would hand a picture this tall to its thread pool.
    const int rows = m_plotPixels.height(), columns = static_cast<int>(m_lineTop.size());
    auto* frame = reinterpret_cast<QRgb*>(m_frame.bits());
    const auto* background = reinterpret_cast<const QRgb*>(m_background.constBits());
    for (int i = 0; i < columns; ++i) {
        const std::size_t c = std::size_t(i);
        const int top = m_lineTop[c], bottom = m_lineBottom[c], shownTop = m_shownTop[c], shownBottom = m_shownBottom[c];
        if (top == shownTop && bottom == shownBottom)
            continue;
        if (shownTop < 0)
            PaintColumn(frame, background, i, 0, rows - 1);
        else
            PaintColumn(frame, background, i, std::min(top, shownTop), std::max(bottom, shownBottom));
        m_shownTop[c] = top;
        m_shownBottom[c] = bottom;
    }

    const QRgb barColours[2] = {kPeakBar, kRmsBar};
    for (int k = 0; k < 2; ++k) {
        if (m_barTop[k] == m_shownBarTop[k])
            continue;
        for (int y = std::min(m_barTop[k], m_shownBarTop[k]), end = std::max(m_barTop[k], m_shownBarTop[k]); y < end; ++y) {
            auto* row = reinterpret_cast<QRgb*>(m_frame.scanLine(y));
            const auto* back = reinterpret_cast<const QRgb*>(m_background.constScanLine(y));
            for (int x = m_barLeft[k]; x <= m_barRight[k]; ++x)
                row[x] = y >= m_barTop[k] ? barColours[k] : back[x];
        }
        m_shownBarTop[k] = m_barTop[k];
    }

    if (m_header != m_shownHeader) {
        CopyPixels(m_frame, m_background, DeviceRect(m_layout.header, devicePixelRatioF()).intersected(m_frame.rect()));
        QPainter dc(&m_frame);
        dc.setFont(font());
        dc.setPen(kText);
        dc.drawText(m_layout.header, Qt::AlignLeft | Qt::AlignVCenter, m_header);
        m_shownHeader = m_header;
    }
    return m_frame;
}

void CSpectrumView::paintEvent(QPaintEvent* event)
{
    const QImage& frame = PaintFrame();
    const qreal ratio = devicePixelRatioF();
    QPainter out(this);
    for (const QRect& r : event->region())
        out.drawImage(r.topLeft(), frame, QRect(QPoint(qFloor(r.left() * ratio), qFloor(r.top() * ratio)),
                                                QSize(qCeil(r.width() * ratio), qCeil(r.height() * ratio))));
}
