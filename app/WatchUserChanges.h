// Tells when the user changes any control under a widget: a slider or knob moved, a list
// entry chosen, a box ticked or a button pressed. Positions the program sets itself are set
// with the controls' signals blocked, so they do not count.
#pragma once

#include <functional>

class QWidget;

namespace corvane {
void WatchUserChanges(QWidget* root, const std::function<void()>& onChange);
} // namespace corvane
