// Seven-segment display: painting through the off-screen context and mouse editing.
#include "controls/CSegmentDisplay.h"

#include "controls/CBufferedDC.h"
#include "controls/ColorRef.h"
#include "controls/PrintfFormat.h"

#include <QMouseEvent>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>

using namespace corvane::controls;

namespace {
constexpr int kSevenSegments[] = {kSegTop, kSegUpperRight, kSegLowerRight, kSegBottom,
                                  kSegLowerLeft, kSegUpperLeft, kSegMiddle};

void DrawCell(QPainter& dc, int code, int x0, const SegmentLayout& layout, const QColor& colour)
{
    if (code == kSegDecimalPoint) {
        dc.fillRect(SegmentStrokeRect(SegmentLine(kSegDecimalPoint, x0, layout), layout.penWidth), colour);
        return;
    }
    for (int bit : kSevenSegments)
        if (code & bit)
            dc.fillRect(SegmentStrokeRect(SegmentLine(bit, x0, layout), layout.penWidth), colour);
}

// Truncation toward zero that stays defined for any float.
int TruncToInt(float v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(v, -2147483520.0f, 2147483520.0f));
}
} // namespace

CSegmentDisplay::CSegmentDisplay(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetRange(0.0f, 100.0f);
}

QSize CSegmentDisplay::sizeHint() const
{
    return QSize(qRound(60 * m_fZoom), qRound(20 * m_fZoom));
}

void CSegmentDisplay::SetZoom(double zoom)
{
    if (!(zoom > 0.0) || zoom == m_fZoom)
        return;
    m_fZoom = zoom;
    updateGeometry();
    update();
}

void CSegmentDisplay::SetFormat(const char* fmt)
{
    m_strFormat = QString::fromUtf8(fmt ? fmt : "%0.3f");
    m_bFloatMode = m_strFormat.contains(QLatin1Char('f'));
    Refresh();
}

void CSegmentDisplay::SetColors(COLORREF crSegment, COLORREF crBackground)
{
    m_crSegment = crSegment;
    m_crBackground = crBackground;
    update();
}

void CSegmentDisplay::SetRange(float fMin, float fMax)
{
    m_fValue = std::min(std::max(m_fValue, fMin), fMax);
    m_fMin = fMin;
    m_fMax = fMax;
}

void CSegmentDisplay::SetValue(float v, bool bSetRange, float fMin, float fMax)
{
    m_bFloatMode = true;
    if (bSetRange) {
        SetRange(fMin, fMax);
        v = std::min(std::max(v, fMin), fMax);
    }
    m_fValue = v;
    SetFloatValue(m_fValue);
}

void CSegmentDisplay::SetFloatValue(float v)
{
    m_bFloatMode = true;
    m_strText = FormatNumber(m_strFormat, static_cast<double>(v));
    Refresh();
}

void CSegmentDisplay::SetIntValue(int v)
{
    m_bFloatMode = false;
    m_strText = FormatNumber(m_strFormat, v);
    update();
}

void CSegmentDisplay::ShowPlusSign(int bShow) { m_bPlusSign = bShow; }
void CSegmentDisplay::ShowDigits(bool bShow) { m_bShowDigits = bShow; }

void CSegmentDisplay::Refresh()
{
    update();
}

SegmentLayout CSegmentDisplay::GetLayout() const
{
    return SegmentLayoutFromSize(qRound(width() / m_fZoom), qRound(height() / m_fZoom));
}

void CSegmentDisplay::paintEvent(QPaintEvent*)
{
    CBufferedDC dc(this, rect());
    dc.fillRect(rect(), ToQColor(m_crBackground));
    // The cells follow the size, so a display resized after its first paint still fits.
    const SegmentLayout layout = GetLayout();
    const int baseWidth = qRound(width() / m_fZoom);
    dc.scale(m_fZoom, m_fZoom);
    QString text = m_strText;
    if (m_bPlusSign && !text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char('+'));

    const QColor dimmed = ToQColor(DimmedSegmentColor(m_crSegment));
    for (int i = 0; i < layout.cells; ++i)
        DrawCell(dc, kSegAllSeven, i * layout.cellWidth, layout, dimmed);

    if (m_bShowDigits && layout.cells > 0) {
        const QColor lit = ToQColor(m_crSegment);
        // Characters past the last whole cell are drawn too and clipped at the edge.
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int x0 = static_cast<int>(i) * layout.cellWidth;
            if (x0 >= baseWidth)
                break;
            const QChar c = text.at(i);
            DrawCell(dc, SegmentCharCode(c.unicode() < 128 ? static_cast<char>(c.unicode()) : ' '), x0, layout, lit);
        }
    }
}

void CSegmentDisplay::mousePressEvent(QMouseEvent* event)
{
    const int x = static_cast<int>(event->position().x());
    if (event->button() == Qt::LeftButton) {
        m_bLeftDrag = true;
        m_nLastX = x;
    } else if (event->button() == Qt::RightButton) {
        m_bRightDrag = true;
        m_nLastX = x;
    } else {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
}

void CSegmentDisplay::ShowCurrentValue()
{
    if (m_bFloatMode)
        SetFloatValue(m_fValue);
    else
        SetIntValue(TruncToInt(m_fValue));
}

void CSegmentDisplay::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bLeftDrag && !m_bRightDrag)
        return;
    const int x = static_cast<int>(event->position().x());
    const int d = x - m_nLastX;
    m_nLastX = x;
    m_nLastDelta = d;
    if (m_bLeftDrag)
        m_fValue = m_fValue + static_cast<float>(d);
    else
        m_fValue = m_fValue + static_cast<float>(d) * 0.01f;
    m_fValue = std::min(std::max(m_fValue, m_fMin), m_fMax);
    ShowCurrentValue();
}

void CSegmentDisplay::ClickStep(float direction)
{
    if (m_nLastDelta == 0) {
        const float step = m_bFloatMode ? 0.01f : 1.0f;
        m_fValue = std::min(std::max(m_fValue + direction * step, m_fMin), m_fMax);
        ShowCurrentValue();
    }
    m_nLastDelta = 0;
}

void CSegmentDisplay::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bLeftDrag) {
        ClickStep(-1.0f);
        m_bLeftDrag = false;
    } else if (event->button() == Qt::RightButton && m_bRightDrag) {
        ClickStep(1.0f);
        m_bRightDrag = false;
    } else {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
}
