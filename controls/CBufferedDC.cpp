// Off-screen drawing context shared by the knob, the segment display and the text label.
#include "controls/CBufferedDC.h"

#include <QPaintDevice>

#include <cmath>

namespace {
// The whole target in logical coordinates: images and pixmaps report device pixels.
QRect WholeDevice(const QPaintDevice* d)
{
    const bool pixels = d->devType() == QInternal::Image || d->devType() == QInternal::Pixmap;
    const qreal ratio = pixels ? d->devicePixelRatioF() : 1.0;
    return QRect(0, 0, qRound(d->width() / ratio), qRound(d->height() / ratio));
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
    // The buffer has the target's device pixels, so a control drawn through it is as sharp
    // as text on a scaled display; at a ratio of 1 it is the plain logical-size image.
    const qreal ratio = target->devicePixelRatioF();
    m_bitmap = QImage(static_cast<int>(std::ceil(m_rect.width() * ratio)),
                      static_cast<int>(std::ceil(m_rect.height() * ratio)), QImage::Format_RGB32);
    m_bitmap.setDevicePixelRatio(ratio);
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
