// Follows the Caps, Num and Scroll Lock states for the status bar's indicator panes.
#include "app/CKeyLockWatcher.h"

#include <QEvent>
#include <QGuiApplication>

namespace corvane {
CKeyLockWatcher::CKeyLockWatcher(Report report, Query query)
    : m_report(std::move(report)), m_query(query ? std::move(query) : Query(&QueryX11))
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
    Refresh();
}

CKeyLockWatcher::~CKeyLockWatcher()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void CKeyLockWatcher::Refresh()
{
    const std::optional<KeyLocks> now = m_query();
    if (!now || now == m_last)
        return;
    m_last = now;
    m_report(*now);
}

bool CKeyLockWatcher::eventFilter(QObject* watched, QEvent* event)
{
    // Key events reach the application object and then each widget up the chain; only the
    // first delivery, to a window, needs a look.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyRelease && watched->isWindowType()) ||
        (type == QEvent::ApplicationStateChange && watched == QCoreApplication::instance()))
        Refresh();
    return QObject::eventFilter(watched, event);
}
} // namespace corvane
