// A private PulseAudio server with a null sink for tests: started, captured, killed at will.
#include "tests/audio/PulseServer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace corvane::test {

namespace {

void StopChild(pid_t& pid, int signal)
{
    if (pid > 0 && kill(pid, signal) == 0)
        waitpid(pid, nullptr, 0);
    pid = -1;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

bool PulseServer::Installed()
{
    return std::system("command -v pulseaudio >/dev/null && command -v parec >/dev/null") == 0;
}

PulseServer::~PulseServer()
{
    StopCapture();
    Kill(SIGTERM);
    std::error_code ignored;
    if (!m_dir.empty())
        std::filesystem::remove_all(m_dir, ignored);
}

// Runs `args` through env(1), so NAME=value entries at the front replace inherited ones.
pid_t PulseServer::Spawn(std::vector<std::string> args, const std::string& output)
{
    args.insert(args.begin(), "env");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    posix_spawn_file_actions_addopen(&io, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&io, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&io, STDERR_FILENO, (m_dir + "/stderr.log").c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, "env", &io, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&io);
    return rc == 0 ? pid : -1;
}

pid_t PulseServer::Record(unsigned rate, unsigned channels, int latencyMs, const std::string& file)
{
    std::vector<std::string> args = ClientEnvironment();
    args.insert(args.end(), {"parec", "--device=corvane_null.monitor", "--format=s16le",
                             "--rate=" + std::to_string(rate),
                             "--channels=" + std::to_string(channels), "--raw",
                             "--latency-msec=" + std::to_string(latencyMs)});
    return Spawn(args, file);
}

bool PulseServer::Start()
{
    if (m_server > 0)
        return true;
    if (m_dir.empty()) {
        char pattern[] = "/tmp/corvane-pulse-XXXXXX";
        if (!mkdtemp(pattern))
            return m_error = "cannot create a private directory", false;
        m_dir = pattern;
    }
    std::ofstream(m_dir + "/server.pa")
        << "load-module module-null-sink sink_name=corvane_null rate=44100 channels=2"
        << " format=s16le\nset-default-sink corvane_null\n"
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << m_dir
        << "/native\n";
    std::ofstream(m_dir + "/client.conf") << "autospawn = no\n";
    for (const char* sub : {"/runtime", "/state"})
        std::filesystem::create_directories(m_dir + sub);
    // Its own home and runtime paths keep it apart from any session server; as root it runs
    // in per-user mode all the same, without realtime scheduling or shared memory.
    m_server = Spawn({"HOME=" + m_dir, "XDG_RUNTIME_DIR=" + m_dir,
                      "XDG_CONFIG_HOME=" + m_dir + "/state", "PULSE_RUNTIME_PATH=" + m_dir + "/runtime",
                      "PULSE_STATE_PATH=" + m_dir + "/state", "DBUS_SESSION_BUS_ADDRESS=disabled:",
                      "pulseaudio", "--system=false", "-n", "--daemonize=no",
                      "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no",
                      "--realtime=no", "--high-priority=no", "--disable-shm=yes",
                      "--log-target=stderr", "-F", m_dir + "/server.pa"},
                     m_dir + "/stdout.log");
    if (m_server <= 0)
        return m_error = "cannot start pulseaudio", false;
    // An idle null sink renders its next block only after its longest latency (seconds), and
    // no client is served before that. A low-latency recording of its monitor, kept running
    // for the server's life, holds it awake; its first frames show the sink is running.
    const std::string keeperFile = m_dir + "/keeper.raw";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(m_server, nullptr, WNOHANG) == m_server) {
            m_server = -1;
            return m_error = "pulseaudio exited: " + Log(), false;
        }
        // Until the socket answers, parec gives up at once; then it is started again.
        if (m_keeper > 0 && waitpid(m_keeper, nullptr, WNOHANG) == m_keeper)
            m_keeper = -1;
        if (m_keeper <= 0)
            m_keeper = Record(8000, 1, 10, keeperFile);
        std::error_code ignored;
        if (std::filesystem::file_size(keeperFile, ignored) > 0 && !ignored)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Kill();
    return m_error = "the null sink never ran: " + Log(), false;
}

void PulseServer::Kill(int signal)
{
    StopChild(m_server, signal);
    StopChild(m_keeper, SIGTERM);
}

std::vector<std::string> PulseServer::ClientEnvironment() const
{
    return {"PULSE_SERVER=unix:" + m_dir + "/native", "PULSE_CLIENTCONFIG=" + m_dir + "/client.conf"};
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
    m_capture = m_server > 0 ? Record(rate, channels, 20, m_dir + "/capture.raw") : -1;
    return m_capture > 0;
}

std::vector<std::int16_t> PulseServer::StopCapture()
{
    if (m_capture <= 0)
        return {};
    StopChild(m_capture, SIGTERM);
    const std::string bytes = ReadAll(m_dir + "/capture.raw");
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::string PulseServer::Log() const
{
    const std::string text = ReadAll(m_dir + "/stderr.log");
    return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

} // namespace corvane::test
