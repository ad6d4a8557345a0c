// The whole window with the spectrum pane, at 100 % and 200 %, playing on the manual back-end;
// the pictures are kept for the documentation.
#include "app/CCorvaneApp.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CommandIds.h"
#include "app/IPanelView.h"

#include "FakePrompts.h"
#include "audio/CSoundDevice.h"
#include "controls/CSegmentDisplay.h"
#include "controls/CSpectrumView.h"
#include "panel/CCorvaneFormView.h"
#include "platform/dsound.h"

#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QScreen>
#include <QStyle>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

TEST(CCorvaneAppWithPanel, WindowAtBothZoomsWithTheSpectrumShown)
{
    setenv("CORVANE_AUDIO", "manual", 1);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings(corvane::CCorvaneApp::kOrganisation, corvane::CCorvaneApp::kApplication).setValue("View/Spectrum", true);
    corvane::test::CFakePrompts prompts;
    CCorvaneFormView* view = nullptr;
    corvane::CCorvaneApp app(
        [&] {
            view = new CCorvaneFormView;
            view->SetMessageBoxHandler([](const std::string&, const std::string&) {});
            return std::make_unique<corvane::CPanelAdapter<CCorvaneFormView>>(view);
        },
        &prompts);
    ASSERT_TRUE(app.InitInstance(QString(), nullptr));
    corvane::CCorvaneMainFrame& frame = *app.MainFrame();
    CSpectrumView* pane = view->GetSpectrumView();
    ASSERT_TRUE(pane->isVisible());

    std::int64_t time = 0;
    std::vector<std::int16_t> out(441 * 2);
    QDir().mkpath(QStringLiteral(CORVANE_WINDOW_SHOT_DIR));
    for (const auto& [command, zoom] : {std::pair{corvane::cmd::ViewZoom100, 1}, std::pair{corvane::cmd::ViewZoom200, 2}}) {
        frame.Action(command)->trigger();
        for (int tick = 0; tick < 60; ++tick) { // 1.2 s of sound through the pane
            time += 20 * 10000;
            view->OnEngineTick(&time);
            corvane::platform::PullMixedFrames(view->GetSoundDevice()->GetDirectSound(), out.data(), 441);
            if (tick % 2)
                pane->NextFrame();
        }
        QCoreApplication::processEvents();
        // A read-out is 12 dialog units (19.5 px) high: 20 px at 100 %, 39 px at 200 %; the
        // pane shows a curve and a meter in its lit colour.
        EXPECT_EQ(view->GetControlAs<CSegmentDisplay>(1003)->height(), zoom == 1 ? 20 : 39);
        const QImage spectrum = pane->grab().toImage();
        int lit = 0;
        for (int y = 0; y < spectrum.height(); ++y)
            for (int x = 0; x < spectrum.width(); ++x)
                lit += spectrum.pixelColor(x, y) == QColor(255, 204, 51);
        EXPECT_GT(lit, 200 * zoom) << zoom;
        // The offscreen screen is small: the window is bounded by it, the pane gives way
        // first. The picture shows the window as it is on a screen large enough for all.
        EXPECT_LE(frame.width(), frame.screen()->availableSize().width());
        EXPECT_GE(pane->width(), pane->minimumSizeHint().width());
        const int separator = frame.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
        frame.resize(view->widget()->width() + 2 * view->frameWidth() + pane->sizeHint().width() + separator,
                     frame.height() - view->viewport()->height() + view->widget()->height() + 2);
        frame.resizeDocks({frame.findChild<QDockWidget*>()}, {pane->sizeHint().width()}, Qt::Horizontal);
        QCoreApplication::processEvents();
        const QImage shot = frame.grab().toImage();
        EXPECT_GE(view->viewport()->width(), view->widget()->width()); // nothing scrolled away
        EXPECT_GE(view->viewport()->height(), view->widget()->height());
        EXPECT_TRUE(shot.save(QStringLiteral(CORVANE_WINDOW_SHOT_DIR "/screenshot-%1.png").arg(100 * zoom)));
    }
}
