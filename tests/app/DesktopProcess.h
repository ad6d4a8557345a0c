// Child processes for the desktop test: a private Xvfb display and programs run on it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace corvane::test {
// Starts `args` with the current environment plus `env` (NAME=value entries win), output to
// `logFile`. Returns the process id, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& logFile);
// Waits up to `timeoutMs` for the process to end; true with its wait status set when it did.
bool WaitForExit(pid_t pid, int timeoutMs, int* status);
// Ends a process that is still running (SIGKILL) and reaps it.
void KillAndReap(pid_t pid);
// Runs a shell command and returns what it printed on stdout.
std::string RunAndRead(const std::string& command);
// True when `program` is found on the PATH.
bool OnPath(const std::string& program);

// Resident memory (kB) and user+system CPU time (clock ticks) of a running process.
long ResidentKilobytes(pid_t pid);
long CpuTicks(pid_t pid);

class XvfbDisplay {
public:
    ~XvfbDisplay();
    // Starts Xvfb on a display number it finds free and waits until it accepts clients.
    bool Start();
    std::string Name() const { return ":" + std::to_string(m_nDisplay); }

private:
    pid_t m_pid = -1;
    int m_nDisplay = -1;
};
} // namespace corvane::test
