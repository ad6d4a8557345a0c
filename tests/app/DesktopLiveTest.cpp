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

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
    for (const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs); Clock::now() < deadline; SleepMs(20))
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

std::string SkipReason()
{
    for (const char* program : {"pulseaudio", "parec", "Xvfb", "xdotool", "import"})
        if (RunAndRead(std::string("command -v ") + program).empty())
            return std::string(program) + " is not installed: no desktop end-to-end check";
    return {};
}

// Waits for a visible window whose title matches `pattern`; returns its id or "".
std::string FindWindow(const std::string& display, const std::string& pattern, double seconds)
{
    std::istringstream found(RunAndRead("DISPLAY=" + display + " timeout " + std::to_string(seconds) +
                                        " xdotool search --sync --onlyvisible --name '" + pattern + "' 2>/dev/null"));
    std::string id;
    found >> id;
    return id;
}

// Keys typed into a window; without a window manager the window is given the focus first.
void TypeInto(const std::string& display, const std::string& window, const std::string& keys)
{
    RunAndRead("DISPLAY=" + display + " xdotool windowfocus --sync " + window + " key --delay 150 " + keys);
}

// User+system CPU time of a running process, in clock ticks.
long CpuTicks(pid_t pid)
{
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    // Fields after the command name, which is in parentheses and may hold spaces; utime is 14th.
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::string skip;
    long utime = 0, stime = 0;
    for (int i = 3; i < 14; ++i)
        rest >> skip;
    rest >> utime >> stime;
    return utime + stime;
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

std::vector<std::string> ProgramEnvironment(const std::string& display, const char* name, std::string* home)
{
    *home = std::string(CORVANE_TEST_OUTPUT_DIR) + "/" + name;
    std::filesystem::remove_all(*home);
    std::filesystem::create_directories(*home + "/config");
    std::filesystem::permissions(*home, std::filesystem::perms::owner_all);
    return {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "CORVANE_AUDIO=rtaudio",
            "XDG_CONFIG_HOME=" + *home + "/config", "HOME=" + *home, "XDG_RUNTIME_DIR=" + *home};
}

// Closes the window as a user would (File > Exit from the keyboard) and expects a clean end.
void ExitThroughMenu(const std::string& display, const std::string& window, pid_t program)
{
    TypeInto(display, window, "alt+f x");
    int status = -1;
    const bool ended = WaitForExit(program, 5000, &status);
    if (!ended)
        KillAndReap(program);
    EXPECT_TRUE(ended) << "still running after File > Exit";
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
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
    std::string home;
    std::vector<std::string> env = ProgramEnvironment(display.name, "desktop-live", &home);
    for (const std::string& e : pulse.ClientEnvironment())
        env.push_back(e);
    ASSERT_TRUE(pulse.StartCapture(kRate, 2)) << pulse.Error();
    const auto launched = Clock::now();
    const pid_t program = Spawn({CORVANE_BINARY}, env, home + "/corvane.log");
    ASSERT_GT(program, 0);

    const std::string window = FindWindow(display.name, "Untitled - Corvane", 10);
    ASSERT_FALSE(window.empty()) << ReadFile(home + "/corvane.log");

    // CPU over one second of steady running, then the resident size.
    SleepMs(1000);
    const long ticksBefore = CpuTicks(program);
    const auto cpuFrom = Clock::now();
    SleepMs(1000);
    const double cpuPercent = 100.0 * double(CpuTicks(program) - ticksBefore) / double(sysconf(_SC_CLK_TCK)) /
                              std::chrono::duration<double>(Clock::now() - cpuFrom).count();
    const long rssKb = std::atol(RunAndRead("ps -o rss= -p " + std::to_string(program)).c_str());

    const std::string screenshot = std::string(CORVANE_TEST_OUTPUT_DIR) + "/corvane-desktop.png";
    std::filesystem::remove(screenshot);
    RunAndRead("import -display " + display.name + " -window root " + screenshot);
    EXPECT_TRUE(std::filesystem::exists(screenshot));

    std::this_thread::sleep_until(launched + std::chrono::milliseconds(3000));
    const std::vector<std::int16_t> frames = pulse.StopCapture();
    ExitThroughMenu(display.name, window, program);

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

TEST(DesktopLive, WithoutASoundServerSaysSoKeepsRunningAndClosesCleanly)
{
    if (const std::string reason = SkipReason(); !reason.empty())
        GTEST_SKIP() << reason;
    XvfbDisplay display;
    ASSERT_TRUE(display.Start());
    std::string home;
    std::vector<std::string> env = ProgramEnvironment(display.name, "desktop-silent", &home);
    std::ofstream(home + "/client.conf") << "autospawn = no\n";
    env.insert(env.end(), {"PULSE_SERVER=unix:" + home + "/no-such-socket", "PULSE_CLIENTCONFIG=" + home + "/client.conf",
                           "JACK_NO_START_SERVER=1"});
    const pid_t program = Spawn({CORVANE_BINARY}, env, home + "/corvane.log");
    ASSERT_GT(program, 0);

    const std::string box = FindWindow(display.name, "^Corvane$", 10);
    if (box.empty() && !FindWindow(display.name, "Untitled - Corvane", 0.5).empty()) {
        KillAndReap(program);
        GTEST_SKIP() << "a sound system answered without the private server; nothing to check";
    }
    ASSERT_FALSE(box.empty()) << "no message box: " << ReadFile(home + "/corvane.log");
    SleepMs(500);
    EXPECT_EQ(waitpid(program, nullptr, WNOHANG), 0) << "ended while the message was up";

    TypeInto(display.name, box, "Return");
    const std::string window = FindWindow(display.name, "Untitled - Corvane", 5);
    ASSERT_FALSE(window.empty()) << ReadFile(home + "/corvane.log");
    SleepMs(1000);
    EXPECT_EQ(waitpid(program, nullptr, WNOHANG), 0) << "ended without sound";
    ExitThroughMenu(display.name, window, program);
}
