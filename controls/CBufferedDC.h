// Off-screen drawing context: a painter on an image that is copied to the target when done.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

class QPaintDevice;

// Construct it on the target (usually the widget inside paintEvent) and draw through it as
// through any QPainter, in the target's coordinates; the destructor copies the buffered
// rectangle to the same place on the target in one go, so the control never flickers.
// The buffer holds the target's device pixels (twice as many each way at a display scale of
// 2), so what is drawn in logical coordinates comes out sharp. On a printer nothing is
// buffered and the drawing goes straight to the target.
class CBufferedDC : public QPainter
{
public:
    // rect: the part of the target to buffer; empty means the whole target.
    explicit CBufferedDC(QPaintDevice* target, const QRect& rect = QRect());
    ~CBufferedDC();

    CBufferedDC(const CBufferedDC&) = delete;
    CBufferedDC& operator=(const CBufferedDC&) = delete;

    QRect BufferedRect() const { return m_rect; }

private:
    QImage m_bitmap;
    QPaintDevice* m_pTarget;
    QRect m_rect;
    bool m_bMemDC;
};
