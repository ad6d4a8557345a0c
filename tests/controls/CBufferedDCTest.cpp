// Off-screen context: drawing lands on the target in the target's coordinates, only inside the rect.
#include "controls/CBufferedDC.h"

#include <gtest/gtest.h>

TEST(CBufferedDC, CopiesItsRectangleToTheSamePlace)
{
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        CBufferedDC dc(&target, QRect(5, 5, 10, 10));
        EXPECT_TRUE(dc.IsBuffering());
        dc.fillRect(QRect(0, 0, 20, 20), Qt::red);
        dc.fillRect(QRect(5, 5, 1, 1), Qt::blue);
        // Nothing reaches the target before the context is done.
        EXPECT_EQ(target.pixelColor(7, 7), QColor(Qt::white));
    }
    EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(6, 6), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(14, 14), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(4, 4), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(15, 10), QColor(Qt::white));
}

TEST(CBufferedDC, EmptyRectBuffersTheWholeTarget)
{
    QImage target(8, 6, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        CBufferedDC dc(&target);
        EXPECT_EQ(dc.BufferedRect(), QRect(0, 0, 8, 6));
        dc.fillRect(QRect(0, 0, 8, 6), Qt::green);
    }
    EXPECT_EQ(target.pixelColor(7, 5), QColor(Qt::green));
}
