// The trackbar's keys, page size and notifications on top of QSlider.
#include "controls/CTrackbar.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

CTrackbar::CTrackbar(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent)
{
    if (orientation == Qt::Vertical) {
        // Minimum at the top; the wheel turned up moves the thumb up, as the Up key does.
        setInvertedAppearance(true);
        setInvertedControls(true);
    }
    setPageStep(PageSize(minimum(), maximum()));
    // At actionTriggered the position has moved but the value not yet; it is set first, so
    // the receiver reads the new value, as it reads the trackbar's position.
    connect(this, &QAbstractSlider::actionTriggered, this, [this] {
        setValue(sliderPosition());
        emit scrolled();
    });
    // The end of a drag, or a click on the thumb that moved nothing.
    connect(this, &QAbstractSlider::sliderReleased, this, &CTrackbar::scrolled);
}

QAbstractSlider::SliderAction CTrackbar::KeyAction(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left: return SliderSingleStepSub;
    case Qt::Key_Down:
    case Qt::Key_Right: return SliderSingleStepAdd;
    case Qt::Key_PageUp: return SliderPageStepSub;
    case Qt::Key_PageDown: return SliderPageStepAdd;
    case Qt::Key_Home: return SliderToMinimum;
    case Qt::Key_End: return SliderToMaximum;
    default: return SliderNoAction;
    }
}

int CTrackbar::PageSize(int minimum, int maximum)
{
    return std::max(1, (maximum - minimum) / 5);
}

QRect CTrackbar::GetThumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

void CTrackbar::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const SliderAction action = plain ? KeyAction(event->key()) : SliderNoAction;
    if (action == SliderNoAction) {
        QSlider::keyPressEvent(event);
        return;
    }
    // Every key is an action, even at the end of the range where nothing moves.
    triggerAction(action);
    event->accept();
}

void CTrackbar::sliderChange(SliderChange change)
{
    if (change == SliderRangeChange)
        setPageStep(PageSize(minimum(), maximum()));
    QSlider::sliderChange(change);
}
