// The MPRIS player interface: play and pause with fades, the status, and the sound's name.
// There is one endless sound, so there is no next, previous or seeking.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace corvane {
class IMediaPlayerHost;

class CMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(double Volume READ Volume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ No)
    Q_PROPERTY(bool CanGoPrevious READ No)
    Q_PROPERTY(bool CanSeek READ No)
    Q_PROPERTY(bool CanPlay READ Yes)
    Q_PROPERTY(bool CanPause READ Yes)
    Q_PROPERTY(bool CanControl READ Yes)

public:
    // `object` is the object registered on the bus; it owns the adaptor.
    CMprisPlayerAdaptor(QObject* object, IMediaPlayerHost& host);

    // "Paused" or "Playing": a pause holds silence until played again, so it is never "Stopped".
    static QString StatusText(bool paused);
    // xesam:title `title`, xesam:artist ["Corvane"], and the one track's id.
    static QVariantMap MetadataFor(const QString& title);

    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    double Rate() const { return 1.0; }
    // The output's loudness is the panel's Volume control, not the player's.
    double Volume() const { return 1.0; }
    qlonglong Position() const { return 0; }
    bool No() const { return false; }
    bool Yes() const { return true; }

public slots:
    void Play();
    void Pause();
    void PlayPause();
    // Fades out and holds silence, as Pause does; Play brings the same sound back.
    void Stop();
    // Without a track list or a position these do nothing, as the interface allows.
    void Next() {}
    void Previous() {}
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

private:
    IMediaPlayerHost& m_host;
};
} // namespace corvane
