// The built program on a private X display with a private sound server: it sounds at once,
// shows its window and ends cleanly when closed; the desktop's player controls pause it, play it
// and quit it over a private session bus; a sound saved through the File menu opens again from
// the command line. Without a sound server the output's retry (LiveAudio) and the panel's one
// message (PanelWithoutDevice) are checked where they are made.
#include "tests/audio/PulseServer.h"
#include "tests/engine/SignalAnalysis.h"
#include "tests/support/CannotRun.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

using corvane::test::ChildProcess;
using corvane::test::PulseServer;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {
constexpr unsigned kRate = 44100;

std::string RunAndRead(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

// RMS over both channels of the captured frames from `from` to `to` seconds.
double Level(const std::vector<std::int16_t>& frames, double from, double to)
{
    const auto at = [&](double seconds) {
        return frames.begin() + std::clamp<long>(std::lround(seconds * kRate) * 2, 0, long(frames.size()));
    };
    return engine_test::Rms(std::vector<float>(at(from), at(to))) / 32768.0;
}

// The first moment, in seconds, from which 20 ms in a row carry sound; -1 if none does.
double FirstAudibleSecond(const std::vector<std::int16_t>& frames)
{
    for (double t = 0; (t + 0.02) * kRate * 2 <= double(frames.size()); t += 0.005)
        if (Level(frames, t, t + 0.02) > 100.0 / 32768)
            return t;
    return -1;
}

// A private X display, the program launched on it with a fresh home, and what a user does there.
class DesktopLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        CORVANE_REQUIRE_PROGRAMS("pulseaudio", "parec", "Xvfb", "xdotool");
        // Xvfb picks a free display number itself, so tests side by side never share one.
        m_display = ":" + m_xvfb.StartReporting({"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0",
                                                     "1280x1024x24"});
        if (m_display == ":") {
            CORVANE_CANNOT_RUN("Xvfb did not report a display");
        }
        if (!m_pulse.Start()) {
            CORVANE_CANNOT_RUN("no private PulseAudio server: " << m_pulse.Error());
        }
    }

    void Launch(const char* name, std::vector<std::string> env, const std::vector<std::string>& args = {})
    {
        m_home = std::string(CORVANE_TEST_OUTPUT_DIR) + "/" + name;
        std::filesystem::remove_all(m_home);
        std::filesystem::create_directories(m_home + "/config");
        std::filesystem::permissions(m_home, std::filesystem::perms::owner_all);
        // The desktop's own session bus is never offered to the program under test.
        if (std::none_of(env.begin(), env.end(), [](const std::string& e) { return e.starts_with("DBUS_SESSION"); }))
            env.push_back("DBUS_SESSION_BUS_ADDRESS=disabled:");
        env.insert(env.end(), {"DISPLAY=" + m_display, "QT_QPA_PLATFORM=xcb", "CORVANE_AUDIO=rtaudio",
                               "XDG_CONFIG_HOME=" + m_home + "/config", "HOME=" + m_home, "XDG_RUNTIME_DIR=" + m_home});
        ChildProcess::Options options;
        options.env = env;
        options.out = m_home + "/corvane.log";
        std::vector<std::string> argv{CORVANE_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        ASSERT_TRUE(m_program.Start(argv, options));
    }
    std::string Log() { return RunAndRead("cat " + m_home + "/corvane.log"); }

    // Waits for a visible window whose title matches `pattern`; returns its id or "".
    std::string FindWindow(const std::string& pattern, double seconds)
    {
        std::istringstream found(RunAndRead("DISPLAY=" + m_display + " timeout " + std::to_string(seconds) +
                                            " xdotool search --sync --onlyvisible --name '" + pattern + "'"));
        std::string id;
        found >> id;
        return id;
    }

    // Keys typed into a window; without a window manager the window is given the focus first.
    void TypeInto(const std::string& window, const std::string& keys)
    {
        RunAndRead("DISPLAY=" + m_display + " xdotool windowfocus --sync " + window + " key --delay 150 " + keys);
    }

    // Closes the window as a user would (File > Exit from the keyboard) and expects a clean end.
    void ExitThroughMenu(const std::string& window)
    {
        TypeInto(window, "alt+f x");
        ExpectCleanExit("File > Exit");
    }
    void ExpectCleanExit(const char* after)
    {
        EXPECT_TRUE(m_program.WaitForExit(5s) && WIFEXITED(m_program.Status()) && WEXITSTATUS(m_program.Status()) == 0)
            << "after " << after << ": status " << m_program.Status() << " (-1: still running)";
    }

    // File > Save As from the keyboard, typing `path` into the file dialog.
    void SaveAs(const std::string& window, const std::string& path)
    {
        TypeInto(window, "alt+f a");
        const std::string dialog = FindWindow("^Save As$", 5);
        ASSERT_FALSE(dialog.empty()) << "no Save As dialog: " << Log();
        TypeInto(dialog, "ctrl+a");
        RunAndRead("DISPLAY=" + m_display + " xdotool type --delay 20 '" + path + "'");
        TypeInto(dialog, "Return");
    }

    ChildProcess m_xvfb;
    std::string m_display, m_home;
    PulseServer m_pulse;
    ChildProcess m_program;
};
} // namespace

TEST_F(DesktopLive, SoundsAtOnceAndASleepTimerFromTheCommandLineFadesToSilenceWhileItRunsOn)
{
    ASSERT_TRUE(m_pulse.StartCapture(kRate, 2)) << m_pulse.Error();
    const auto launched = Clock::now();
    Launch("desktop-sleep", m_pulse.ClientEnvironment(), {"--sleep", "20s"});
    const std::string window = FindWindow("Untitled - Corvane", 10);
    ASSERT_FALSE(window.empty()) << Log();
    // The desktop's sound settings list the stream as Corvane's, with its icon.
    m_pulse.UseInThisProcess(); // for pactl; every launch names its own server
    const std::string inputs = RunAndRead("pactl list sink-inputs");
    EXPECT_NE(inputs.find("application.name = \"Corvane\""), std::string::npos) << inputs;
    EXPECT_NE(inputs.find("application.icon_name = \"corvane\""), std::string::npos) << inputs;
    std::this_thread::sleep_until(launched + std::chrono::milliseconds(24500));
    const std::vector<std::int16_t> frames = m_pulse.StopCapture();
    EXPECT_TRUE(m_program.Running()) << "ended when the timer ran out";
    ExitThroughMenu(window); // still answering the keyboard; exits with 0

    const double t0 = FirstAudibleSecond(frames);
    ASSERT_GE(t0, 0) << "no sound reached the sink: " << m_pulse.Log();
    ASSERT_GT(frames.size(), std::size_t((t0 + 23) * kRate * 2)) << "capture too short";

    // The timer starts as the sound does: the first 10 s at the normal level, silence from 21 s.
    const auto rms = [&](double from, double to) { return Level(frames, t0 + from, t0 + to); };
    const double start = rms(0.2, 1.2);
    EXPECT_GT(start, 0.009);
    for (int second = 1; second < 10; ++second)
        EXPECT_NEAR(rms(second, second + 1) / start, 1.0, 0.25) << "second " << second;
    EXPECT_LT(rms(16.5, 17.5), 0.8 * start) << "no fade over the last quarter";
    EXPECT_LT(rms(21.0, 23.0), 0.01 * start);
}

TEST_F(DesktopLive, MediaKeyPauseSilencesWithinASecondAndAHalfPlayBringsItBackQuitEndsCleanly)
{
    CORVANE_REQUIRE_PROGRAMS("dbus-daemon", "dbus-send");
    // A private session bus, so that the program's player controls never meet the desktop's.
    ChildProcess daemon;
    const std::string bus = daemon.StartReporting({"dbus-daemon", "--session", "--nofork", "--print-address=3"});
    if (bus.empty()) {
        CORVANE_CANNOT_RUN("no private session bus: dbus-daemon reported no address");
    }
    // What the desktop does on the keyboard's media keys: a call on the program's MPRIS object.
    const auto call = [&](const std::string& method, const std::string& args = "") {
        return RunAndRead("DBUS_SESSION_BUS_ADDRESS='" + bus + "' dbus-send --session --print-reply --reply-timeout=5000 "
                          "--dest=org.mpris.MediaPlayer2.corvane /org/mpris/MediaPlayer2 " + method + " " + args + " 2>&1");
    };
    const auto status = [&] {
        return call("org.freedesktop.DBus.Properties.Get", "string:org.mpris.MediaPlayer2.Player string:PlaybackStatus");
    };
    ASSERT_TRUE(m_pulse.StartCapture(kRate, 2)) << m_pulse.Error();
    const auto captured = Clock::now();
    const auto since = [&] { return std::chrono::duration<double>(Clock::now() - captured).count(); };
    std::vector<std::string> env = m_pulse.ClientEnvironment();
    env.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus);
    Launch("desktop-mpris", env);
    ASSERT_FALSE(FindWindow("Untitled - Corvane", 10).empty()) << Log();
    ASSERT_TRUE(m_program.WaitUntil([&] { return status().find("Playing") != std::string::npos; }, 5s))
        << status() << Log();

    std::this_thread::sleep_for(1500ms);
    const double paused = since();
    call("org.mpris.MediaPlayer2.Player.Pause");
    std::this_thread::sleep_for(3s);
    const double played = since();
    call("org.mpris.MediaPlayer2.Player.Play");
    std::this_thread::sleep_for(3s);
    const std::vector<std::int16_t> frames = m_pulse.StopCapture();
    call("org.mpris.MediaPlayer2.Quit");
    ExpectCleanExit("Quit over the bus");

    ASSERT_GT(frames.size(), std::size_t((played + 2.5) * kRate * 2)) << "capture too short: " << m_pulse.Log();
    const double before = Level(frames, paused - 1.0, paused);
    EXPECT_GT(before, 0.01) << "no sound before the pause";
    EXPECT_LT(Level(frames, paused + 1.5, played - 0.2), 0.01 * before) << "still sounding 1.5 s after Pause";
    EXPECT_NEAR(Level(frames, played + 1.5, played + 2.5) / before, 1.0, 0.2) << "Play did not bring the sound back";
}

TEST_F(DesktopLive, ASoundSavedThroughTheFileMenuReopensFromTheCommandLine)
{
    const auto read = [](const std::string& path) { return RunAndRead("cat '" + path + "'"); };

    // A change from the keyboard (the first control, a list, one entry down) marks the title.
    // Each launch starts with a fresh home, where its file goes.
    Launch("desktop-sound", m_pulse.ClientEnvironment());
    const std::string first = m_home + "/desktop-first.corvane";
    std::string window = FindWindow("^Untitled - Corvane$", 10);
    ASSERT_FALSE(window.empty()) << Log();
    TypeInto(window, "Tab Down");
    ASSERT_FALSE(FindWindow("^Untitled\\* - Corvane$", 5).empty()) << "no asterisk after a change";
    SaveAs(window, first);
    ASSERT_FALSE(FindWindow("^desktop-first.corvane - Corvane$", 5).empty()) << Log();
    ExitThroughMenu(window); // saved, so Exit asks nothing
    const std::string saved = read(first);
    EXPECT_NE(saved.find("\nnoise="), std::string::npos) << saved;

    // The same sound from the command line, saved again: the same file.
    Launch("desktop-sound-reopened", m_pulse.ClientEnvironment(), {first});
    const std::string second = m_home + "/desktop-second.corvane";
    window = FindWindow("^desktop-first.corvane - Corvane$", 10);
    ASSERT_FALSE(window.empty()) << Log();
    SaveAs(window, second);
    ASSERT_FALSE(FindWindow("^desktop-second.corvane - Corvane$", 5).empty()) << Log();
    ExitThroughMenu(window);
    EXPECT_EQ(read(second), saved);
}
