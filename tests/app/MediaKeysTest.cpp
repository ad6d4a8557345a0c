// The keyboard's media keys on a focused window: play toggles, pause and stop pause.
#include "app/MediaKeys.h"
#include "app/IMediaPlayerHost.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {
struct PauseOnlyHost final : corvane::IMediaPlayerHost {
    bool IsPaused() const override { return paused; }
    void SetPaused(bool p) override { paused = p; }
    QString Title() const override { return {}; }
    void Raise() override {}
    void Quit() override {}
    bool paused = false;
};
} // namespace

TEST(MediaKeys, PlayTogglesPauseAndStopPause)
{
    PauseOnlyHost host;
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
