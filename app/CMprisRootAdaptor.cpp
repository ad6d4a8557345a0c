// The MPRIS root interface: who the player is, and raising or quitting it.
#include "app/CMprisRootAdaptor.h"

#include "app/IMediaPlayerHost.h"

namespace corvane {
CMprisRootAdaptor::CMprisRootAdaptor(QObject* object, IMediaPlayerHost& host)
    : QDBusAbstractAdaptor(object), m_host(host)
{
}

void CMprisRootAdaptor::Raise() { m_host.Raise(); }

void CMprisRootAdaptor::Quit() { m_host.Quit(); }
} // namespace corvane
