// Pixel art of the Sound buttons, 16 x 15 each, drawn on a transparent face.
#include "app/ToolbarImages.h"

#include <cstdlib>

namespace corvane {
namespace {
QImage BlankImage()
{
    QImage image(kToolbarImageWidth, kToolbarImageHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Rows 3..11 around the middle row 7; the tip reaches five columns right of `left`.
void DrawTriangle(QImage& image, int left)
{
    constexpr int kMid = 7;
    constexpr int kHalf = 4;
    for (int y = kMid - kHalf; y <= kMid + kHalf; ++y) {
        const int reach = (kHalf - std::abs(y - kMid)) * 5 / kHalf;
        for (int x = left; x <= left + reach; ++x)
            image.setPixel(x, y, qRgb(0, 0, 0));
    }
}
} // namespace

QImage LoopButtonImage()
{
    QImage image = BlankImage();
    DrawTriangle(image, 5);
    return image;
}

QImage OneShotButtonImage()
{
    QImage image = BlankImage();
    DrawTriangle(image, 3);
    for (int y = 3; y <= 11; ++y) {
        image.setPixel(10, y, qRgb(0, 0, 0));
        image.setPixel(11, y, qRgb(0, 0, 0));
    }
    return image;
}

QImage PauseButtonImage()
{
    QImage image = BlankImage();
    for (int y = 3; y <= 11; ++y)
        for (int x : {5, 6, 9, 10})
            image.setPixel(x, y, qRgb(0, 0, 0));
    return image;
}
} // namespace corvane
