// Offers the program to the desktop's player controls (MPRIS 2) on the session bus.
#include "app/CMprisService.h"

#include "app/CMprisPlayerAdaptor.h"
#include "app/CMprisRootAdaptor.h"
#include "app/IMediaPlayerHost.h"
#include "platform/kernel.h"

#include <QDBusMessage>
#include <QStringList>

namespace corvane {
const QString CMprisService::kServiceName = QStringLiteral("org.mpris.MediaPlayer2.corvane");
const QString CMprisService::kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

namespace {
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
} // namespace

CMprisService::CMprisService(IMediaPlayerHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_bus(QStringLiteral("not connected"))
{
    new CMprisRootAdaptor(this, host);
    new CMprisPlayerAdaptor(this, host);
}

CMprisService::~CMprisService()
{
    if (m_bRegistered) {
        m_bus.unregisterObject(kObjectPath);
        m_bus.unregisterService(kServiceName);
    }
}

bool CMprisService::Register(QDBusConnection bus)
{
    QString problem;
    if (!bus.isConnected()) {
        problem = QStringLiteral("no session bus");
    } else if (!bus.registerObject(kObjectPath, this)) {
        problem = QStringLiteral("cannot offer %1 on the session bus").arg(kObjectPath);
    } else if (!bus.registerService(kServiceName)) {
        // The request does not queue: a second Corvane runs on without the controls.
        bus.unregisterObject(kObjectPath);
        problem = QStringLiteral("the name %1 is taken").arg(kServiceName);
    }
    if (!problem.isEmpty()) {
        const QString line = QStringLiteral("Corvane: %1; media keys and the desktop's player controls "
                                            "will not reach this window\r\n")
                                 .arg(problem);
        OutputDebugStringA(line.toLocal8Bit().constData());
        return false;
    }
    m_bus = bus;
    m_bRegistered = true;
    m_strSentStatus = CMprisPlayerAdaptor::StatusText(m_host.IsPaused());
    m_strSentTitle = m_host.Title();
    return true;
}

void CMprisService::OnPausedChanged()
{
    const QString status = CMprisPlayerAdaptor::StatusText(m_host.IsPaused());
    if (!m_bRegistered || status == m_strSentStatus)
        return;
    m_strSentStatus = status;
    Announce(kPlayerInterface, QStringLiteral("PlaybackStatus"), status);
}

void CMprisService::OnTitleChanged()
{
    const QString title = m_host.Title();
    if (!m_bRegistered || title == m_strSentTitle)
        return;
    m_strSentTitle = title;
    Announce(kPlayerInterface, QStringLiteral("Metadata"), CMprisPlayerAdaptor::MetadataFor(title));
}

void CMprisService::Announce(const QString& interfaceName, const QString& property, const QVariant& value)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << interfaceName << QVariantMap{{property, value}} << QStringList();
    m_bus.send(signal);
}
} // namespace corvane
