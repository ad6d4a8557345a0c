// One child program for tests: a private server (PulseAudio, Xvfb, a session bus) or the
// program under test. Started with extra environment entries and its output in files, waited
// for with a bound, and stopped (gently first) when the test ends.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace corvane::test {

class ChildProcess {
public:
    struct Options {
        std::vector<std::string> env; // NAME=value entries that replace inherited ones
        std::string out = "/dev/null"; // file for stdout
        std::string err;               // file for stderr, appended; empty: the same as stdout
        int fd3 = -1;                  // handed on as descriptor 3 (e.g. Xvfb -displayfd 3)
    };

    ChildProcess() = default;
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] found on the PATH; false if it could not be started.
    bool Start(const std::vector<std::string>& argv, const Options& options);
    // Starts a server that reports where to reach it as one line on descriptor 3 (Xvfb
    // -displayfd 3, dbus-daemon --print-address=3); returns that line, or "" when none came
    // within 10 s.
    std::string StartReporting(const std::vector<std::string>& argv);

    // Polls `ready` every 20 ms until it holds (true), or the child ends or `timeout` passes
    // (false; Exited() tells which).
    bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout);
    // Waits for the child to end by itself; false if it still runs after `timeout`.
    bool WaitForExit(std::chrono::milliseconds timeout);
    bool Running();
    bool Exited() const { return m_pid <= 0 && m_status != -1; }
    int Status() const { return m_status; } // as waitpid reports it; -1 before the end
    pid_t Pid() const { return m_pid; }     // for a signal that must not reap it (SIGSTOP)

    // Sends `signal`, then SIGKILL if the child still runs after `grace`, and reaps it.
    void Stop(int signal = 15 /* SIGTERM */,
              std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

private:
    pid_t m_pid = -1;
    int m_status = -1;
};

} // namespace corvane::test
