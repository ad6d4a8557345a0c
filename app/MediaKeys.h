// The keyboard's media keys while the window has the focus. Desktops that turn these keys into
// player commands grab them first, and then they arrive over the bus instead.
#pragma once

class QWidget;

namespace corvane {
class IMediaPlayerHost;

// Play (or Play/Pause) toggles the pause, Pause and Stop pause; `host` must outlive `window`'s
// shortcuts, which `window` owns.
void InstallMediaKeys(QWidget& window, IMediaPlayerHost& host);
} // namespace corvane
