// The MPRIS player interface: play and pause with fades, the status, and the sound's name.
#include "app/CMprisPlayerAdaptor.h"

#include "app/IMediaPlayerHost.h"

#include <QStringList>

namespace corvane {
CMprisPlayerAdaptor::CMprisPlayerAdaptor(QObject* object, IMediaPlayerHost& host)
    : QDBusAbstractAdaptor(object), m_host(host)
{
}

QString CMprisPlayerAdaptor::StatusText(bool paused)
{
    return paused ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

QVariantMap CMprisPlayerAdaptor::MetadataFor(const QString& title)
{
    return {
        // Players expect a track id even for a single endless sound.
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/corvane/sound")))},
        {QStringLiteral("xesam:title"), title},
        {QStringLiteral("xesam:artist"), QStringList{QStringLiteral("Corvane")}},
    };
}

QString CMprisPlayerAdaptor::PlaybackStatus() const { return StatusText(m_host.IsPaused()); }

QVariantMap CMprisPlayerAdaptor::Metadata() const { return MetadataFor(m_host.Title()); }

void CMprisPlayerAdaptor::Play() { m_host.SetPaused(false); }

void CMprisPlayerAdaptor::Pause() { m_host.SetPaused(true); }

void CMprisPlayerAdaptor::PlayPause() { m_host.SetPaused(!m_host.IsPaused()); }

void CMprisPlayerAdaptor::Stop() { m_host.SetPaused(true); }
} // namespace corvane
