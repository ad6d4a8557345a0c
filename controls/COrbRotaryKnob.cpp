// Rotary knob: painting, pointer and keyboard handling over the slider model.
#include "controls/COrbRotaryKnob.h"

#include "controls/CBufferedDC.h"
#include "controls/ColorRef.h"
#include "controls/KnobGeometry.h"
#include "controls/PrintfFormat.h"
#include "controls/SystemColors.h"

#include <QConicalGradient>
#include <QKeyEvent>
#include <QPen>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>

using namespace corvane::controls;

COrbRotaryKnob::COrbRotaryKnob(QWidget* parent)
    : QAbstractSlider(parent)
    , m_strFormat(QStringLiteral("%ld\u00B0"))
{
    setFocusPolicy(Qt::StrongFocus);
    // Painting covers the whole client area; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setRange(0, 359);
    setSingleStep(1);
    setPageStep(10);
    UpdateRegion();
}

void COrbRotaryKnob::SetFormat(const QString& format) { m_strFormat = format; }
QString COrbRotaryKnob::GetFormat() const { return m_strFormat; }
QString COrbRotaryKnob::GetFormattedPos() const { return FormatNumber(m_strFormat, value()); }
void COrbRotaryKnob::SetRingInset(int inset) { m_nRingInset = inset; }
int COrbRotaryKnob::GetRingInset() const { return m_nRingInset; }
void COrbRotaryKnob::SetZeroAngle(int degrees) { m_nZeroAngle = degrees; }
int COrbRotaryKnob::GetZeroAngle() const { return m_nZeroAngle; }
void COrbRotaryKnob::SetInverted(bool inverted) { m_bInverted = inverted; }
bool COrbRotaryKnob::IsInverted() const { return m_bInverted; }

QSize COrbRotaryKnob::sizeHint() const
{
    return QSize(qRound(45 * m_fZoom), qRound(45 * m_fZoom));
}

void COrbRotaryKnob::SetZoom(double zoom)
{
    if (!(zoom > 0.0) || zoom == m_fZoom)
        return;
    m_fZoom = zoom;
    BuildRegion();
    updateGeometry();
    update();
}

void COrbRotaryKnob::BuildRegion()
{
    const int side = std::max(0, std::min(width(), height()));
    const int s = qRound(side / m_fZoom);
    m_ptCenter = QPoint(s / 2, s / 2);
    m_nRadius = s / 2 - m_nRingInset - 1;
    setMask(QRegion(0, 0, side, side, QRegion::Ellipse));
}

void COrbRotaryKnob::UpdateRegion()
{
    BuildRegion();
    setValue(0);
}

bool COrbRotaryKnob::SetPosFromPoint(const QPoint& point)
{
    const int unclamped = KnobPositionFromOffset(qRound(point.x() / m_fZoom) - m_ptCenter.x(),
                                                 qRound(point.y() / m_fZoom) - m_ptCenter.y(),
                                                 minimum(), maximum(), m_nZeroAngle, m_bInverted);
    // Compared before clamping: in the dead sector this reports a change at the limit.
    const bool changed = unclamped != value();
    if (changed)
        setValue(KnobClampPointerPosition(unclamped));
    return changed;
}

void COrbRotaryKnob::NotifyParent(int code)
{
    if (!parentWidget())
        return;
    // Posted, not sent: the owner handles it after this handler returns.
    const int position = value();
    QMetaObject::invokeMethod(
        this, [this, code, position] { emit hScroll(code, position); }, Qt::QueuedConnection);
}

void COrbRotaryKnob::Redraw()
{
    update();
}

void COrbRotaryKnob::Step(int delta, int code)
{
    setValue(KnobStep(value(), delta, minimum(), maximum()));
    Redraw();
    NotifyParent(code);
}

void COrbRotaryKnob::paintEvent(QPaintEvent* event)
{
    CBufferedDC dc(this, event->rect());
    const double scale = m_fZoom * devicePixelRatioF();
    if (scale != 1.0) {
        PaintScaled(dc);
        return;
    }
    const QPalette& pal = palette();
    const auto plot = [&dc](const KnobPixel& p) { dc.fillRect(QRect(p.x, p.y, 1, 1), ToQColor(p.colour)); };

    dc.fillRect(rect(), ToQColor(GetSysColor(pal, COLOR_BTNFACE)));
    const int r = m_nRadius;
    for (const KnobPixel& p : ShadedRingPixels(m_ptCenter.x(), m_ptCenter.y(), r, GetSysColor(pal, COLOR_BTNHIGHLIGHT),
                                               GetSysColor(pal, COLOR_3DDKSHADOW)))
        plot(p);
    for (const KnobPixel& p : ShadedRingPixels(m_ptCenter.x(), m_ptCenter.y(), r - 1, GetSysColor(pal, COLOR_3DLIGHT),
                                               GetSysColor(pal, COLOR_BTNSHADOW)))
        plot(p);
    const int angle = KnobAngle(value(), minimum(), maximum(), m_nZeroAngle, m_bInverted);
    for (const KnobPixel& p : KnobMarkerPixels(KnobMarkerCentre(m_ptCenter.x(), m_ptCenter.y(), r, angle)))
        plot(p);
}

void COrbRotaryKnob::PaintScaled(QPainter& dc)
{
    // The rings become smooth circles one template pixel wide, shaded by the same light as
    // the pixel rings; the marker is the same 5 x 5 dot, enlarged.
    const QPalette& pal = palette();
    dc.fillRect(rect(), ToQColor(GetSysColor(pal, COLOR_BTNFACE)));
    dc.scale(m_fZoom, m_fZoom);
    dc.setRenderHint(QPainter::Antialiasing, true);
    const QPointF centre(m_ptCenter.x() + 0.5, m_ptCenter.y() + 0.5);
    const auto ring = [&](int radius, COLORREF light, COLORREF dark) {
        if (radius < 0)
            return;
        QConicalGradient shade(centre, 0.0);
        for (const KnobShadeStop& stop : ShadedRingStops(light, dark, 72))
            shade.setColorAt(stop.t, ToQColor(stop.colour));
        dc.setPen(QPen(QBrush(shade), 1.0));
        dc.setBrush(Qt::NoBrush);
        dc.drawEllipse(centre, radius, radius);
    };
    const int r = m_nRadius;
    ring(r, GetSysColor(pal, COLOR_BTNHIGHLIGHT), GetSysColor(pal, COLOR_3DDKSHADOW));
    ring(r - 1, GetSysColor(pal, COLOR_3DLIGHT), GetSysColor(pal, COLOR_BTNSHADOW));
    dc.setRenderHint(QPainter::Antialiasing, false);
    const int angle = KnobAngle(value(), minimum(), maximum(), m_nZeroAngle, m_bInverted);
    for (const KnobPixel& p : KnobMarkerPixels(KnobMarkerCentre(m_ptCenter.x(), m_ptCenter.y(), r, angle)))
        dc.fillRect(QRectF(p.x, p.y, 1, 1), ToQColor(p.colour));
}

void COrbRotaryKnob::resizeEvent(QResizeEvent* event)
{
    QAbstractSlider::resizeEvent(event);
    // A resize of a hidden widget reaches us only when it is shown, after the owner has set
    // its position; only a resize of a widget that already had a size resets the position.
    if (event->oldSize().isValid())
        UpdateRegion();
    else
        BuildRegion();
}

void COrbRotaryKnob::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_bDragging) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_bDragging = true;
    m_bDragChanged = false;
    setFocus(Qt::MouseFocusReason);
    if (SetPosFromPoint(event->position().toPoint())) {
        m_bDragChanged = true;
        NotifyParent(SB_THUMBTRACK);
    }
    Redraw();
}

void COrbRotaryKnob::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (SetPosFromPoint(event->position().toPoint())) {
        m_bDragChanged = true;
        NotifyParent(SB_THUMBTRACK);
        Redraw();
    }
}

void COrbRotaryKnob::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_bDragging = false;
    if (SetPosFromPoint(event->position().toPoint())) {
        NotifyParent(SB_THUMBTRACK);
        m_bDragChanged = true;
    }
    if (m_bDragChanged) {
        NotifyParent(SB_THUMBPOSITION);
        m_bDragChanged = false;
    }
    Redraw();
}

void COrbRotaryKnob::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp: Step(-pageStep(), SB_PAGEUP); break;
    case Qt::Key_PageDown: Step(pageStep(), SB_PAGEDOWN); break;
    case Qt::Key_Left:
    case Qt::Key_Up: Step(-singleStep(), SB_LINEUP); break;
    case Qt::Key_Right:
    case Qt::Key_Down: Step(singleStep(), SB_LINEDOWN); break;
    case Qt::Key_Home:
    case Qt::Key_End: break; // swallowed
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void COrbRotaryKnob::keyReleaseEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        // Auto-repeat delivers a release per repeat; the scroll ends only at the real one.
        if (!event->isAutoRepeat())
            NotifyParent(SB_ENDSCROLL);
        break;
    case Qt::Key_Home:
    case Qt::Key_End: break;
    default: QWidget::keyReleaseEvent(event); return;
    }
    event->accept();
}

void COrbRotaryKnob::wheelEvent(QWheelEvent* event)
{
    // One line step per wheel notch, turning up increases, like the arrow keys.
    m_nWheelDelta += event->angleDelta().y();
    bool stepped = false;
    for (; m_nWheelDelta >= 120; m_nWheelDelta -= 120, stepped = true)
        Step(singleStep(), SB_LINEDOWN);
    for (; m_nWheelDelta <= -120; m_nWheelDelta += 120, stepped = true)
        Step(-singleStep(), SB_LINEUP);
    if (stepped)
        NotifyParent(SB_ENDSCROLL);
    event->accept();
}
