// Circular dial on a slider model: paints a shaded ring with a position marker and reports moves.
#pragma once

#include <QAbstractSlider>
#include <QString>

class QPainter;

// The slider model (minimum(), maximum(), value(), singleStep(), pageStep()) holds range,
// position, line size and page size; the knob only paints and handles input. Defaults:
// range 0..359, line size 1, page size 10, zero angle 0, not inverted.
//
// Every user change is reported with hScroll(code, position), always delivered through the
// event loop (as a posted message would be), whatever the connection type, and only when the
// knob has a parent widget. Setting the position from code (setValue) never emits hScroll.
class COrbRotaryKnob : public QAbstractSlider
{
    Q_OBJECT

public:
    // Notification codes, the Windows scroll-bar values.
    enum ScrollCode {
        SB_LINEUP = 0,
        SB_LINEDOWN = 1,
        SB_PAGEUP = 2,
        SB_PAGEDOWN = 3,
        SB_THUMBPOSITION = 4,
        SB_THUMBTRACK = 5,
        SB_TOP = 6,
        SB_BOTTOM = 7,
        SB_ENDSCROLL = 8,
    };

    explicit COrbRotaryKnob(QWidget* parent = nullptr);

    // printf format for GetFormattedPos with one integer conversion; default "%ld°".
    virtual void SetFormat(const QString& format);
    virtual QString GetFormat() const;
    virtual QString GetFormattedPos() const;

    // Pixels between the window edge and the outer ring, less one (default 7); applies at
    // the next UpdateRegion.
    virtual void SetRingInset(int inset);
    virtual int GetRingInset() const;

    // Degrees (clockwise from 12 o'clock) added to the position's angle; no redraw.
    virtual void SetZeroAngle(int degrees);
    virtual int GetZeroAngle() const;

    // Counter-clockwise dial when true; no redraw.
    virtual void SetInverted(bool inverted);
    virtual bool IsInverted() const;

    // Rebuilds the circular window over the largest top-left square and resets the position
    // to 0 (the owner sets its position afterwards).
    virtual void UpdateRegion();

    // Moves the position to the point (widget coordinates), clamped to 60..300. Returns
    // whether the unclamped position differs from the current one, so a drag in the dead
    // sector keeps reporting.
    virtual bool SetPosFromPoint(const QPoint& point);

    // Size factor of the panel (1.0 = the dialog template's size): the dial is drawn as its
    // template-sized picture enlarged by it. Rebuilds the region without moving the position.
    void SetZoom(double zoom);
    double GetZoom() const { return m_fZoom; }

    // Geometry of the current region, for callers that place things on the dial, in
    // template-sized pixels (widget pixels divided by the zoom).
    QPoint GetCenter() const { return m_ptCenter; }
    int GetRadius() const { return m_nRadius; }

    QSize sizeHint() const override;

signals:
    // code: one of ScrollCode; position: the position when the change happened.
    void hScroll(int code, int position);

protected:
    virtual void NotifyParent(int code);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void BuildRegion();
    void Redraw();
    void Step(int delta, int code);
    void PaintScaled(QPainter& dc);

    QPoint m_ptCenter;
    int m_nRadius = 0;
    int m_nZeroAngle = 0;
    bool m_bInverted = false;
    QString m_strFormat;
    int m_nRingInset = 7;
    bool m_bDragging = false;
    bool m_bDragChanged = false;
    int m_nWheelDelta = 0; // wheel movement not yet turned into steps
    double m_fZoom = 1.0;
};
