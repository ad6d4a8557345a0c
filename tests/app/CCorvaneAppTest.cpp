// Application: start-up order, command-line file, recent files across restarts, file commands,
// the main loop's quit handling and ticks on an injected clock.
#include "app/CCorvaneApp.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CPauseControl.h"
#include "app/CSleepTimer.h"
#include "app/CommandIds.h"

#include "FakePanel.h"
#include "FakePrompts.h"
#include "TestFiles.h"
#include "platform/kernel.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <csignal>

using corvane::CCorvaneApp;
namespace cmd = corvane::cmd;

namespace {
constexpr std::int64_t kTicksPerMs = 10000; // a 10 MHz counter: one tick is 100 ns

// Settings in a private folder, a controllable counter, and an application with stand-ins.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        corvane::platform::SetPerformanceCounterSource(
            [this] {
                ++m_readings;
                return m_counter;
            },
            1000 * kTicksPerMs);
    }
    void TearDown() override { corvane::platform::SetPerformanceCounterSource({}, 0); }

    std::unique_ptr<CCorvaneApp> MakeApp(const QString& file = {}, bool expectStart = true)
    {
        m_pPanel = nullptr;
        auto app = std::make_unique<CCorvaneApp>(
            [this] { return std::unique_ptr<corvane::IPanelView>(m_pPanel = new corvane::test::CFakePanel); },
            &m_prompts);
        m_error.clear();
        EXPECT_EQ(app->InitInstance(file, &m_error), expectStart) << m_error.toStdString();
        return app;
    }
    QString MakeFile(const QString& name, const QByteArray& text = "[Sound]\nhold=5\n")
    {
        return corvane::test::WriteFile(m_files.filePath(name), text);
    }

    QTemporaryDir m_settingsDir, m_files;
    corvane::test::CFakePrompts m_prompts;
    corvane::test::CFakePanel* m_pPanel = nullptr;
    std::int64_t m_counter = 5'000 * kTicksPerMs;
    int m_readings = 0; // of the fixture's clock
    QString m_error;
};

using Fades = std::vector<std::pair<bool, double>>; // what the panel was asked: to unity?, over seconds
} // namespace

TEST_F(AppFixture, RunEndsWithTheFirstQuitCodeOrOnATerminationSignal)
{
    {
        auto app = MakeApp();
        app->PostQuitMessage(7);
        app->PostQuitMessage(9); // the first request decides
        EXPECT_EQ(app->Run(), 7);
    }
    // A termination signal ends it with the shell's code, and objects released for later
    // deletion are deleted by this loop too, not only by exec().
    auto app = MakeApp();
    QPointer<QObject> released = new QObject;
    QTimer::singleShot(0, [&] {
        released->deleteLater();
        std::raise(SIGTERM);
    });
    EXPECT_EQ(app->Run(), 128 + SIGTERM);
    EXPECT_TRUE(released.isNull());
}

TEST_F(AppFixture, PanelKeepsTickingWhileAModalDialogRunsItsOwnLoopButNotAfterTheQuitRequest)
{
    auto app = MakeApp();
    // Every counter reading moves time on by 5 ms.
    corvane::platform::SetPerformanceCounterSource([this] { return m_counter += 5 * kTicksPerMs; }, 1000 * kTicksPerMs);
    // After four ticks a quit request comes (as a termination signal would while the About box
    // is up); the box stays open a while longer and closes.
    bool quitAsked = false;
    m_pPanel->onTick = [&] {
        if (m_pPanel->tickTimes.size() == 4) {
            quitAsked = true;
            app->PostQuitMessage(3);
        }
    };
    QTimer closer; // at least 100 ms after the quit request, or after 5 s in any case
    int sinceQuit = 0, rounds = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        sinceQuit += quitAsked;
        if (sinceQuit > 1 || ++rounds == 50) {
            closer.stop();
            QApplication::activeModalWidget()->close();
        }
    });
    closer.start(100);
    app->MainFrame()->Action(cmd::AppAbout)->trigger(); // returns when the About box closes
    EXPECT_EQ(m_pPanel->tickTimes.size(), 4u);
    EXPECT_EQ(app->Run(), 3);
    EXPECT_EQ(m_pPanel->tickTimes.size(), 4u);
}

TEST_F(AppFixture, RestingLoopTicksAsTheGateOpensAndReadsTheClockOnlyThen)
{
    auto app = MakeApp();
    EXPECT_TRUE(app->IsPowerSaving()); // the default
    // The clock stands still unless the loop rests, which moves it by the rest.
    m_readings = 0;
    std::vector<int> rests;
    app->SetRestObserver([&](int ms) {
        rests.push_back(ms);
        m_counter += ms * kTicksPerMs;
    });
    m_pPanel->onTick = [&] {
        if (m_pPanel->tickTimes.size() == 6)
            app->PostQuitMessage(0);
    };
    m_counter += 4 * kTicksPerMs; // 4 ms since the clock started
    EXPECT_EQ(app->Run(), 0);
    // The ticks come at the gate's opening, every 15 ms of clock time, after a rest until then.
    EXPECT_EQ(m_pPanel->tickTimes, (std::vector<std::int64_t>{150000, 300000, 450000, 600000, 750000, 900000}));
    EXPECT_EQ(rests.front(), 11);
    EXPECT_EQ(std::count(rests.begin(), rests.end(), 15), 5);
    EXPECT_LE(m_readings, 2 * 6 + 4) << "the resting loop polled the clock";
}

TEST_F(AppFixture, PauseFadesTheOutputShowsPausedAndPowerSavingIsRemembered)
{
    {
        auto app = MakeApp();
        corvane::CCorvaneMainFrame& frame = *app->MainFrame();
        QAction* pause = frame.Action(cmd::SoundPause);
        EXPECT_TRUE(frame.ToolBar()->actions().contains(pause));
        const QLabel* pane = frame.statusBar()->findChild<QLabel*>("PausedPane");
        m_pPanel->fades.clear();

        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        QTest::keyClick(&frame, Qt::Key_Space, Qt::ControlModifier);
        EXPECT_TRUE(app->PauseControl().IsPaused() && pause->isChecked());
        EXPECT_EQ(pane->text(), "Paused");
        pause->trigger();
        app->PauseControl().Resume(); // already resumed: nothing more happens
        EXPECT_TRUE(!pause->isChecked() && pane->text().isEmpty());
        EXPECT_EQ(m_pPanel->fades, (Fades{{false, 1.0}, {true, 1.0}}));

        // A panel set up again (New) gets the fade state it should have.
        app->PauseControl().Toggle();
        m_pPanel->fades.clear();
        frame.Action(cmd::FileNew)->trigger();
        EXPECT_EQ(m_pPanel->fades, (Fades{{false, 1.0}}));

        frame.Action(cmd::SoundPowerSaving)->trigger(); // checked, as the default is on
        EXPECT_FALSE(app->IsPowerSaving());
    }
    auto app = MakeApp();
    EXPECT_FALSE(app->IsPowerSaving() || app->MainFrame()->Action(cmd::SoundPowerSaving)->isChecked());
    EXPECT_FALSE(app->PauseControl().IsPaused()); // a new start plays
}

TEST_F(AppFixture, StartUpSetsThePanelUpInItsWindowBeforeShowingItAndOpensTheFileNamedOrEndsOnARefusal)
{
    const QString path = MakeFile("storm.corvane");
    auto app = MakeApp(path);
    EXPECT_TRUE(m_pPanel->viewInFrameAtInitialUpdate);
    EXPECT_FALSE(m_pPanel->windowShownAtInitialUpdate);
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_EQ(app->MainFrame()->centralWidget(), m_pPanel->Widget());
    EXPECT_EQ(app->MainFrame()->windowTitle(), "storm.corvane - Corvane");
    // Sound commands reach the panel.
    app->MainFrame()->Action(cmd::SoundOneShot)->trigger();
    app->MainFrame()->Action(cmd::SoundLoop)->trigger();
    EXPECT_EQ(std::pair(m_pPanel->oneShots, m_pPanel->loops), std::pair(1, 1));
    EXPECT_EQ(app->RecentFiles().Paths(), QStringList{path});
    EXPECT_EQ(m_pPanel->applies, 1);
    EXPECT_EQ(m_pPanel->sound.hold, 5);
    MakeFile("bad.corvane", "[Sound]\nq=2\n");
    for (const QString& name : {QString("gone.corvane"), QString("bad.corvane")}) {
        auto refused = MakeApp(m_files.filePath(name), false);
        EXPECT_TRUE(m_error.contains(name)) << m_error.toStdString();
        EXPECT_EQ(refused->MainFrame(), nullptr);
        EXPECT_EQ(m_pPanel, nullptr); // no panel, so no sound was started
    }
}

TEST_F(AppFixture, AChangedSoundIsMarkedAndAskedAboutBeforeItIsClosed)
{
    auto app = MakeApp();
    const auto change = [this] { m_pPanel->slider->setValue(m_pPanel->slider->value() + 1); };
    change();
    EXPECT_EQ(app->MainFrame()->windowTitle(), "Untitled* - Corvane");
    // Cancel keeps everything; Discard goes on; Save writes first.
    m_prompts.saveChoice = corvane::IDocumentPrompts::SaveChoice::Cancel;
    app->MainFrame()->Action(cmd::FileNew)->trigger();
    EXPECT_FALSE(app->MainFrame()->close() || app->IsQuitPending());
    EXPECT_EQ(m_prompts.saveChangesAsked, QStringList({"Untitled", "Untitled"}));
    EXPECT_EQ(m_pPanel->initialUpdates, 1);
    m_prompts.saveChoice = corvane::IDocumentPrompts::SaveChoice::Discard;
    app->MainFrame()->Action(cmd::FileNew)->trigger();
    EXPECT_EQ(m_pPanel->initialUpdates, 2);
    EXPECT_EQ(app->MainFrame()->windowTitle(), "Untitled - Corvane");

    change();
    m_pPanel->sound.cutoff = 440.0;
    m_prompts.saveChoice = corvane::IDocumentPrompts::SaveChoice::Save;
    m_prompts.saveAnswer = m_files.filePath("kept.corvane");
    const QString other = MakeFile("other.corvane");
    EXPECT_TRUE(app->OpenDocumentFile(other));
    EXPECT_TRUE(corvane::test::ReadFile(m_prompts.saveAnswer).contains("\ncutoff=440\n"));
    EXPECT_EQ(app->MainFrame()->windowTitle(), "other.corvane - Corvane");
    // The open, unmodified document opened again: nothing happens (start-up, New, Open).
    EXPECT_TRUE(app->OpenDocumentFile(other));
    EXPECT_EQ(m_pPanel->initialUpdates, 3);
    // The Sound commands change the sound too; Exit asks, then quits.
    app->MainFrame()->Action(cmd::SoundOneShot)->trigger();
    EXPECT_EQ(app->MainFrame()->windowTitle(), "other.corvane* - Corvane");
    m_prompts.saveChoice = corvane::IDocumentPrompts::SaveChoice::Discard;
    app->MainFrame()->Action(cmd::AppExit)->trigger();
    EXPECT_TRUE(app->IsQuitPending());
    EXPECT_EQ(m_prompts.saveChangesAsked.size(), 5);
}

TEST_F(AppFixture, RecentFilesSurviveARestartAndMissingOnesLeaveTheList)
{
    const QString a = MakeFile("a.corvane"), b = MakeFile("b.corvane"), c = MakeFile("c.corvane");
    {
        auto app = MakeApp();
        m_prompts.openAnswer = a;
        app->MainFrame()->Action(cmd::FileOpen)->trigger();
        m_prompts.openAnswer = b;
        app->OnFileOpen();
        m_prompts.saveAnswer = c;
        app->MainFrame()->Action(cmd::FileSaveAs)->trigger();
        app->ExitInstance();
    }
    QFile::remove(b);
    auto app = MakeApp();
    EXPECT_EQ(app->RecentFiles().Paths(), QStringList({c, b, a}));
    ASSERT_EQ(app->MainFrame()->RecentFileActions().size(), 3);

    // Choosing b, which has gone, reports it and drops it; choosing a opens it and moves it up.
    app->MainFrame()->RecentFileActions().at(1)->trigger();
    EXPECT_TRUE(m_prompts.errors.size() == 1 && m_prompts.errors[0].contains("b.corvane"))
        << m_prompts.errors.join('\n').toStdString();
    EXPECT_EQ(app->RecentFiles().Paths(), QStringList({c, a}));
    EXPECT_EQ(m_pPanel->initialUpdates, 1);
    app->MainFrame()->RecentFileActions().at(1)->trigger();
    EXPECT_EQ(app->RecentFiles().Paths(), QStringList({a, c}));
    EXPECT_EQ(app->MainFrame()->windowTitle(), "a.corvane - Corvane");
    EXPECT_EQ(m_pPanel->initialUpdates, 2);
}

namespace {
// An entry of Sound > Sleep Timer by the length it sets, in seconds (0: Off, -1: Custom).
QAction* SleepChoice(corvane::CCorvaneMainFrame& frame, int seconds)
{
    for (QAction* item : frame.SoundMenu()->actions())
        for (QAction* choice : item->menu() ? item->menu()->actions() : QList<QAction*>())
            if (!choice->isSeparator() && choice->data() == seconds)
                return choice;
    return nullptr;
}
} // namespace

TEST_F(AppFixture, SleepTimerCountsDownFadesAtTheEndAndPausesOrQuits)
{
    using corvane::CSleepTimer;
    const std::pair<std::int64_t, const char*> shown[] = {
        {900000, "Sleep 15:00"}, {899001, "Sleep 15:00"}, {899000, "Sleep 14:59"}, {5399000, "Sleep 1:29:59"},
        {3600000, "Sleep 1:00:00"}, {61000, "Sleep 1:01"}, {1, "Sleep 0:01"}, {0, "Sleep 0:00"}};
    for (const auto& [ms, text] : shown)
        EXPECT_EQ(CSleepTimer::FormatRemaining(ms), text) << ms;
    const std::pair<double, double> fades[] = {{20, 5}, {239, 59.75}, {240, 60}, {7200, 60}};
    for (const auto& [length, fade] : fades)
        EXPECT_EQ(CSleepTimer::FadeSecondsFor(length), fade) << length;

    for (const bool quit : {false, true}) {
        auto app = MakeApp();
        corvane::CCorvaneMainFrame& frame = *app->MainFrame();
        std::int64_t now = 0;
        app->SleepTimer().SetClock([&] { return now; });
        const auto at = [&](std::int64_t ms) {
            now = ms;
            app->SleepTimer().Check();
        };
        const QLabel* pane = frame.statusBar()->findChild<QLabel*>("SleepPane");
        EXPECT_FALSE(frame.Action(cmd::SoundSleepQuit)->isChecked()); // off by default
        if (quit)
            frame.Action(cmd::SoundSleepQuit)->trigger();
        m_pPanel->fades.clear();

        SleepChoice(frame, 900)->trigger();
        EXPECT_EQ(pane->text(), "Sleep 15:00");
        at(840000 - 1);
        EXPECT_TRUE(m_pPanel->fades.empty());
        at(840000); // the last minute: the sound fades out over it
        EXPECT_EQ(pane->text(), "Sleep 1:00");
        EXPECT_EQ(m_pPanel->fades, (Fades{{false, 60.0}}));
        at(900000);
        EXPECT_TRUE(pane->text().isEmpty() && SleepChoice(frame, 0)->isChecked()); // Off again
        EXPECT_EQ(frame.isVisible(), !quit);
        EXPECT_EQ(app->PauseControl().IsPaused(), !quit);
        if (quit)
            EXPECT_EQ(app->Run(), 0);
        else
            EXPECT_EQ(m_pPanel->fades, (Fades{{false, 60.0}, {false, 1.0}}));
    }

    // Off during the fade brings the sound back; a new length restarts the count.
    auto app = MakeApp();
    std::int64_t now = 0;
    app->SleepTimer().SetClock([&] { return now; });
    EXPECT_TRUE(app->MainFrame()->Action(cmd::SoundSleepQuit)->isChecked()); // remembered
    app->SetSleepTimer(20); // as --sleep 20s does: the fade is the last quarter
    now = 16000;
    app->SleepTimer().Check();
    SleepChoice(*app->MainFrame(), 0)->trigger();
    SleepChoice(*app->MainFrame(), 7200)->trigger();
    EXPECT_EQ(app->SleepTimer().RemainingMs(), 7200000);
    EXPECT_EQ(Fades(m_pPanel->fades.end() - 2, m_pPanel->fades.end()), (Fades{{false, 4.0}, {true, 1.0}}));

    // Custom asks for minutes; cancelling keeps the timer as it was.
    QTimer::singleShot(50, [] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setIntValue(25);
        dialog->accept();
    });
    SleepChoice(*app->MainFrame(), -1)->trigger();
    EXPECT_EQ(app->SleepTimer().LengthSeconds(), 1500);
    EXPECT_TRUE(SleepChoice(*app->MainFrame(), -1)->isChecked());
    QTimer::singleShot(50, [] { QApplication::activeModalWidget()->close(); });
    SleepChoice(*app->MainFrame(), -1)->trigger();
    EXPECT_EQ(app->SleepTimer().LengthSeconds(), 1500);
}
