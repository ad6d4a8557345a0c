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
    void PaintBackground(const corvane::controls::SpectrumLayout& layout, qreal ratio);

    CSpectrumAnalyser m_analyser;
    QBasicTimer m_timer;
    QImage m_background;      // axes, grid and labels: redrawn only when the size changes
    QImage m_frame;           // the off-screen picture each paint updates and shows
    corvane::controls::SpectrumLayout m_layout;
    // Per device row and column of the plot: grid rows, the fill (grid columns showing
    // through), the frequency at each column's left edge, and the line's span this frame.
    std::vector<char> m_gridRow;
    std::vector<QRgb> m_fillRow;
    std::vector<double> m_edgesHz;
    std::vector<int> m_lineTop, m_lineBottom;
    double m_fCutoffHz = 0.0;
    double m_fZoom = 1.0;
    unsigned m_nIdleFrames = 0;
    unsigned m_nFrames = 0;
    bool m_bHeaderDue = true;
};
