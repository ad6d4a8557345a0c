// A private PulseAudio server with a null sink for tests: started, captured, killed at will.
//
// The server runs as a child process with its own runtime directory and socket, so it needs no
// display, no sound card and no session; it works as root. Typical use:
//   PulseServer pulse;
//   if (!pulse.Start()) FAIL() << pulse.Error();
//   pulse.UseInThisProcess();                  // before any sound library connects
//   pulse.StartCapture(22050, 2);              // what reaches the null sink
//   ... play ...
//   std::vector<std::int16_t> frames = pulse.StopCapture();
//   pulse.Kill();                              // a crashing sound server
// Child programs (the desktop test's binary) get ClientEnvironment() added to theirs.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::test {

class PulseServer {
public:
    // True when the pulseaudio and parec programs are on the PATH.
    static bool Installed();

    PulseServer() = default;
    ~PulseServer(); // stops capture and server, removes the private directory
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and waits (up to 10 s) until its socket answers and its null sink runs.
    // False with Error() set.
    bool Start();
    // SIGKILL: the server vanishes without a word to its clients.
    void Kill();
    // SIGTERM and wait.
    void Stop();
    bool Running() const { return m_server > 0; }

    std::string ServerAddress() const { return "unix:" + m_dir + "/native"; }
    static std::string SinkName() { return "corvane_null"; }
    // PULSE_SERVER and a client configuration without autospawn, as NAME=value entries.
    std::vector<std::string> ClientEnvironment() const;
    // Sets ClientEnvironment() in this process.
    void UseInThisProcess() const;

    // Records the null sink's monitor (signed 16-bit interleaved) with parec.
    bool StartCapture(unsigned rate, unsigned channels);
    std::vector<std::int16_t> StopCapture();

    const std::string& Error() const { return m_error; }
    // The server's own log (for failure messages).
    std::string Log() const;

private:
    pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
                const std::string& output);
    bool Answers() const;
    bool WaitForSinkClock(std::chrono::steady_clock::time_point deadline);

    std::string m_dir;
    std::string m_error;
    pid_t m_server = -1;
    pid_t m_capture = -1;
    pid_t m_keeper = -1; // keeps the null sink's clock running
    std::string m_captureFile;
};

} // namespace corvane::test
