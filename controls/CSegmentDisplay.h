// Seven-segment LED read-out of a number, editable with mouse drags and clicks.
#pragma once

#include "controls/SegmentGeometry.h"
#include "platform/wintypes.h"

#include <QString>
#include <QWidget>

// Every cell shows its seven segments dimmed; the characters of the text are lit on top,
// one cell per character (the decimal point too). The cell size follows the height: a
// 20-pixel-high display has 12-pixel cells.
//
// Mouse edits: left-drag changes the value by 1 per pixel, right-drag by 0.01 per pixel; a
// click without movement steps down (left) or up (right) by 0.01 in float mode, 1 otherwise;
// all clamped to the range. The display emits nothing: edits change only what it shows.
class CSegmentDisplay : public QWidget
{
    Q_OBJECT

public:
    explicit CSegmentDisplay(QWidget* parent = nullptr);

    // printf format with one conversion; nullptr means "%0.3f". A format containing the
    // letter 'f' selects float mode. The shown text changes at the next value.
    void SetFormat(const char* fmt);
    // Lit segment colour and background (COLORREF 0x00BBGGRR); defaults 0xFFFF33, 0.
    void SetColors(COLORREF crSegment, COLORREF crBackground);
    // Bounds of the value; clamps the current value into them (no repaint).
    void SetRange(float fMin, float fMax);
    // Float mode; with bSetRange the bounds are set first and v clamped into them,
    // otherwise v is taken as it is.
    void SetValue(float v, bool bSetRange, float fMin, float fMax);
    // Show v formatted (float mode / integer mode). They only show: the value that mouse
    // edits start from is the one of SetValue or of the last edit.
    void SetFloatValue(float v);
    void SetIntValue(int v);
    // Prefix "+" to texts that do not start with "-" (a blank cell that lines positives up
    // with negatives); next paint.
    void ShowPlusSign(int bShow);
    // When false only the dimmed cells are shown; next paint.
    void ShowDigits(bool bShow);
    void Refresh();
    // Size factor of the panel (1.0 = the dialog template's size, 2.0 = twice as large): the
    // display is drawn as its template-sized picture enlarged by it, pens included.
    void SetZoom(double zoom);
    double GetZoom() const { return m_fZoom; }

    QString GetText() const { return m_strText; }
    QString GetFormat() const { return m_strFormat; }
    float GetValue() const { return m_fValue; }
    float GetMin() const { return m_fMin; }
    float GetMax() const { return m_fMax; }
    bool IsFloatMode() const { return m_bFloatMode; }
    // Layout for the current size at the current zoom (what the next paint uses), in
    // template-sized pixels.
    corvane::controls::SegmentLayout GetLayout() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowCurrentValue();
    void ClickStep(float direction);

    int m_nLastDelta = 0;
    QString m_strText = QStringLiteral("0");
    QString m_strFormat = QStringLiteral("%.3d");
    float m_fMin = 0.0f;
    float m_fMax = 100.0f;
    int m_nLastX = 0;
    COLORREF m_crBackground = 0x000000;
    COLORREF m_crSegment = 0xFFFF33;
    float m_fValue = 0.0f;
    bool m_bLeftDrag = false;
    bool m_bRightDrag = false;
    bool m_bFloatMode = false;
    int m_bPlusSign = 0;
    bool m_bShowDigits = true;
    double m_fZoom = 1.0;
};
