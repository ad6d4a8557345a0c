// A private PulseAudio server with a null sink for tests: started, captured, killed at will.
#include "tests/audio/PulseServer.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace corvane::test {

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

PulseServer::~PulseServer()
{
    Signal(SIGCONT); // a stopped server would not end on SIGTERM
    StopCapture();
    Kill(SIGTERM);
    std::error_code ignored;
    if (!m_dir.empty())
        std::filesystem::remove_all(m_dir, ignored);
}

bool PulseServer::Record(ChildProcess& parec, unsigned rate, unsigned channels, int latencyMs,
                         const std::string& file)
{
    ChildProcess::Options options;
    options.env = ClientEnvironment();
    options.out = file;
    options.err = m_dir + "/stderr.log";
    return parec.Start({"parec", "--device=corvane_null.monitor", "--format=s16le",
                        "--rate=" + std::to_string(rate), "--channels=" + std::to_string(channels),
                        "--raw", "--latency-msec=" + std::to_string(latencyMs)},
                       options);
}

bool PulseServer::Start()
{
    if (m_server.Running())
        return true;
    if (m_dir.empty()) {
        char pattern[] = "/tmp/corvane-pulse-XXXXXX";
        if (!mkdtemp(pattern))
            return m_error = "cannot create a private directory", false;
        m_dir = pattern;
    }
    std::ofstream(m_dir + "/server.pa")
        << "load-module module-null-sink sink_name=corvane_null rate=48000 channels=2"
        << " format=s16le\nset-default-sink corvane_null\n"
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << m_dir
        << "/native\n";
    std::ofstream(m_dir + "/client.conf") << "autospawn = no\n";
    for (const char* sub : {"/runtime", "/state"})
        std::filesystem::create_directories(m_dir + sub);
    // Its own home and runtime paths keep it apart from any session server; as root it runs
    // in per-user mode all the same, without realtime scheduling or shared memory.
    ChildProcess::Options options;
    options.env = {"HOME=" + m_dir, "XDG_RUNTIME_DIR=" + m_dir,
                   "XDG_CONFIG_HOME=" + m_dir + "/state", "PULSE_RUNTIME_PATH=" + m_dir + "/runtime",
                   "PULSE_STATE_PATH=" + m_dir + "/state", "DBUS_SESSION_BUS_ADDRESS=disabled:"};
    options.out = m_dir + "/stdout.log";
    options.err = m_dir + "/stderr.log";
    if (!m_server.Start({"pulseaudio", "--system=false", "-n", "--daemonize=no",
                         "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no",
                         "--realtime=no", "--high-priority=no", "--disable-shm=yes",
                         "--log-target=stderr", "-F", m_dir + "/server.pa"},
                        options))
        return m_error = "cannot start pulseaudio", false;
    // An idle null sink renders its next block only after its longest latency (seconds), and
    // no client is served before that. A low-latency recording of its monitor, kept running
    // for the server's life, holds it awake; its first frames show the sink is running.
    // Until the socket answers, parec gives up at once; then it is started again.
    const std::string keeperFile = m_dir + "/keeper.raw";
    std::error_code stale;
    std::filesystem::remove(keeperFile, stale); // from a server that ran here before
    const bool running = m_server.WaitUntil(
        [&] {
            if (!m_keeper.Running())
                Record(m_keeper, 8000, 1, 10, keeperFile);
            std::error_code ignored;
            return std::filesystem::file_size(keeperFile, ignored) > 0 && !ignored;
        },
        std::chrono::seconds(10));
    if (running)
        return true;
    m_error = m_server.Exited() ? "pulseaudio exited: " + Log() : "the null sink never ran: " + Log();
    Kill();
    return false;
}

void PulseServer::Kill(int signal)
{
    m_server.Stop(signal);
    m_keeper.Stop();
}

void PulseServer::Signal(int signal)
{
    if (m_server.Pid() > 0)
        kill(m_server.Pid(), signal);
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
    m_capturing = m_server.Running() && Record(m_capture, rate, channels, 20, m_dir + "/capture.raw");
    return m_capturing;
}

std::vector<std::int16_t> PulseServer::StopCapture()
{
    if (!m_capturing)
        return {};
    m_capturing = false;
    m_capture.Stop();
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
