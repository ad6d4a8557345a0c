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
const QColor kCurve(255, 204, 51);         // the read-outs' segment colour
const QColor kCurveFill(72, 62, 36);       // the curve's colour faintly over the plot
const QColor kGridOverFill(64, 60, 58);     // a grid line seen through the fill
const QColor kCutoff(102, 204, 255);
const QColor kPeakBar(255, 204, 51);
const QColor kRmsBar(120, 210, 130);
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
    if (++m_nFrames % kFramesPerReadout == 0 || m_bHeaderDue) {
        m_bHeaderDue = true;
        update();
    } else {
        update(m_layout.plot.united(m_layout.meter));
    }
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
// Device-pixel rectangle of a logical one.
QRect DeviceRect(const QRect& r, qreal ratio)
{
    const int left = qFloor(r.left() * ratio), top = qFloor(r.top() * ratio);
    return QRect(left, top, qFloor((r.right() + 1) * ratio) - left, qFloor((r.bottom() + 1) * ratio) - top);
}

// Copies a rectangle of device pixels between two images of the same format and size.
void CopyPixels(QImage& to, const QImage& from, const QRect& d)
{
    for (int y = d.top(); y <= d.bottom(); ++y)
        std::memcpy(to.scanLine(y) + d.left() * 4, from.constScanLine(y) + d.left() * 4, std::size_t(d.width()) * 4);
}

void FillPixels(QImage& image, const QRect& d, QRgb colour)
{
    for (int y = d.top(); y <= d.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row + d.left(), row + d.left() + d.width(), colour);
    }
}
} // namespace

const QImage& CSpectrumView::PaintFrame()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qCeil(width() * ratio), qCeil(height() * ratio));
    if (m_background.size() != pixels || m_background.devicePixelRatio() != ratio) {
        m_layout = Layout();
        PaintBackground(m_layout, ratio);
        m_frame = m_background.copy();
        m_bHeaderDue = true;
    }
    const SpectrumLayout& l = m_layout;
    const QRect& p = l.plot;
    const QRect dp = DeviceRect(p, ratio).intersected(m_frame.rect());
    const QRect dm = DeviceRect(l.meter, ratio).intersected(m_frame.rect());

    // Plain pixel writes: Qt's span blending would hand a picture this tall to its thread
    // pool, which costs more than the drawing itself.
    CopyPixels(m_frame, m_background, dm);

    // The curve: per pixel column the mean level of the bins under it, in device rows. Row by
    // row: the plot's background, then from the line down, the line reaching to just short
    // of the level left of it and the fill below it (the grid showing through).
    const QRgb fill = kCurveFill.rgb(), gridFill = kGridOverFill.rgb(), grid = kGrid.rgb(), line = kCurve.rgb();
    const int rows = dp.height(), columns = dp.width();
    if (m_gridRow.size() != std::size_t(rows) || m_fillRow.size() != std::size_t(columns)) {
        // Which rows and columns are grid lines: the background's first column is never
        // one, nor is the row of the plot just above its bottom.
        m_gridRow.resize(std::size_t(rows));
        for (int r = 0; r < rows; ++r)
            m_gridRow[std::size_t(r)] = reinterpret_cast<const QRgb*>(m_background.constScanLine(dp.top() + r))[dp.left()] == grid;
        const auto* plain = reinterpret_cast<const QRgb*>(m_background.constScanLine(dp.bottom() - 1)) + dp.left();
        m_fillRow.resize(std::size_t(columns));
        m_edgesHz.resize(std::size_t(columns) + 1);
        for (int i = 0; i < columns; ++i)
            m_fillRow[std::size_t(i)] = plain[i] == grid ? gridFill : fill;
        for (int i = 0; i <= columns; ++i)
            m_edgesHz[std::size_t(i)] = FrequencyOfX((dp.left() + i - 0.5) / ratio, p, kMaxHz);
        m_lineTop.resize(std::size_t(columns));
        m_lineBottom.resize(std::size_t(columns));
    }
    int previous = -1;
    for (int i = 0; i < columns; ++i) {
        const float db = m_analyser.BandLevelDb(m_edgesHz[std::size_t(i)], m_edgesHz[std::size_t(i) + 1]);
        const double t = std::clamp((kSpectrumTopDb - db) / (kSpectrumTopDb - kSpectrumBottomDb), 0.0, 1.0);
        const int level = static_cast<int>(std::lround(t * (rows - 1)));
        if (previous < 0)
            previous = level;
        m_lineTop[std::size_t(i)] = std::min(level, previous + 1);
        m_lineBottom[std::size_t(i)] = std::max(level, previous - 1);
        previous = level;
    }
    const int* lineTop = m_lineTop.data();
    const int* lineBottom = m_lineBottom.data();
    for (int r = 0; r < rows; ++r) {
        auto* row = reinterpret_cast<QRgb*>(m_frame.scanLine(dp.top() + r)) + dp.left();
        std::memcpy(row, m_background.constScanLine(dp.top() + r) + dp.left() * 4, std::size_t(columns) * 4);
        const bool gridRow = m_gridRow[std::size_t(r)];
        const QRgb* below = m_fillRow.data();
        for (int i = 0; i < columns; ++i) {
            const QRgb under = gridRow ? gridFill : below[i];
            row[i] = r < lineTop[i] ? row[i] : (r <= lineBottom[i] ? line : under);
        }
    }

    if (m_fCutoffHz >= kSpectrumMinHz && m_fCutoffHz <= kMaxHz) {
        const int x = static_cast<int>(std::lround(XOfFrequency(m_fCutoffHz, p, kMaxHz)));
        const QRgb marker = kCutoff.rgb();
        FillPixels(m_frame, DeviceRect(QRect(x, p.top(), 1, p.height()), ratio).intersected(dp), marker);
        FillPixels(m_frame, DeviceRect(QRect(x - 2, p.top(), 5, 2), ratio).intersected(dp), marker);
    }

    // Meter: peak bar, then RMS bar, from -60 dBFS up to their level.
    const int bar = l.meter.width() / 2 - 1;
    const auto drawBar = [&](int left, float db, const QColor& colour) {
        if (db <= kMeterBottomDb)
            return;
        const int top = YOfDb(db, l.meter, 0.0, kMeterBottomDb);
        FillPixels(m_frame, DeviceRect(QRect(left, top, bar, l.meter.bottom() - top + 1), ratio).intersected(dm),
                   colour.rgb());
    };
    drawBar(l.meter.left(), m_analyser.PeakDb(), kPeakBar);
    drawBar(l.meter.right() - bar + 1, m_analyser.RmsDb(), kRmsBar);

    // The numbers change a few times a second, slow enough to read.
    if (m_bHeaderDue) {
        CopyPixels(m_frame, m_background, DeviceRect(l.header, ratio).intersected(m_frame.rect()));
        QPainter dc(&m_frame);
        dc.setFont(font());
        dc.setPen(kText);
        dc.drawText(l.header, Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("Peak %1   RMS %2 dBFS")
                        .arg(FormatDbfs(m_analyser.PeakDb()), FormatDbfs(m_analyser.RmsDb())));
        m_bHeaderDue = false;
    }
    return m_frame;
}

void CSpectrumView::paintEvent(QPaintEvent* event)
{
    const QImage& frame = PaintFrame();
    const qreal ratio = devicePixelRatioF();
    QPainter out(this);
    const QRect r = event->rect();
    out.drawImage(r.topLeft(), frame, QRect(QPoint(qFloor(r.left() * ratio), qFloor(r.top() * ratio)),
                                            QSize(qCeil(r.width() * ratio), qCeil(r.height() * ratio))));
}
