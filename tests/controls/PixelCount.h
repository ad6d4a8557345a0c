// How many pixels of a grabbed image, or of a rectangle of it, have one colour or pass a test.
#pragma once

#include <QImage>

template <class Match> int CountPixels(const QImage& image, const QRect& area, Match match)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += match(image.pixelColor(x, y));
    return n;
}

inline int CountPixels(const QImage& image, const QRect& area, const QColor& colour)
{
    return CountPixels(image, area, [&](const QColor& c) { return c.rgb() == colour.rgb(); });
}

inline int CountPixels(const QImage& image, const QColor& colour) { return CountPixels(image, image.rect(), colour); }
