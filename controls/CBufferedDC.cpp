// Off-screen drawing context shared by the knob and the segment display.
#include "controls/CBufferedDC.h"

#include <QPaintDevice>

namespace {
QRect WholeDevice(const QPaintDevice* d)
{
    return QRect(0, 0, d->width(), d->height());
}
} // namespace

CBufferedDC::CBufferedDC(QPaintDevice* target, const QRect& rect)
    : m_pTarget(target)
    , m_rect(rect.isEmpty() ? WholeDevice(target) : rect)
    , m_bMemDC(target->devType() != QInternal::Printer && !m_rect.isEmpty())
{
    if (!m_bMemDC) {
        begin(target);
        return;
    }
    m_bitmap = QImage(m_rect.size(), QImage::Format_RGB32);
    m_bitmap.fill(Qt::black);
    // Fonts given in points must come out the size they would on the target.
    m_bitmap.setDotsPerMeterX(qRound(target->logicalDpiX() / 0.0254));
    m_bitmap.setDotsPerMeterY(qRound(target->logicalDpiY() / 0.0254));
    begin(&m_bitmap);
    translate(-m_rect.topLeft());
}

CBufferedDC::~CBufferedDC()
{
    end();
    if (m_bMemDC) {
        QPainter out(m_pTarget);
        out.drawImage(m_rect.topLeft(), m_bitmap);
    }
}
