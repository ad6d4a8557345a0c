// The application with the real synthesizer panel on the manual sound back-end; the whole window
// with the spectrum pane at 100 % and 200 % is pictured for the documentation.
#include "app/CCorvaneApp.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CommandIds.h"
#include "app/IPanelView.h"

#include "FakePrompts.h"
#include "audio/CSoundDevice.h"
#include "controls/CSpectrumView.h"
#include "panel/CCorvaneFormView.h"
#include "tests/engine/SignalAnalysis.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace cmd = corvane::cmd;

namespace {
// The application with the real panel on the manual back-end, its settings in `settingsDir`;
// what the panel would show in a message box is collected in `messages`.
struct PanelApp : corvane::CCorvaneApp {
    CCorvaneFormView* view = nullptr;
    std::vector<std::string> messages;
    PanelApp(const QTemporaryDir& settingsDir, corvane::IDocumentPrompts* prompts)
        : CCorvaneApp(
              [this] {
                  view = new CCorvaneFormView;
                  view->SetMessageBoxHandler([this](const std::string& text, const std::string&) { messages.push_back(text); });
                  return std::make_unique<corvane::CPanelAdapter<CCorvaneFormView>>(view);
              },
              prompts)
    {
        setenv("CORVANE_AUDIO", "manual", 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }
};
} // namespace

TEST(CCorvaneAppWithPanel, NewSaveAndOpenRunTheSetUpAgainWithoutDuplicatingListsOrDevices)
{
    QTemporaryDir settingsDir, files;
    corvane::test::CFakePrompts prompts;
    PanelApp app(settingsDir, &prompts);
    ASSERT_TRUE(app.InitInstance(QString(), nullptr));
    CCorvaneFormView* view = app.view;
    CSoundDevice* device = view->GetSoundDevice();
    const auto noise = [&] { return view->GetControlAs<QComboBox>(1010); };
    const auto listSizes = [&] {
        std::vector<int> sizes;
        for (int id : {1009, 1010, 1012, 1014, 1026, 1027, 1034})
            sizes.push_back(view->GetControlAs<QComboBox>(id)->count());
        return sizes;
    };

    // The window is as wide as the whole panel, unless the screen is narrower.
    const int screenWidth = app.MainFrame()->screen()->availableSize().width();
    EXPECT_EQ(app.MainFrame()->width(), std::min(view->widget()->width() + 2 * view->frameWidth(), screenWidth));

    // A changed panel discarded, one saved, the start-up sound again, then the saved sound
    // opened. Save and Open keep every control exactly: SoundRoundTrip checks that.
    prompts.saveChoice = corvane::IDocumentPrompts::SaveChoice::Discard;
    noise()->setCurrentIndex(2);
    app.MainFrame()->Action(cmd::FileNew)->trigger();
    EXPECT_EQ(noise()->currentIndex(), 0);
    noise()->setCurrentIndex(3);
    prompts.saveAnswer = files.filePath("calm.corvane");
    app.MainFrame()->Action(cmd::FileSaveAs)->trigger();
    app.MainFrame()->Action(cmd::FileNew)->trigger();
    EXPECT_EQ(noise()->currentIndex(), 0);
    EXPECT_EQ(prompts.saveChangesAsked.size(), 1);
    prompts.openAnswer = prompts.saveAnswer;
    app.MainFrame()->Action(cmd::FileOpen)->trigger();
    EXPECT_EQ(app.MainFrame()->windowTitle(), "calm.corvane - Corvane");
    EXPECT_EQ(noise()->currentIndex(), 3);
    // A zero-byte file, as earlier versions saved, is the start-up sound.
    prompts.openAnswer = files.filePath("old.corvane");
    QFile(prompts.openAnswer).open(QIODevice::WriteOnly);
    app.MainFrame()->Action(cmd::FileOpen)->trigger();
    EXPECT_EQ(app.MainFrame()->windowTitle(), "old.corvane - Corvane");
    EXPECT_EQ(noise()->currentIndex(), 0);
    EXPECT_EQ(listSizes(), (std::vector<int>{5, 5, 5, 2, 4, 4, 4}));
    // One stream, on the same device.
    EXPECT_TRUE(view->GetSoundDevice() == device && device->FindStream(0) && !device->FindStream(1));
    EXPECT_TRUE(app.messages.empty());

    // File > Sounds opens a ready-made sound as a new, untitled and unmodified document: surf
    // swells with its volume on LFO 1.
    const QList<QAction*> names = app.MainFrame()->SoundsMenu()->actions();
    const auto surf = std::find_if(names.begin(), names.end(), [](QAction* a) { return a->text() == "Ocean Surf"; });
    ASSERT_NE(surf, names.end());
    (*surf)->trigger();
    EXPECT_EQ(app.MainFrame()->windowTitle(), "Untitled - Corvane");
    EXPECT_EQ(view->GetControlAs<QComboBox>(1027)->currentText(), "LFO 1");
    EXPECT_TRUE(prompts.errors.isEmpty());
}

namespace {
// The real panel on the manual back-end, playing for `ms` of an injected clock that the
// "sound card" follows: the mixer is pulled up to the clock's time at every reading.
// `atMs` is called as the clock passes each whole millisecond.
std::vector<std::int16_t> PlayWithClock(bool powerSaving, int ms,
                                        const std::function<void(corvane::CCorvaneApp&, int)>& atMs = {})
{
    QTemporaryDir settingsDir;
    corvane::test::CFakePrompts prompts;
    PanelApp app(settingsDir, &prompts);
    CCorvaneFormView*& view = app.view;
    constexpr std::int64_t kTicksPerMs = 10000;
    std::int64_t counter = 0;
    std::vector<std::int16_t> captured;
    WAVEFORMATEX format{};
    const auto moveTo = [&](std::int64_t time) {
        if (atMs)
            for (auto m = counter / kTicksPerMs + 1; m <= time / kTicksPerMs; ++m)
                atMs(app, static_cast<int>(m));
        counter = time;
        IDirectSound* ds = view && view->GetSoundDevice() ? view->GetSoundDevice()->GetDirectSound() : nullptr;
        if (!ds || FAILED(corvane::platform::GetOutputFormat(ds, &format)))
            return;
        const auto due = static_cast<std::size_t>(counter * format.nSamplesPerSec / (1000 * kTicksPerMs));
        const std::size_t have = captured.size() / format.nChannels;
        if (due > have) {
            captured.resize(due * format.nChannels);
            corvane::platform::PullMixedFrames(ds, captured.data() + have * format.nChannels,
                                               static_cast<DWORD>(due - have));
        }
        if (counter >= ms * kTicksPerMs)
            app.PostQuitMessage(0);
    };
    bool running = false; // the clock starts at 0 at the end of start-up
    corvane::platform::SetPerformanceCounterSource(
        [&] {
            if (running && !powerSaving)
                moveTo(counter + kTicksPerMs / 4);
            return counter;
        },
        1000 * kTicksPerMs);
    app.SetRestObserver([&](int rest) { moveTo(counter + rest * kTicksPerMs); });
    EXPECT_TRUE(app.InitInstance(QString(), nullptr));
    app.SetPowerSaving(powerSaving);
    running = true;
    app.Run();
    corvane::platform::SetPerformanceCounterSource({}, 0);
    return captured;
}
} // namespace

TEST(CCorvaneAppWithPanel, RestingAndPollingLoopsOfferTheStreamTheSameBlocks)
{
    const std::vector<std::int16_t> resting = PlayWithClock(true, 600);
    const std::vector<std::int16_t> polling = PlayWithClock(false, 600);
    ASSERT_GT(resting.size(), 10000u);
    ASSERT_EQ(resting.size(), polling.size());
    const auto differ = std::mismatch(resting.begin(), resting.end(), polling.begin());
    EXPECT_TRUE(differ.first == resting.end()) << "first difference at sample " << (differ.first - resting.begin());
    // The start-up sound, not silence (in 16-bit units).
    EXPECT_GT(engine_test::Rms(std::vector<float>(resting.begin() + resting.size() / 2, resting.end())), 300.0);
}

TEST(CCorvaneAppWithPanel, PauseFadesTheOutputToSilenceAndResumeBringsItBack)
{
    bool pausedAtEnd = true; // the menu item goes with the app, so its state is read while it lives
    const std::vector<std::int16_t> out = PlayWithClock(false, 2800, [&](corvane::CCorvaneApp& app, int ms) {
        QAction* pause = app.MainFrame()->Action(cmd::SoundPause);
        if (ms == 300 || ms == 1500)
            pause->trigger();
        pausedAtEnd = pause->isChecked();
    });
    const std::size_t perMs = out.size() / 2800; // interleaved stereo samples per ms at the mixer's rate
    const auto rms = [&](std::size_t fromMs, std::size_t toMs) { // in 16-bit units
        return engine_test::Rms(std::vector<float>(out.begin() + fromMs * perMs, out.begin() + toMs * perMs));
    };
    const double before = rms(100, 300);
    EXPECT_GT(before, 300.0);
    EXPECT_GT(rms(500, 700), 0.2 * before); // fading, not cut
    EXPECT_LT(rms(500, 700), 0.95 * before);
    EXPECT_EQ(rms(1350, 1500), 0.0);
    EXPECT_NEAR(rms(2600, 2800) / before, 1.0, 0.3);
    EXPECT_FALSE(pausedAtEnd);
}

TEST(CCorvaneAppWithPanel, ZoomAndSpectrumAreRememberedBadSettingsIgnoredAndTheWindowPictured)
{
    QTemporaryDir settingsDir;
    corvane::test::CFakePrompts prompts;
    const auto run = [&](const std::function<void(corvane::CCorvaneMainFrame&, CCorvaneFormView&)>& check) {
        PanelApp app(settingsDir, &prompts);
        ASSERT_TRUE(app.InitInstance(QString(), nullptr));
        check(*app.MainFrame(), *app.view);
    };
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings(corvane::CCorvaneApp::kOrganisation, corvane::CCorvaneApp::kApplication).setValue("View/Zoom", "37");
    run([](corvane::CCorvaneMainFrame& frame, CCorvaneFormView& view) {
        EXPECT_EQ(view.GetZoom(), 100); // 37 % is not offered
        EXPECT_TRUE(frame.Action(cmd::ViewZoom100)->isChecked());
        EXPECT_FALSE(frame.IsSidePaneShown());
        frame.Action(cmd::ViewZoom150)->trigger();
        EXPECT_EQ(view.GetZoom(), 150);
        const int screenWidth = frame.screen()->availableSize().width();
        EXPECT_EQ(frame.width(), std::min(view.widget()->width() + 2 * view.frameWidth(), screenWidth));
        frame.Action(cmd::ViewSpectrum)->trigger();
        EXPECT_TRUE(frame.IsSidePaneShown() && view.SpectrumPane()->isVisible());
    });
    run([](corvane::CCorvaneMainFrame& frame, CCorvaneFormView& view) {
        EXPECT_EQ(view.GetZoom(), 150);
        EXPECT_TRUE(frame.Action(cmd::ViewZoom150)->isChecked());
        EXPECT_TRUE(frame.IsSidePaneShown());
        CSpectrumView* pane = view.GetSpectrumView();
        std::int64_t time = 0;
        std::vector<std::int16_t> out(441 * 2);
        QDir().mkpath(QStringLiteral(CORVANE_WINDOW_SHOT_DIR));
        for (const auto& [command, zoom] : {std::pair{cmd::ViewZoom100, 100}, {cmd::ViewZoom200, 200}}) {
            frame.Action(command)->trigger();
            for (int tick = 0; tick < 60; ++tick) { // 1.2 s of sound through the pane
                time += 20 * 10000;
                view.OnEngineTick(&time);
                corvane::platform::PullMixedFrames(view.GetSoundDevice()->GetDirectSound(), out.data(), 441);
                if (tick % 2)
                    pane->NextFrame();
            }
            QCoreApplication::processEvents();
            // The offscreen screen is small: the window is bounded by it, the pane gives way
            // first. The picture shows the window as it is on a screen large enough for all.
            EXPECT_LE(frame.width(), frame.screen()->availableSize().width());
            EXPECT_GE(pane->width(), pane->minimumSizeHint().width());
            const int separator = frame.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
            frame.resize(view.widget()->width() + 2 * view.frameWidth() + pane->sizeHint().width() + separator,
                         frame.height() - view.viewport()->height() + view.widget()->height() + 2);
            frame.resizeDocks({frame.findChild<QDockWidget*>()}, {pane->sizeHint().width()}, Qt::Horizontal);
            QCoreApplication::processEvents();
            EXPECT_GE(view.viewport()->width(), view.widget()->width()); // nothing scrolled away
            EXPECT_GE(view.viewport()->height(), view.widget()->height());
            EXPECT_TRUE(frame.grab().save(QStringLiteral(CORVANE_WINDOW_SHOT_DIR "/screenshot-%1.png").arg(zoom)));
        }
        frame.Action(cmd::ViewSpectrum)->trigger();
        EXPECT_FALSE(view.SpectrumPane()->isVisible() || frame.Action(cmd::ViewSpectrum)->isChecked());
    });
}
