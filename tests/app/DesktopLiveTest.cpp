// The built program on a private X display with a private sound server: it sounds at once,
// shows its window and ends cleanly when closed; without a sound server it says so and runs on.
#include "DesktopProcess.h"
#include "tests/audio/PulseServer.h"
#include "tests/engine/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

using namespace corvane::test;
using Clock = std::chrono::steady_clock;

namespace {
constexpr unsigned kRate = 44100;

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string SkipReason()
{
    for (const char* program : {"pulseaudio", "parec", "Xvfb", "xdotool", "import"})
        if (!OnPath(program))
            return std::string(program) + " is not installed: no desktop end-to-end check";
    return {};
}

// Waits for a visible window whose title matches `pattern`; returns its id or "".
std::string FindWindow(const std::string& display, const std::string& pattern, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        std::string id = RunAndRead("DISPLAY=" + display + " xdotool search --onlyvisible --name '" +
                                    pattern + "' 2>/dev/null | head -n 1");
        while (!id.empty() && (id.back() == '\n' || id.back() == ' '))
            id.pop_back();
        if (!id.empty())
            return id;
        SleepMs(50);
    } while (Clock::now() < deadline);
    return {};
}

// Keys typed into a window; without a window manager the window is given the focus first.
void TypeInto(const std::string& display, const std::string& window, const std::string& keys)
{
    RunAndRead("DISPLAY=" + display + " xdotool windowfocus --sync " + window + " key --delay 150 " + keys);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Stereo {
    std::vector<float> left, right;
};

Stereo Split(const std::vector<std::int16_t>& frames, std::size_t fromFrame)
{
    Stereo s;
    for (std::size_t i = fromFrame * 2; i + 1 < frames.size(); i += 2) {
        s.left.push_back(frames[i] / 32768.0f);
        s.right.push_back(frames[i + 1] / 32768.0f);
    }
    return s;
}

// First frame from which 20 ms in a row carry sound on either channel.
long FirstAudibleFrame(const std::vector<std::int16_t>& frames)
{
    constexpr std::size_t kWindow = kRate / 50;
    for (std::size_t f = 0; (f + kWindow) * 2 <= frames.size(); f += kWindow / 4) {
        double sum = 0;
        for (std::size_t i = f * 2; i < (f + kWindow) * 2; ++i)
            sum += double(frames[i]) * frames[i];
        if (std::sqrt(sum / (kWindow * 2)) > 100.0)
            return static_cast<long>(f);
    }
    return -1;
}

std::vector<std::string> ProgramEnvironment(const std::string& display, const std::string& home)
{
    return {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "CORVANE_AUDIO=rtaudio",
            "XDG_CONFIG_HOME=" + home + "/config", "HOME=" + home, "XDG_RUNTIME_DIR=" + home};
}

std::string MakeHome(const char* name)
{
    const std::string home = std::string(CORVANE_TEST_OUTPUT_DIR) + "/" + name;
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home + "/config");
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    return home;
}
} // namespace

TEST(DesktopLive, StartsAudiblyShowsItsWindowAndExitsCleanlyWhenClosed)
{
    if (const std::string reason = SkipReason(); !reason.empty())
        GTEST_SKIP() << reason;
    PulseServer pulse;
    ASSERT_TRUE(pulse.Start()) << pulse.Error();
    XvfbDisplay display;
    ASSERT_TRUE(display.Start());
    const std::string home = MakeHome("desktop-live");

    std::vector<std::string> env = ProgramEnvironment(display.Name(), home);
    for (const std::string& e : pulse.ClientEnvironment())
        env.push_back(e);
    ASSERT_TRUE(pulse.StartCapture(kRate, 2)) << pulse.Error();
    const auto captureStart = Clock::now();
    const auto launched = Clock::now();
    const pid_t program = Spawn({CORVANE_BINARY}, env, home + "/corvane.log");
    ASSERT_GT(program, 0);

    const std::string window = FindWindow(display.Name(), "Untitled - Corvane", 10000);
    const double windowMs = std::chrono::duration<double, std::milli>(Clock::now() - launched).count();
    ASSERT_FALSE(window.empty()) << ReadFile(home + "/corvane.log");

    // CPU over one second of steady running, then the resident size.
    SleepMs(1000);
    const long ticksBefore = CpuTicks(program);
    const auto cpuFrom = Clock::now();
    SleepMs(1000);
    const double cpuPercent = 100.0 * double(CpuTicks(program) - ticksBefore) / double(sysconf(_SC_CLK_TCK)) /
                              std::chrono::duration<double>(Clock::now() - cpuFrom).count();
    const long rssKb = ResidentKilobytes(program);

    const std::string screenshot = std::string(CORVANE_TEST_OUTPUT_DIR) + "/corvane-desktop.png";
    std::filesystem::remove(screenshot);
    RunAndRead("import -display " + display.Name() + " -window root " + screenshot);
    EXPECT_TRUE(std::filesystem::exists(screenshot));

    std::this_thread::sleep_until(captureStart + std::chrono::milliseconds(3000));
    const std::vector<std::int16_t> frames = pulse.StopCapture();

    // Close it as a user would: File > Exit from the keyboard.
    TypeInto(display.Name(), window, "alt+f x");
    int status = -1;
    const bool ended = WaitForExit(program, 5000, &status);
    if (!ended)
        KillAndReap(program);
    EXPECT_TRUE(ended) << "still running after File > Exit";
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

    ASSERT_GT(frames.size(), 2u * kRate) << "capture too short: " << pulse.Log();
    const long onset = FirstAudibleFrame(frames);
    ASSERT_GE(onset, 0) << "no sound reached the sink";
    const double onsetMs = 1000.0 * onset / kRate -
                           std::chrono::duration<double, std::milli>(launched - captureStart).count();

    // The start-up sound: noise through a 1000 Hz low-pass, centred, on both channels.
    const Stereo s = Split(frames, static_cast<std::size_t>(onset) + kRate / 5);
    ASSERT_GT(s.left.size(), kRate / 2);
    const double rmsLeft = engine_test::Rms(s.left);
    const double rmsRight = engine_test::Rms(s.right);
    EXPECT_GT(rmsLeft, 0.01);
    EXPECT_GT(rmsRight, 0.01);
    EXPECT_NEAR(rmsLeft / rmsRight, 1.0, 0.2);
    const double low = engine_test::BandDensity(s.left, 100, 1900);
    const double high = engine_test::BandDensity(s.left, 3000, 15000);
    // Power per hertz, times each band's width: most of the energy lies below 2 kHz.
    EXPECT_GT(low * 1800, 4.0 * high * 12000) << "low " << low << " high " << high;

    std::cout << "[measure] window shown after " << windowMs << " ms; first audible block "
              << onsetMs << " ms after launch; resident " << rssKb << " kB; CPU " << cpuPercent
              << " %; RMS L/R " << rmsLeft << "/" << rmsRight << "; low/high density "
              << engine_test::Db(low / high) << " dB\n";
    RecordProperty("first_audible_ms", std::to_string(onsetMs));
    RecordProperty("resident_kb", std::to_string(rssKb));
    RecordProperty("cpu_percent", std::to_string(cpuPercent));
}

TEST(DesktopLive, WithoutASoundServerSaysSoKeepsRunningAndClosesCleanly)
{
    if (const std::string reason = SkipReason(); !reason.empty())
        GTEST_SKIP() << reason;
    XvfbDisplay display;
    ASSERT_TRUE(display.Start());
    const std::string home = MakeHome("desktop-silent");
    std::ofstream(home + "/client.conf") << "autospawn = no\n";
    std::vector<std::string> env = ProgramEnvironment(display.Name(), home);
    env.push_back("PULSE_SERVER=unix:" + home + "/no-such-socket");
    env.push_back("PULSE_CLIENTCONFIG=" + home + "/client.conf");
    env.push_back("JACK_NO_START_SERVER=1");
    const pid_t program = Spawn({CORVANE_BINARY}, env, home + "/corvane.log");
    ASSERT_GT(program, 0);

    const std::string box = FindWindow(display.Name(), "^Corvane$", 10000);
    if (box.empty() && !FindWindow(display.Name(), "Untitled - Corvane", 500).empty()) {
        KillAndReap(program);
        GTEST_SKIP() << "a sound system answered without the private server; nothing to check";
    }
    ASSERT_FALSE(box.empty()) << "no message box: " << ReadFile(home + "/corvane.log");
    SleepMs(500);
    int status = 0;
    EXPECT_EQ(waitpid(program, &status, WNOHANG), 0) << "ended while the message was up";

    TypeInto(display.Name(), box, "Return");
    const std::string window = FindWindow(display.Name(), "Untitled - Corvane", 5000);
    ASSERT_FALSE(window.empty()) << ReadFile(home + "/corvane.log");
    SleepMs(1000);
    EXPECT_EQ(waitpid(program, &status, WNOHANG), 0) << "ended without sound";

    TypeInto(display.Name(), window, "alt+f x");
    const bool ended = WaitForExit(program, 5000, &status);
    if (!ended)
        KillAndReap(program);
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}
