// Application: start-up order, command-line file, recent files across restarts, file commands,
// the polling loop's quit handling and the 15 ms render tick on an injected clock.
#include "app/CCorvaneApp.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CommandIds.h"

#include "FakePanel.h"
#include "FakePrompts.h"
#include "platform/kernel.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

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
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
        corvane::platform::SetPerformanceCounterSource([this] { return m_counter; }, 1000 * kTicksPerMs);
    }
    void TearDown() override { corvane::platform::SetPerformanceCounterSource({}, 0); }

    std::unique_ptr<CCorvaneApp> MakeApp(const QString& file = {}, bool expectStart = true)
    {
        m_pPanel = nullptr;
        auto app = std::make_unique<CCorvaneApp>(
            [this] {
                auto panel = std::make_unique<corvane::test::CFakePanel>();
                m_pPanel = panel.get();
                return panel;
            },
            &m_prompts);
        m_error.clear();
        EXPECT_EQ(app->InitInstance(file, &m_error), expectStart) << m_error.toStdString();
        return app;
    }
    QString MakeFile(const QString& name)
    {
        QFile file(m_files.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("abc") == 3);
        return file.fileName();
    }

    QTemporaryDir m_settingsDir, m_files;
    corvane::test::CFakePrompts m_prompts;
    corvane::test::CFakePanel* m_pPanel = nullptr;
    std::int64_t m_counter = 5'000 * kTicksPerMs;
    QString m_error;
};
} // namespace

TEST_F(AppFixture, StartsWithOneWindowHoldingThePanelSetUpBeforeItIsShown)
{
    auto app = MakeApp();
    ASSERT_NE(m_pPanel, nullptr);
    EXPECT_EQ(m_pPanel->initialUpdates, 1);
    EXPECT_TRUE(m_pPanel->viewInFrameAtInitialUpdate);
    EXPECT_FALSE(m_pPanel->windowShownAtInitialUpdate);
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_EQ(app->MainFrame()->centralWidget(), m_pPanel->Widget());
    EXPECT_EQ(app->MainFrame()->windowTitle(), "Untitled - Corvane");

    // Sound commands reach the panel; New starts the panel's set-up again.
    app->MainFrame()->Action(cmd::SoundOneShot)->trigger();
    app->MainFrame()->Action(cmd::SoundLoop)->trigger();
    EXPECT_EQ(m_pPanel->oneShots, 1);
    EXPECT_EQ(m_pPanel->loops, 1);
    app->MainFrame()->Action(cmd::FileNew)->trigger();
    EXPECT_EQ(m_pPanel->initialUpdates, 2);
}

TEST_F(AppFixture, IdleStepTicksThePanelOnlyFifteenMillisecondsAfterTheLastTick)
{
    auto app = MakeApp();
    const std::int64_t start = m_counter; // the clock starts at the end of start-up
    // Counter offsets in ms (the last one 15.9999 ms after the previous tick: still 15 whole
    // ms) and the number of panel ticks after each idle step.
    const std::pair<double, std::size_t> steps[] = {{14, 0}, {15, 1}, {29, 1}, {30.9999, 2}};
    for (const auto& [ms, ticks] : steps) {
        m_counter = start + static_cast<std::int64_t>(ms * kTicksPerMs);
        app->OnRealtimeTick();
        EXPECT_EQ(m_pPanel->tickTimes.size(), ticks) << ms;
    }
    EXPECT_EQ(m_pPanel->tickTimes[0], 15 * kTicksPerMs); // the time handed over is in 100 ns
    EXPECT_EQ(app->Ticker().LastTickMs(), 30);
}

TEST_F(AppFixture, RunEndsWithTheQuitCodeWhenTheWindowClosesOrOnATerminationSignal)
{
    {
        auto app = MakeApp();
        m_counter += 1000 * kTicksPerMs; // a tick would be long overdue
        app->PostQuitMessage(7);
        app->PostQuitMessage(9); // the first request decides
        EXPECT_EQ(app->Run(), 7);
        EXPECT_TRUE(m_pPanel->tickTimes.empty()); // no idle step before the quit
    }
    auto app = MakeApp();
    // Time moves 20 ms per panel tick; close the window after three ticks.
    m_counter += 20 * kTicksPerMs;
    m_pPanel->onTick = [&] {
        m_counter += 20 * kTicksPerMs;
        if (m_pPanel->tickTimes.size() == 3)
            QTimer::singleShot(0, app->MainFrame(), &QWidget::close);
    };
    EXPECT_EQ(app->Run(), 0);
    EXPECT_GE(m_pPanel->tickTimes.size(), 3u);
    EXPECT_LE(m_pPanel->tickTimes.size(), 4u);
    EXPECT_FALSE(app->MainFrame()->isVisible());

    // A termination signal ends it with the shell's code, and objects released for later
    // deletion are deleted by this loop too, not only by exec().
    app.reset();
    app = MakeApp();
    QPointer<QObject> released = new QObject;
    QTimer::singleShot(0, [&] {
        released->deleteLater();
        std::raise(SIGTERM);
    });
    EXPECT_EQ(app->Run(), 128 + SIGTERM);
    EXPECT_TRUE(released.isNull());
}

TEST_F(AppFixture, PanelKeepsTickingWhileAModalDialogRunsItsOwnLoop)
{
    auto app = MakeApp();
    // Every counter reading moves time on by 5 ms.
    corvane::platform::SetPerformanceCounterSource([this] { return m_counter += 5 * kTicksPerMs; }, 1000 * kTicksPerMs);
    QTimer::singleShot(200, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    app->MainFrame()->Action(cmd::AppAbout)->trigger(); // returns when the About box closes
    EXPECT_GE(m_pPanel->tickTimes.size(), 3u);
}

TEST_F(AppFixture, FileNamedOnTheCommandLineOpensWithoutReadingAndUnopenableEndsStartUp)
{
    const QString path = MakeFile("storm.wav");
    {
        auto app = MakeApp(path);
        EXPECT_EQ(app->MainFrame()->windowTitle(), "storm.wav - Corvane");
        EXPECT_EQ(app->RecentFiles().Paths(), QStringList{path});
        EXPECT_EQ(QFileInfo(path).size(), 3);
    }
    auto app = MakeApp(m_files.filePath("gone.wav"), false);
    EXPECT_TRUE(m_error.contains("gone.wav")) << m_error.toStdString();
    EXPECT_EQ(app->MainFrame(), nullptr);
    EXPECT_EQ(m_pPanel, nullptr); // no panel, so no sound was started
}

TEST_F(AppFixture, RecentFilesSurviveARestartAndMissingOnesLeaveTheList)
{
    const QString a = MakeFile("a.wav"), b = MakeFile("b.wav"), c = MakeFile("c.wav");
    {
        auto app = MakeApp();
        m_prompts.openAnswer = a;
        app->MainFrame()->Action(cmd::FileOpen)->trigger();
        EXPECT_EQ(m_prompts.lastFilter, "Wave Files (*.wav)");
        EXPECT_EQ(m_pPanel->initialUpdates, 2);
        m_prompts.openAnswer = b;
        app->OnFileOpen();
        // A save that cannot write is reported and enters nothing.
        m_prompts.saveAnswer = "/proc/no-such-dir/quiet.wav";
        app->MainFrame()->Action(cmd::FileSaveAs)->trigger();
        ASSERT_EQ(m_prompts.errors.size(), 1);
        EXPECT_TRUE(m_prompts.errors.takeFirst().contains("Cannot save"));
        EXPECT_EQ(app->MainFrame()->windowTitle(), "b.wav - Corvane");
        m_prompts.saveAnswer = c;
        app->MainFrame()->Action(cmd::FileSaveAs)->trigger();
        EXPECT_EQ(QFileInfo(c).size(), 0);
        EXPECT_EQ(app->MainFrame()->windowTitle(), "c.wav - Corvane");
        app->ExitInstance();
    }
    QFile::remove(b);
    auto app = MakeApp();
    EXPECT_EQ(app->RecentFiles().Paths(), QStringList({c, b, a}));
    ASSERT_EQ(app->MainFrame()->RecentFileActions().size(), 3);

    // Choosing b, which has gone, reports it and drops it; choosing a opens it and moves it up.
    app->MainFrame()->RecentFileActions().at(1)->trigger();
    ASSERT_EQ(m_prompts.errors.size(), 1);
    EXPECT_TRUE(m_prompts.errors[0].contains("b.wav"));
    EXPECT_EQ(app->RecentFiles().Paths(), QStringList({c, a}));
    EXPECT_EQ(m_pPanel->initialUpdates, 1);
    app->MainFrame()->RecentFileActions().at(1)->trigger();
    EXPECT_EQ(app->RecentFiles().Paths(), QStringList({a, c}));
    EXPECT_EQ(app->MainFrame()->windowTitle(), "a.wav - Corvane");
    EXPECT_EQ(m_pPanel->initialUpdates, 2);
    EXPECT_EQ(app->MainFrame()->RecentFileActions().at(0)->text(), corvane::CRecentFileList::MenuText(0, a));
}
