// The MPRIS root interface: who the player is, and raising or quitting it.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

namespace corvane {
class IMediaPlayerHost;

class CMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    // `object` is the object registered on the bus; it owns the adaptor.
    CMprisRootAdaptor(QObject* object, IMediaPlayerHost& host);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Corvane"); }
    // The desktop entry's file name without ".desktop".
    QString DesktopEntry() const { return QStringLiteral("corvane"); }
    // Nothing can be opened by address over the bus.
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise();
    void Quit();

private:
    IMediaPlayerHost& m_host;
};
} // namespace corvane
