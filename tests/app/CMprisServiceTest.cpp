// The desktop's player controls: the keyboard's media keys on a focused window, and MPRIS over
// a private session bus (the test runs under dbus-run-session): a client pauses, reads the
// status, plays, raises and quits; changes are announced once; without a bus or with the name
// taken the program runs on and says so once. The program itself on the bus is the desktop
// test's media-key scenario.
#include "app/CMprisService.h"
#include "app/IMediaPlayerHost.h"
#include "app/MediaKeys.h"
#include "platform/kernel.h"
#include "tests/support/CannotRun.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using corvane::CMprisService;

namespace {
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

struct FakeHost final : corvane::IMediaPlayerHost {
    bool IsPaused() const override { return paused; }
    void SetPaused(bool p) override
    {
        if (p == paused)
            return;
        paused = p;
        if (service)
            service->OnPausedChanged();
    }
    QString Title() const override { return title; }
    void Raise() override { ++raises; }
    void Quit() override { ++quits; }

    bool paused = false;
    QString title = QStringLiteral("Untitled");
    int raises = 0, quits = 0;
    CMprisService* service = nullptr;
};

// Records the PropertiesChanged signals the client receives.
class ChangeRecorder : public QObject {
    Q_OBJECT
public slots:
    void Changed(const QString& interfaceName, const QVariantMap& changed, const QStringList&)
    {
        for (auto it = changed.begin(); it != changed.end(); ++it)
            seen.append({interfaceName + "." + it.key(), it.value()});
    }

public:
    QList<QPair<QString, QVariant>> seen;
};

class MprisOverTheBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected()) {
            CORVANE_CANNOT_RUN("no session bus; ctest runs this under dbus-run-session (package dbus)");
        }
        m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("mpris-client"));
        host.service = service.get();
        ASSERT_TRUE(service->Register());
        m_client.connect(CMprisService::kServiceName, CMprisService::kObjectPath,
                         QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                         &recorder, SLOT(Changed(QString, QVariantMap, QStringList)));
    }
    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("mpris-client")); }

    // Calls and waits while this thread keeps serving the service's side.
    QDBusMessage Call(const QString& interfaceName, const QString& method, const QVariantList& args = {})
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(CMprisService::kServiceName, CMprisService::kObjectPath, interfaceName, method);
        message.setArguments(args);
        QDBusPendingCall pending = m_client.asyncCall(message);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 5000)) << method.toStdString();
        return pending.reply();
    }
    QVariant Get(const QString& interfaceName, const QString& property)
    {
        const QDBusMessage reply =
            Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"), {interfaceName, property});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariantMap Metadata()
    {
        QVariantMap map;
        Get(kPlayer, QStringLiteral("Metadata")).value<QDBusArgument>() >> map;
        return map;
    }
    // Signals travel separately from replies; give them a moment to arrive.
    void WaitForSignals(qsizetype count)
    {
        (void)QTest::qWaitFor([&] { return recorder.seen.size() >= count; }, 2000);
        QTest::qWait(50);
    }

    FakeHost host;
    std::unique_ptr<CMprisService> service = std::make_unique<CMprisService>(host);
    ChangeRecorder recorder;
    QDBusConnection m_client{QStringLiteral("none")};
};
} // namespace

TEST(MediaKeys, PlayTogglesPauseAndStopPause)
{
    FakeHost host;
    QWidget window;
    corvane::InstallMediaKeys(window, host);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const struct {
        Qt::Key key;
        bool paused;
    } presses[] = {{Qt::Key_MediaPlay, true},  {Qt::Key_MediaPlay, false}, {Qt::Key_MediaPause, true},
                   {Qt::Key_MediaPause, true}, {Qt::Key_MediaTogglePlayPause, false},
                   {Qt::Key_MediaStop, true},  {Qt::Key_MediaTogglePlayPause, false}};
    for (const auto& p : presses) {
        // keyClick would look for the key's ASCII text, which a media key does not have.
        QTest::sendKeyEvent(QTest::Click, &window, p.key, QString(), Qt::NoModifier);
        EXPECT_EQ(host.paused, p.paused) << QKeySequence(p.key).toString().toStdString();
    }
}

TEST_F(MprisOverTheBus, PausesReadsTheStatusPlaysRaisesQuitsAndNamesTheSound)
{
    // What a desktop reads before it offers its play and pause keys for the program.
    const std::pair<QString, const char*> abilities[] = {
        {kPlayer, "CanPlay"}, {kPlayer, "CanPause"}, {kRoot, "CanRaise"}, {kRoot, "CanQuit"}};
    for (const auto& [interfaceName, property] : abilities)
        EXPECT_EQ(Get(interfaceName, property), true) << property;
    EXPECT_EQ(Get(kPlayer, "PlaybackStatus"), "Playing");

    // Each step: the method, then what the host and the bus say afterwards.
    const struct {
        const char* method;
        bool paused;
    } steps[] = {{"Pause", true}, {"Pause", true}, {"Play", false}, {"PlayPause", true},
                 {"PlayPause", false}, {"Stop", true}, {"Play", false}};
    for (const auto& s : steps) {
        EXPECT_EQ(Call(kPlayer, s.method).type(), QDBusMessage::ReplyMessage) << s.method;
        EXPECT_EQ(host.paused, s.paused) << s.method;
        EXPECT_EQ(Get(kPlayer, "PlaybackStatus"), s.paused ? "Paused" : "Playing") << s.method;
    }
    // One announcement per real change, in order; the second Pause changed nothing.
    WaitForSignals(6);
    QStringList announced;
    for (const auto& [name, value] : recorder.seen)
        announced << name + "=" + value.toString();
    const QString status = kPlayer + ".PlaybackStatus=";
    EXPECT_EQ(announced, QStringList({status + "Paused", status + "Playing", status + "Paused", status + "Playing",
                                      status + "Paused", status + "Playing"}));

    EXPECT_EQ(Call(kRoot, "Raise").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(Call(kRoot, "Quit").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(std::pair(host.raises, host.quits), std::pair(1, 1));

    recorder.seen.clear();
    QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("xesam:title"), "Untitled");
    EXPECT_EQ(metadata.value("xesam:artist"), QStringList{"Corvane"});
    EXPECT_TRUE(metadata.contains("mpris:trackid"));

    host.title = QStringLiteral("Rain on a Roof");
    service->OnTitleChanged();
    service->OnTitleChanged(); // same title: nothing more is sent
    EXPECT_EQ(Metadata().value("xesam:title"), "Rain on a Roof");
    WaitForSignals(1);
    ASSERT_EQ(recorder.seen.size(), 1);
    EXPECT_EQ(recorder.seen[0].first, kPlayer + ".Metadata");
    QVariantMap sent;
    recorder.seen[0].second.value<QDBusArgument>() >> sent;
    EXPECT_EQ(sent.value("xesam:title"), "Rain on a Roof");
}

TEST_F(MprisOverTheBus, ASecondInstanceOrNoBusRunsOnAndSaysSoOnce)
{
    QStringList lines;
    corvane::platform::SetDebugOutputSink([&](const std::string& line) { lines << QString::fromStdString(line); });
    FakeHost otherHost;
    CMprisService second(otherHost); // as another process would, on a connection of its own
    EXPECT_FALSE(second.Register(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "second")));
    CMprisService unconnected(otherHost);
    EXPECT_FALSE(unconnected.Register(QDBusConnection(QStringLiteral("never connected"))));
    second.OnPausedChanged(); // unregistered: nothing to announce, nothing to fail
    corvane::platform::SetDebugOutputSink({});

    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("org.mpris.MediaPlayer2.corvane is taken")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("no session bus")) << lines[1].toStdString();
    // The first instance still answers.
    EXPECT_EQ(Get(kPlayer, "PlaybackStatus"), "Playing");
    QDBusConnection::disconnectFromBus(QStringLiteral("second"));
}

#include "CMprisServiceTest.moc"
