// A private PulseAudio server with a null sink for tests: started, captured, killed at will.
// It runs as a child with its own runtime directory and socket, so it needs no display, no
// sound card and no session, and works as root. Call UseInThisProcess() (or hand
// ClientEnvironment() to a child program) before any sound library connects.
#pragma once

#include "tests/support/ChildProcess.h"

#include <signal.h>

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::test {

class PulseServer {
public:
    PulseServer() = default;
    ~PulseServer(); // stops capture and server, removes the private directory
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server (again on the same socket after Kill) and waits (up to 10 s) until its
    // 48000 Hz null sink runs; false with Error() set.
    bool Start();
    // Ends the server, with SIGKILL by default: it vanishes without a word to its clients.
    void Kill(int signal = SIGKILL);
    // Sends a signal and leaves the server be (SIGSTOP freezes it, SIGCONT thaws it).
    void Signal(int signal);

    // PULSE_SERVER and a client configuration without autospawn, as NAME=value entries.
    std::vector<std::string> ClientEnvironment() const;
    void UseInThisProcess() const;

    // Records the null sink's monitor (signed 16-bit interleaved) with parec.
    bool StartCapture(unsigned rate, unsigned channels);
    std::vector<std::int16_t> StopCapture();

    const std::string& Error() const { return m_error; }
    std::string Log() const; // the end of the server's own log, for failure messages

private:
    bool Record(ChildProcess& parec, unsigned rate, unsigned channels, int latencyMs,
                const std::string& file);

    std::string m_dir;
    std::string m_error;
    ChildProcess m_server;
    ChildProcess m_capture;
    bool m_capturing = false;
    ChildProcess m_keeper; // keeps the null sink's clock running
};

} // namespace corvane::test
