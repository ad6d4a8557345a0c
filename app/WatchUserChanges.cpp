// Connects every control under a widget to one change handler.
#include "app/WatchUserChanges.h"

#include "controls/CTrackbar.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QScrollBar>
#include <QWidget>

namespace corvane {
void WatchUserChanges(QWidget* root, const std::function<void()>& onChange)
{
    if (!root)
        return;
    for (QAbstractSlider* slider : root->findChildren<QAbstractSlider*>()) {
        if (qobject_cast<QScrollBar*>(slider))
            continue; // scrolling the view changes no sound
        QObject::connect(slider, &QAbstractSlider::valueChanged, root, [onChange] { onChange(); });
        // A trackbar re-applies its position on every action, even where it does not move.
        if (auto* trackbar = qobject_cast<CTrackbar*>(slider))
            QObject::connect(trackbar, &CTrackbar::scrolled, root, [onChange] { onChange(); });
    }
    for (QComboBox* list : root->findChildren<QComboBox*>())
        QObject::connect(list, &QComboBox::currentIndexChanged, root, [onChange] { onChange(); });
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>())
        QObject::connect(button, &QAbstractButton::clicked, root, [onChange] { onChange(); });
}
} // namespace corvane
