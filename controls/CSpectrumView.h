// The spectrum pane: live spectrum of the sound being played, its peak and RMS meter, and a
// marker at the filter's cutoff.
#pragma once

#include "controls/CSpectrumAnalyser.h"
#include "controls/SpectrumGeometry.h"

#include <QBasicTimer>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QWidget>

#include <cstdint>
#include <vector>

// Fed with the rendered blocks while it is shown (IsActive); analyses and repaints on its own
// timer about 30 times a second. While hidden its timer stops and it takes nothing, so it
// costs nothing. When no block arrives for a few frames (muted, stopped) it hears silence,
// and the curve and the meter fall.
class CSpectrumView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFrameMs = 33;
    static constexpr double kMaxHz = 22050.0; // the rendered blocks' Nyquist frequency

    explicit CSpectrumView(QWidget* parent = nullptr);

    // True while shown: only then does a block need to be handed over.
    bool IsActive() const { return isVisible(); }
    // One rendered block: 16-bit samples, the output gain (0..1) and the rate it plays at.
    void AddBlock(const std::int16_t* samples, unsigned count, float gain, double sampleRate);
    // Cutoff frequency to mark, Hz; 0 or less: no marker (the filter is not in the chain).
    void SetCutoff(double hz);
    double GetCutoff() const { return m_fCutoffHz; }
    // Size factor of the panel beside it: text and bars grow with it.
    void SetZoom(double zoom);

    // One display frame now (the timer's work): analyse, then repaint.
    void NextFrame();
    const CSpectrumAnalyser& Analyser() const { return m_analyser; }
    // Brings the off-screen picture up to date and returns it (device pixels); paintEvent
    // shows it.
    const QImage& PaintFrame();
    corvane::controls::SpectrumLayout Layout() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool GeometryCurrent() const;
    void Rebuild();
    void PaintBackground(const corvane::controls::SpectrumLayout& layout, qreal ratio);
    // This frame's picture in device rows and columns (curve, marker, bars, numbers), and
    // where it differs from what the off-screen frame shows, asked to be repainted.
    void Plan(bool repaint);
    void RepaintDevice(const QRect& device, bool repaint);
    // Column i of the plot, device rows from..to, as this frame wants it.
    void PaintColumn(QRgb* frame, const QRgb* background, int i, int from, int to) const;
    QString HeaderText() const;

    CSpectrumAnalyser m_analyser;
    QBasicTimer m_timer;
    QImage m_background;      // axes, grid and labels: redrawn only when the size changes
    QImage m_frame;           // the off-screen picture: each paint changes only what moved
    corvane::controls::SpectrumLayout m_layout;
    QRect m_plotPixels, m_meterPixels; // the plot and the meter in device pixels
    // Per device row and column of the plot: grid rows, the fill (grid columns showing
    // through), the frequency at each column's left edge.
    std::vector<char> m_gridRow;
    std::vector<QRgb> m_fillRow;
    std::vector<double> m_edgesHz;
    // The line's span per column, in plot rows: as the frame shows it and as this frame
    // wants it. A shown top of -1: the column is rewritten whole.
    std::vector<int> m_shownTop, m_shownBottom, m_lineTop, m_lineBottom;
    int m_nMarkerX = -1;                  // the cutoff marker's column, or -1: none
    QRect m_markerLine, m_markerHead;     // its device pixels, relative to the plot's
    // The bars' device columns and their lit tops, shown and wanted (below the meter: unlit).
    int m_barLeft[2] = {}, m_barRight[2] = {};
    int m_shownBarTop[2] = {}, m_barTop[2] = {};
    QString m_header, m_shownHeader;
    double m_fCutoffHz = 0.0;
    double m_fZoom = 1.0;
    unsigned m_nIdleFrames = 0;
    unsigned m_nFrames = 0;
};
