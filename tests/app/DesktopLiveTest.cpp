// The built program on a private X display with a private sound server: it sounds at once,
// shows its window and ends cleanly when closed; without a sound server it says so and runs on;
// the desktop's player controls pause it, play it and quit it over a private session bus; a
// sound saved through the File menu opens again from the command line.
#include "tests/audio/PulseServer.h"
#include "tests/engine/SignalAnalysis.h"
#include "tests/support/CannotRun.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

using corvane::test::ChildProcess;
using corvane::test::PulseServer;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {
constexpr unsigned kRate = 44100;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

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

// Starts a server that reports where to reach it as one line on descriptor 3; returns that
// line, or "" when none came within 10 s.
std::string StartAndReadLine(ChildProcess& server, const std::vector<std::string>& argv)
{
    int report[2];
    if (pipe(report) != 0)
        return {};
    ChildProcess::Options options;
    options.fd3 = report[1];
    const bool started = server.Start(argv, options);
    close(report[1]);
    std::string line;
    char c = 0;
    pollfd ready{report[0], POLLIN, 0};
    while (started && line.find('\n') == std::string::npos && poll(&ready, 1, 10000) == 1 &&
           read(report[0], &c, 1) == 1)
        line += c;
    close(report[0]);
    return line.find('\n') == std::string::npos ? std::string() : line.substr(0, line.find('\n'));
}

// A private Xvfb on a display number it picks itself, so tests side by side never share one.
struct XvfbDisplay {
    ChildProcess server;
    std::string name;
    bool Start()
    {
        const std::string number =
            StartAndReadLine(server, {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"});
        name = ":" + number;
        return !number.empty();
    }
};

// A private session bus, so that the program's player controls never meet the desktop's.
struct SessionBus {
    ChildProcess daemon;
    std::string address;
    bool Start()
    {
        address = StartAndReadLine(daemon, {"dbus-daemon", "--session", "--nofork", "--print-address=3"});
        return !address.empty();
    }
    // Calls `method` of the program's MPRIS object with dbus-send; returns the printed reply.
    std::string Call(const std::string& method, const std::string& args = "") const
    {
        return RunAndRead("DBUS_SESSION_BUS_ADDRESS='" + address +
                          "' dbus-send --session --print-reply --reply-timeout=5000 "
                          "--dest=org.mpris.MediaPlayer2.corvane /org/mpris/MediaPlayer2 " +
                          method + " " + args + " 2>&1");
    }
    std::string PlaybackStatus() const
    {
        return Call("org.freedesktop.DBus.Properties.Get",
                    "string:org.mpris.MediaPlayer2.Player string:PlaybackStatus");
    }
};

// RMS over both channels of the captured frames from `from` to `to` seconds.
double Level(const std::vector<std::int16_t>& frames, double from, double to)
{
    const auto at = [&](double seconds) {
        return frames.begin() + std::clamp<long>(std::lround(seconds * kRate) * 2, 0, long(frames.size()));
    };
    return engine_test::Rms(std::vector<float>(at(from), at(to))) / 32768.0;
}

// First frame from which 20 ms in a row carry sound (RMS over both channels).
long FirstAudibleFrame(const std::vector<std::int16_t>& frames)
{
    for (std::size_t f = 0; (f + kRate / 50) * 2 <= frames.size(); f += kRate / 200) {
        const auto from = frames.begin() + static_cast<long>(f * 2);
        if (engine_test::Rms(std::vector<float>(from, from + kRate / 50 * 2)) > 100.0)
            return static_cast<long>(f);
    }
    return -1;
}

// A private X display, the program launched on it with a fresh home, and what a user does there.
class DesktopLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        CORVANE_REQUIRE_PROGRAMS("pulseaudio", "parec", "Xvfb", "xdotool");
        if (!m_display.Start()) {
            CORVANE_CANNOT_RUN("Xvfb did not report a display");
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
        env.insert(env.end(), {"DISPLAY=" + m_display.name, "QT_QPA_PLATFORM=xcb", "CORVANE_AUDIO=rtaudio",
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
        std::istringstream found(RunAndRead("DISPLAY=" + m_display.name + " timeout " + std::to_string(seconds) +
                                            " xdotool search --sync --onlyvisible --name '" + pattern + "'"));
        std::string id;
        found >> id;
        return id;
    }

    // Keys typed into a window; without a window manager the window is given the focus first.
    void TypeInto(const std::string& window, const std::string& keys)
    {
        RunAndRead("DISPLAY=" + m_display.name + " xdotool windowfocus --sync " + window + " key --delay 150 " + keys);
    }

    // Closes the window as a user would (File > Exit from the keyboard) and expects a clean end.
    void ExitThroughMenu(const std::string& window)
    {
        TypeInto(window, "alt+f x");
        const bool ended = m_program.WaitForExit(5s);
        EXPECT_TRUE(ended) << "still running after File > Exit";
        EXPECT_TRUE(ended && WIFEXITED(m_program.Status()) && WEXITSTATUS(m_program.Status()) == 0)
            << "status " << m_program.Status();
    }

    // File > Save As from the keyboard, typing `path` into the file dialog.
    void SaveAs(const std::string& window, const std::string& path)
    {
        TypeInto(window, "alt+f a");
        const std::string dialog = FindWindow("^Save As$", 5);
        ASSERT_FALSE(dialog.empty()) << "no Save As dialog: " << Log();
        TypeInto(dialog, "ctrl+a");
        RunAndRead("DISPLAY=" + m_display.name + " xdotool type --delay 20 '" + path + "'");
        TypeInto(dialog, "Return");
    }

    XvfbDisplay m_display;
    std::string m_home;
    ChildProcess m_program;
};
} // namespace

TEST_F(DesktopLive, StartsAudiblyShowsItsWindowAndExitsCleanlyWhenClosed)
{
    PulseServer pulse;
    if (!pulse.Start()) {
        CORVANE_CANNOT_RUN("no private PulseAudio server: " << pulse.Error());
    }
    ASSERT_TRUE(pulse.StartCapture(kRate, 2)) << pulse.Error();
    const auto launched = Clock::now();
    Launch("desktop-live", pulse.ClientEnvironment());
    const std::string window = FindWindow("Untitled - Corvane", 10);
    ASSERT_FALSE(window.empty()) << Log();

    std::this_thread::sleep_until(launched + std::chrono::milliseconds(3000));
    const std::vector<std::int16_t> frames = pulse.StopCapture();
    ExitThroughMenu(window);

    ASSERT_GT(frames.size(), 2u * kRate) << "capture too short: " << pulse.Log();
    const long onset = FirstAudibleFrame(frames);
    ASSERT_GE(onset, 0) << "no sound reached the sink";
    const double onsetMs = 1000.0 * onset / kRate;

    // The start-up sound: noise through a 1000 Hz low-pass, centred, on both channels.
    std::vector<float> left, right;
    for (std::size_t i = (static_cast<std::size_t>(onset) + kRate / 5) * 2; i + 1 < frames.size(); i += 2) {
        left.push_back(frames[i] / 32768.0f);
        right.push_back(frames[i + 1] / 32768.0f);
    }
    ASSERT_GT(left.size(), kRate / 2);
    const double rmsLeft = engine_test::Rms(left);
    const double rmsRight = engine_test::Rms(right);
    EXPECT_GT(rmsLeft, 0.01);
    EXPECT_GT(rmsRight, 0.01);
    EXPECT_NEAR(rmsLeft / rmsRight, 1.0, 0.2);
    const double low = engine_test::BandDensity(left, 100, 1900);
    const double high = engine_test::BandDensity(left, 3000, 15000);
    // Power per hertz, times each band's width: most of the energy lies below 2 kHz.
    EXPECT_GT(low * 1800, 4.0 * high * 12000) << "low " << low << " high " << high;

    std::cout << "[measure] first audible block " << onsetMs << " ms after launch\n";
    RecordProperty("first_audible_ms", std::to_string(onsetMs));
}

TEST_F(DesktopLive, SleepTimerFromTheCommandLineFadesToSilenceAndTheProgramRunsOn)
{
    PulseServer pulse;
    if (!pulse.Start()) {
        CORVANE_CANNOT_RUN("no private PulseAudio server: " << pulse.Error());
    }
    ASSERT_TRUE(pulse.StartCapture(kRate, 2)) << pulse.Error();
    const auto launched = Clock::now();
    Launch("desktop-sleep", pulse.ClientEnvironment(), {"--sleep", "20s"});
    const std::string window = FindWindow("Untitled - Corvane", 10);
    ASSERT_FALSE(window.empty()) << Log();
    std::this_thread::sleep_until(launched + std::chrono::milliseconds(24500));
    const std::vector<std::int16_t> frames = pulse.StopCapture();
    EXPECT_TRUE(m_program.Running()) << "ended when the timer ran out";
    ExitThroughMenu(window); // still answering the keyboard; exits with 0

    const long onset = FirstAudibleFrame(frames);
    ASSERT_GE(onset, 0) << "no sound reached the sink";
    // The timer starts as the sound does: the first 10 s at the normal level, silence from 21 s.
    const double t0 = double(onset) / kRate;
    const auto rms = [&](double from, double to) { return Level(frames, t0 + from, t0 + to); };
    const double start = rms(0.2, 1.2);
    ASSERT_GT(frames.size(), std::size_t((t0 + 23) * kRate * 2)) << "capture too short";
    EXPECT_GT(start, 0.009);
    for (int second = 1; second < 10; ++second)
        EXPECT_NEAR(rms(second, second + 1) / start, 1.0, 0.25) << "second " << second;
    EXPECT_LT(rms(16.5, 17.5), 0.8 * start) << "no fade over the last quarter";
    EXPECT_LT(rms(21.0, 23.0), 0.01 * start);
}

TEST_F(DesktopLive, WithoutASoundServerSaysSoKeepsRunningAndClosesCleanly)
{
    const std::string conf = std::string(CORVANE_TEST_OUTPUT_DIR) + "/no-autospawn.conf";
    std::ofstream(conf) << "autospawn = no\n";
    Launch("desktop-silent", {"PULSE_SERVER=unix:/nonexistent/corvane-socket", "PULSE_CLIENTCONFIG=" + conf,
                              "JACK_NO_START_SERVER=1"});
    const std::string box = FindWindow("^Corvane$", 10);
    if (box.empty() && !FindWindow("Untitled - Corvane", 0.5).empty()) {
        m_program.Stop(SIGKILL);
        CORVANE_CANNOT_RUN("a sound system answered without the private server; nothing to check");
    }
    ASSERT_FALSE(box.empty()) << "no message box: " << Log();
    SleepMs(500);
    EXPECT_TRUE(m_program.Running()) << "ended while the message was up";

    TypeInto(box, "Return");
    const std::string window = FindWindow("Untitled - Corvane", 5);
    ASSERT_FALSE(window.empty()) << Log();
    SleepMs(1000);
    EXPECT_TRUE(m_program.Running()) << "ended without sound";
    ExitThroughMenu(window);
}

TEST_F(DesktopLive, MediaKeyPauseSilencesWithinASecondAndAHalfPlayBringsItBackQuitEndsCleanly)
{
    CORVANE_REQUIRE_PROGRAMS("dbus-daemon", "dbus-send");
    SessionBus bus;
    if (!bus.Start()) {
        CORVANE_CANNOT_RUN("no private session bus: dbus-daemon reported no address");
    }
    PulseServer pulse;
    if (!pulse.Start()) {
        CORVANE_CANNOT_RUN("no private PulseAudio server: " << pulse.Error());
    }
    ASSERT_TRUE(pulse.StartCapture(kRate, 2)) << pulse.Error();
    const auto captured = Clock::now();
    const auto since = [&] { return std::chrono::duration<double>(Clock::now() - captured).count(); };
    std::vector<std::string> env = pulse.ClientEnvironment();
    env.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus.address);
    Launch("desktop-mpris", env);
    ASSERT_FALSE(FindWindow("Untitled - Corvane", 10).empty()) << Log();
    ASSERT_TRUE(m_program.WaitUntil([&] { return bus.PlaybackStatus().find("Playing") != std::string::npos; }, 5s))
        << bus.PlaybackStatus() << Log();

    // What the desktop does on the keyboard's pause and play keys: the player's Pause and Play.
    SleepMs(1500);
    const double paused = since();
    bus.Call("org.mpris.MediaPlayer2.Player.Pause");
    EXPECT_NE(bus.PlaybackStatus().find("Paused"), std::string::npos);
    SleepMs(3000);
    const double played = since();
    bus.Call("org.mpris.MediaPlayer2.Player.Play");
    EXPECT_NE(bus.PlaybackStatus().find("Playing"), std::string::npos);
    SleepMs(3000);
    const std::vector<std::int16_t> frames = pulse.StopCapture();

    // Quit over the bus ends the program as File > Exit does.
    bus.Call("org.mpris.MediaPlayer2.Quit");
    const bool ended = m_program.WaitForExit(5s);
    EXPECT_TRUE(ended) << "still running after Quit over the bus";
    EXPECT_TRUE(ended && WIFEXITED(m_program.Status()) && WEXITSTATUS(m_program.Status()) == 0)
        << "status " << m_program.Status();

    ASSERT_GT(frames.size(), std::size_t((played + 2.5) * kRate * 2)) << "capture too short: " << pulse.Log();
    const double before = Level(frames, paused - 1.0, paused);
    const double silent = Level(frames, paused + 1.5, played - 0.2);
    const double after = Level(frames, played + 1.5, played + 2.5);
    EXPECT_GT(before, 0.01) << "no sound before the pause";
    EXPECT_LT(silent, 0.01 * before) << "still sounding 1.5 s after Pause";
    EXPECT_NEAR(after / before, 1.0, 0.2) << "Play did not bring the sound back at its level";
}

TEST_F(DesktopLive, ASoundSavedThroughTheFileMenuReopensFromTheCommandLine)
{
    PulseServer pulse;
    if (!pulse.Start()) {
        CORVANE_CANNOT_RUN("no private PulseAudio server: " << pulse.Error());
    }
    const std::string first = std::string(CORVANE_TEST_OUTPUT_DIR) + "/desktop-first.corvane";
    const std::string second = std::string(CORVANE_TEST_OUTPUT_DIR) + "/desktop-second.corvane";
    std::filesystem::remove(first);
    std::filesystem::remove(second);
    const auto read = [](const std::string& path) {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    };

    // A change from the keyboard (the first control, a list, one entry down) marks the title.
    Launch("desktop-sound", pulse.ClientEnvironment());
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
    Launch("desktop-sound-reopened", pulse.ClientEnvironment(), {first});
    window = FindWindow("^desktop-first.corvane - Corvane$", 10);
    ASSERT_FALSE(window.empty()) << Log();
    SaveAs(window, second);
    ASSERT_FALSE(FindWindow("^desktop-second.corvane - Corvane$", 5).empty()) << Log();
    ExitThroughMenu(window);
    EXPECT_EQ(read(second), saved);
}
