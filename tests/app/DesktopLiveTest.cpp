// The built program on a private X display with a private sound server: it sounds at once,
// shows its window and ends cleanly when closed; without a sound server it says so and runs on.
#include "tests/audio/PulseServer.h"
#include "tests/engine/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

using corvane::test::PulseServer;
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

// Runs `argv` with `env` (NAME=value) added to this environment; stdout and stderr go to `log`
// (a file name); `fd3`, if given, is handed on as descriptor 3.
pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& env, const std::string& log, int fd3 = -1)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    for (const std::string& e : env)
        putenv(strdup(e.c_str()));
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    if (fd3 >= 0)
        dup2(fd3, 3);
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

bool WaitForExit(pid_t pid, int timeoutMs, int* status)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (; Clock::now() < deadline; SleepMs(20))
        if (waitpid(pid, status, WNOHANG) == pid)
            return true;
    return false;
}

void KillAndReap(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A private Xvfb on a display number it picks itself, so tests side by side never share one.
struct XvfbDisplay {
    pid_t pid = -1;
    std::string name;
    bool Start()
    {
        int report[2];
        if (pipe(report) != 0)
            return false;
        pid = Spawn({"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"}, {}, "/dev/null",
                    report[1]);
        close(report[1]);
        std::string number;
        char c = 0;
        pollfd ready{report[0], POLLIN, 0};
        while (number.find('\n') == std::string::npos && poll(&ready, 1, 10000) == 1 && read(report[0], &c, 1) == 1)
            number += c;
        close(report[0]);
        name = ":" + number.substr(0, number.find('\n'));
        return number.find('\n') != std::string::npos;
    }
    ~XvfbDisplay()
    {
        if (pid > 0 && kill(pid, SIGTERM) == 0 && !WaitForExit(pid, 3000, nullptr))
            KillAndReap(pid);
    }
};

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
        for (const char* tool : {"pulseaudio", "parec", "Xvfb", "xdotool", "import"})
            if (RunAndRead(std::string("command -v ") + tool).empty())
                GTEST_SKIP() << tool << " is not installed: no desktop end-to-end check";
        ASSERT_TRUE(m_display.Start());
    }

    void Launch(const char* name, std::vector<std::string> env)
    {
        m_home = std::string(CORVANE_TEST_OUTPUT_DIR) + "/" + name;
        std::filesystem::remove_all(m_home);
        std::filesystem::create_directories(m_home + "/config");
        std::filesystem::permissions(m_home, std::filesystem::perms::owner_all);
        env.insert(env.end(), {"DISPLAY=" + m_display.name, "QT_QPA_PLATFORM=xcb", "CORVANE_AUDIO=rtaudio",
                               "XDG_CONFIG_HOME=" + m_home + "/config", "HOME=" + m_home, "XDG_RUNTIME_DIR=" + m_home});
        m_program = Spawn({CORVANE_BINARY}, env, m_home + "/corvane.log");
        ASSERT_GT(m_program, 0);
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
        int status = -1;
        const bool ended = WaitForExit(m_program, 5000, &status);
        if (!ended)
            KillAndReap(m_program);
        EXPECT_TRUE(ended) << "still running after File > Exit";
        EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }

    XvfbDisplay m_display;
    std::string m_home;
    pid_t m_program = -1;
};
} // namespace

TEST_F(DesktopLive, StartsAudiblyShowsItsWindowAndExitsCleanlyWhenClosed)
{
    PulseServer pulse;
    ASSERT_TRUE(pulse.Start()) << pulse.Error();
    ASSERT_TRUE(pulse.StartCapture(kRate, 2)) << pulse.Error();
    const auto launched = Clock::now();
    Launch("desktop-live", pulse.ClientEnvironment());
    const std::string window = FindWindow("Untitled - Corvane", 10);
    ASSERT_FALSE(window.empty()) << Log();

    // CPU over one second of steady running (user and system clock ticks), then the resident size.
    const auto cpuTicks = [&] {
        return std::atol(RunAndRead("awk '{print $14 + $15}' /proc/" + std::to_string(m_program) + "/stat").c_str());
    };
    SleepMs(1000);
    const long ticksBefore = cpuTicks();
    const auto cpuFrom = Clock::now();
    SleepMs(1000);
    const double cpuPercent = 100.0 * double(cpuTicks() - ticksBefore) / double(sysconf(_SC_CLK_TCK)) /
                              std::chrono::duration<double>(Clock::now() - cpuFrom).count();
    const long rssKb = std::atol(RunAndRead("ps -o rss= -p " + std::to_string(m_program)).c_str());

    const std::string screenshot = std::string(CORVANE_TEST_OUTPUT_DIR) + "/corvane-desktop.png";
    std::filesystem::remove(screenshot);
    RunAndRead("import -display " + m_display.name + " -window root " + screenshot);
    EXPECT_TRUE(std::filesystem::exists(screenshot));

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

    std::cout << "[measure] first audible block " << onsetMs
              << " ms after launch; resident " << rssKb << " kB; CPU " << cpuPercent << " %; RMS L/R " << rmsLeft
              << "/" << rmsRight << "; low/high density " << 10.0 * std::log10(low / high) << " dB\n";
    RecordProperty("first_audible_ms", std::to_string(onsetMs));
    RecordProperty("resident_kb", std::to_string(rssKb));
    RecordProperty("cpu_percent", std::to_string(cpuPercent));
}

TEST_F(DesktopLive, WithoutASoundServerSaysSoKeepsRunningAndClosesCleanly)
{
    const std::string conf = std::string(CORVANE_TEST_OUTPUT_DIR) + "/no-autospawn.conf";
    std::ofstream(conf) << "autospawn = no\n";
    Launch("desktop-silent", {"PULSE_SERVER=unix:/nonexistent/corvane-socket", "PULSE_CLIENTCONFIG=" + conf,
                              "JACK_NO_START_SERVER=1"});
    const std::string box = FindWindow("^Corvane$", 10);
    if (box.empty() && !FindWindow("Untitled - Corvane", 0.5).empty()) {
        KillAndReap(m_program);
        GTEST_SKIP() << "a sound system answered without the private server; nothing to check";
    }
    ASSERT_FALSE(box.empty()) << "no message box: " << Log();
    SleepMs(500);
    EXPECT_EQ(waitpid(m_program, nullptr, WNOHANG), 0) << "ended while the message was up";

    TypeInto(box, "Return");
    const std::string window = FindWindow("Untitled - Corvane", 5);
    ASSERT_FALSE(window.empty()) << Log();
    SleepMs(1000);
    EXPECT_EQ(waitpid(m_program, nullptr, WNOHANG), 0) << "ended without sound";
    ExitThroughMenu(window);
}
