// Child processes for the desktop test: a private Xvfb display and programs run on it.
#include "DesktopProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace corvane::test {
namespace {
std::string NameOf(const std::string& entry)
{
    return entry.substr(0, entry.find('='));
}
} // namespace

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& logFile)
{
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        bool overridden = false;
        for (const std::string& mine : env)
            overridden = overridden || NameOf(mine) == NameOf(*e);
        if (!overridden)
            environment.emplace_back(*e);
    }
    environment.insert(environment.end(), env.begin(), env.end());

    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

bool WaitForExit(pid_t pid, int timeoutMs, int* status)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (waitpid(pid, status, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void KillAndReap(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

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

bool OnPath(const std::string& program)
{
    return !RunAndRead("command -v " + program + " 2>/dev/null").empty();
}

long ResidentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

long CpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

XvfbDisplay::~XvfbDisplay()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        if (!WaitForExit(m_pid, 3000, &status))
            KillAndReap(m_pid);
    }
}

bool XvfbDisplay::Start()
{
    // Xvfb picks a free display number itself and reports it on the descriptor we give it, so
    // tests running side by side never share a display.
    int report[2];
    if (pipe(report) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, report[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const char* argv[] = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24", nullptr};
    const int rc = posix_spawnp(&m_pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(report[1]);
    if (rc != 0) {
        m_pid = -1;
        close(report[0]);
        return false;
    }
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    fcntl(report[0], F_SETFL, O_NONBLOCK);
    while (std::chrono::steady_clock::now() < deadline && number.find('\n') == std::string::npos) {
        char c = 0;
        const ssize_t got = read(report[0], &c, 1);
        if (got == 1)
            number += c;
        else if (got == 0)
            break; // Xvfb ended without a display
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(report[0]);
    if (number.empty() || number.find('\n') == std::string::npos)
        return false;
    m_nDisplay = std::stoi(number);
    return true;
}
} // namespace corvane::test
