// A private PulseAudio server with a null sink for tests: started, captured, killed at will.
#include "tests/audio/PulseServer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

extern char** environ;

namespace corvane::test {

namespace {

bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

void StopChild(pid_t& pid, int signal)
{
    if (pid <= 0)
        return;
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
}

} // namespace

bool PulseServer::Installed()
{
    return OnPath("pulseaudio") && OnPath("parec");
}

PulseServer::~PulseServer()
{
    StopCapture();
    Stop();
    if (!m_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

pid_t PulseServer::Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
                         const std::string& output)
{
    // The given entries replace the inherited ones of the same name.
    std::vector<std::string> environment(env);
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const auto& own : env)
            replaced = replaced || own.compare(0, name.size(), name) == 0;
        if (!replaced)
            environment.push_back(entry);
    }
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (m_dir + "/stderr.log").c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

bool PulseServer::Answers() const
{
    const std::string path = m_dir + "/native";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

bool PulseServer::Start()
{
    if (Running())
        return true;
    if (m_dir.empty()) {
        char pattern[] = "/tmp/corvane-pulse-XXXXXX";
        if (!mkdtemp(pattern)) {
            m_error = "cannot create a private directory";
            return false;
        }
        m_dir = pattern;
    }
    std::ofstream(m_dir + "/server.pa")
        << "load-module module-null-sink sink_name=" << SinkName()
        << " rate=44100 channels=2 format=s16le\n"
        << "set-default-sink " << SinkName() << "\n"
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << m_dir
        << "/native\n";
    std::ofstream(m_dir + "/client.conf") << "autospawn = no\n";
    std::filesystem::create_directories(m_dir + "/runtime");
    std::filesystem::create_directories(m_dir + "/state");

    // Its own home and runtime paths keep it apart from any session server; as root it runs
    // in per-user mode all the same, without realtime scheduling or shared memory.
    m_server = Spawn({"pulseaudio", "--system=false", "-n", "--daemonize=no", "--exit-idle-time=-1",
                      "--disallow-exit", "--use-pid-file=no", "--realtime=no",
                      "--high-priority=no", "--disable-shm=yes", "--log-target=stderr",
                      "-F", m_dir + "/server.pa"},
                     {"HOME=" + m_dir, "XDG_RUNTIME_DIR=" + m_dir,
                      "XDG_CONFIG_HOME=" + m_dir + "/state", "PULSE_RUNTIME_PATH=" + m_dir + "/runtime",
                      "PULSE_STATE_PATH=" + m_dir + "/state", "DBUS_SESSION_BUS_ADDRESS=disabled:"},
                     m_dir + "/stdout.log");
    if (m_server <= 0) {
        m_error = "cannot start pulseaudio";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_server, &status, WNOHANG) == m_server) {
            m_server = -1;
            m_error = "pulseaudio exited: " + Log();
            return false;
        }
        if (Answers()) {
            if (WaitForSinkClock(deadline))
                return true;
            Kill();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Kill();
    m_error = "pulseaudio did not answer: " + Log();
    return false;
}

// An idle null sink renders its next block only after its longest latency (seconds), and no
// client is served before that. A low-latency recording of its monitor, kept running for the
// server's life, holds it awake; the first frames of that recording show the sink is running.
bool PulseServer::WaitForSinkClock(std::chrono::steady_clock::time_point deadline)
{
    const std::string file = m_dir + "/keeper.raw";
    m_keeper = Spawn({"parec", "--device=" + SinkName() + ".monitor", "--format=s16le",
                      "--rate=8000", "--channels=1", "--raw", "--latency-msec=10"},
                     ClientEnvironment(), file);
    if (m_keeper <= 0) {
        m_error = "cannot start parec";
        return false;
    }
    std::error_code ignored;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::filesystem::file_size(file, ignored) > 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_error = "the null sink never ran: " + Log();
    return false;
}

void PulseServer::Kill()
{
    StopChild(m_server, SIGKILL);
    StopChild(m_keeper, SIGTERM);
}

void PulseServer::Stop()
{
    StopChild(m_keeper, SIGTERM);
    StopChild(m_server, SIGTERM);
}

std::vector<std::string> PulseServer::ClientEnvironment() const
{
    return {"PULSE_SERVER=" + ServerAddress(), "PULSE_CLIENTCONFIG=" + m_dir + "/client.conf"};
}

void PulseServer::UseInThisProcess() const
{
    for (const std::string& entry : ClientEnvironment()) {
        const auto eq = entry.find('=');
        setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
    }
}

bool PulseServer::StartCapture(unsigned rate, unsigned channels)
{
    StopCapture();
    if (!Running())
        return false;
    m_captureFile = m_dir + "/capture.raw";
    m_capture = Spawn({"parec", "--device=" + SinkName() + ".monitor", "--format=s16le",
                       "--rate=" + std::to_string(rate), "--channels=" + std::to_string(channels),
                       "--raw", "--latency-msec=20"},
                      ClientEnvironment(), m_captureFile);
    return m_capture > 0;
}

std::vector<std::int16_t> PulseServer::StopCapture()
{
    if (m_capture <= 0)
        return {};
    StopChild(m_capture, SIGTERM);
    std::ifstream in(m_captureFile, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::string PulseServer::Log() const
{
    std::ifstream in(m_dir + "/stderr.log");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

} // namespace corvane::test
