// How many pixels of a grabbed image have exactly one colour.
#pragma once

#include <QImage>

#include <algorithm>

inline int CountPixels(const QImage& image, const QColor& colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32); // 32-bit rows: no padding
    const auto* p = reinterpret_cast<const QRgb*>(rgb.constBits());
    return static_cast<int>(std::count(p, p + rgb.width() * rgb.height(), colour.rgb()));
}
