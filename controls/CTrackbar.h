// A slider that acts as the common-controls trackbar: every user action is reported (a click
// on the thumb that moves nothing, the end of a drag, a key at the end of the range), Up and
// PageUp move toward the minimum on either orientation, vertical ones have their minimum at
// the top, and the page is a fifth of the range. Positions set from code (setValue) are not
// user actions and are never reported.
#pragma once

#include <QSlider>

class CTrackbar : public QSlider
{
    Q_OBJECT

public:
    explicit CTrackbar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The action a key stands for (SliderNoAction for keys the trackbar does not use). Up,
    // Left and PageUp go toward the minimum; Down, Right and PageDown toward the maximum.
    static SliderAction KeyAction(int key);
    // The trackbar's default page: a fifth of the range (at least 1).
    static int PageSize(int minimum, int maximum);

    // The thumb's rectangle in widget coordinates.
    QRect GetThumbRect() const;

signals:
    // A user action has ended with value() set; the position may be unchanged.
    void scrolled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void sliderChange(SliderChange change) override;
};
