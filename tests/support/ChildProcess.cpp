// One child program for tests, started with posix_spawn and reaped when it is stopped.
#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <thread>

extern char** environ;

namespace corvane::test {

namespace {

// This process's environment with `extra` replacing entries of the same name.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra)
{
    std::vector<std::string> merged = extra;
    for (char** e = environ; *e; ++e) {
        const std::string_view name(*e, std::strcspn(*e, "=") + 1);
        if (std::none_of(extra.begin(), extra.end(), [&](const std::string& x) { return x.starts_with(name); }))
            merged.push_back(*e);
    }
    return merged;
}

// The null-terminated array posix_spawn takes (it does not write through it).
std::vector<char*> Pointers(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& s : strings)
        pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

bool ChildProcess::Start(const std::vector<std::string>& argv, const Options& options)
{
    Stop();
    m_status = -1;
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    if (options.fd3 >= 0)
        posix_spawn_file_actions_adddup2(&io, options.fd3, 3);
    posix_spawn_file_actions_addopen(&io, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&io, STDOUT_FILENO, options.out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (options.err.empty())
        posix_spawn_file_actions_adddup2(&io, STDOUT_FILENO, STDERR_FILENO);
    else
        posix_spawn_file_actions_addopen(&io, STDERR_FILENO, options.err.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
    const int rc = posix_spawnp(&m_pid, argv.at(0).c_str(), &io, nullptr, Pointers(argv).data(),
                                Pointers(MergedEnvironment(options.env)).data());
    posix_spawn_file_actions_destroy(&io);
    if (rc != 0)
        m_pid = -1;
    return rc == 0;
}

std::string ChildProcess::StartReporting(const std::vector<std::string>& argv)
{
    int report[2];
    if (pipe(report) != 0)
        return {};
    Options options;
    options.fd3 = report[1];
    const bool started = Start(argv, options);
    close(report[1]);
    std::string line;
    char c = 0;
    pollfd ready{report[0], POLLIN, 0};
    while (started && !line.ends_with('\n') && poll(&ready, 1, 10000) == 1 && read(report[0], &c, 1) == 1)
        line += c;
    close(report[0]);
    return line.ends_with('\n') ? line.substr(0, line.size() - 1) : std::string();
}

bool ChildProcess::Running()
{
    if (m_pid > 0 && waitpid(m_pid, &m_status, WNOHANG) == m_pid)
        m_pid = -1;
    return m_pid > 0;
}

bool ChildProcess::WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (ready())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    WaitUntil([] { return false; }, timeout);
    return !Running();
}

void ChildProcess::Stop(int signal, std::chrono::milliseconds grace)
{
    if (!Running())
        return;
    kill(m_pid, signal);
    if (!WaitForExit(grace)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &m_status, 0);
        m_pid = -1;
    }
}

} // namespace corvane::test
