// The keyboard's media keys while the window has the focus.
#include "app/MediaKeys.h"

#include "app/IMediaPlayerHost.h"

#include <QShortcut>
#include <QWidget>

namespace corvane {
void InstallMediaKeys(QWidget& window, IMediaPlayerHost& host)
{
    // Most keyboards have one play key and no pause key: like the desktops, it toggles.
    for (const Qt::Key key : {Qt::Key_MediaPlay, Qt::Key_MediaTogglePlayPause}) {
        QObject::connect(new QShortcut(QKeySequence(key), &window), &QShortcut::activated, &window,
                         [&host] { host.SetPaused(!host.IsPaused()); });
    }
    for (const Qt::Key key : {Qt::Key_MediaPause, Qt::Key_MediaStop}) {
        QObject::connect(new QShortcut(QKeySequence(key), &window), &QShortcut::activated, &window,
                         [&host] { host.SetPaused(true); });
    }
}
} // namespace corvane
