// Offers the program to the desktop's player controls (MPRIS 2) on the session bus, so that
// media keys and the sound menu can pause it, play it, raise it and quit it.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariant>

namespace corvane {
class IMediaPlayerHost;

class CMprisService : public QObject {
    Q_OBJECT
public:
    static const QString kServiceName; // "org.mpris.MediaPlayer2.corvane"
    static const QString kObjectPath;  // "/org/mpris/MediaPlayer2"

    explicit CMprisService(IMediaPlayerHost& host, QObject* parent = nullptr);
    ~CMprisService() override; // leaves the bus

    // Takes the service name on `bus`. Without a bus, or with the name already taken, returns
    // false and writes one debug line; the program runs on without player controls.
    bool Register(QDBusConnection bus = QDBusConnection::sessionBus());
    bool IsRegistered() const { return m_bRegistered; }

    // Tell the desktop that the pause or the title changed (PropertiesChanged); nothing is
    // sent when the value is what was last sent, or when not registered.
    void OnPausedChanged();
    void OnTitleChanged();

private:
    void Announce(const QString& interfaceName, const QString& property, const QVariant& value);

    IMediaPlayerHost& m_host;
    QDBusConnection m_bus;
    bool m_bRegistered = false;
    QString m_strSentStatus;
    QString m_strSentTitle;
};
} // namespace corvane
