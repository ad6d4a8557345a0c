// Keeps the sound output going: opens it, follows the format it really got, notices when it is
// lost or frozen, retries every few seconds off the caller's thread, moves the play cursors at
// the real rate while nothing plays, and counts underruns. Stopping never waits long.
#pragma once

#include "platform/OutputStream.h"
#include "platform/SoundMixer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane::platform {

class OutputSupervisor {
public:
    using StreamFactory = std::function<std::unique_ptr<IOutputStream>()>;
    struct Timing {
        std::chrono::milliseconds retry{2000};  // between attempts to open
        std::chrono::milliseconds frozen{1000}; // no call for sound this long: frozen
        std::chrono::milliseconds check{50};    // how often an open stream is looked at
    };

    OutputSupervisor(std::shared_ptr<SoundMixer> mixer, StreamFactory make, Timing timing);
    // Asks the threads to stop and waits at most about half a second: a thread stuck in a
    // frozen sound server is left behind and ends with the process.
    ~OutputSupervisor();
    OutputSupervisor(const OutputSupervisor&) = delete;
    OutputSupervisor& operator=(const OutputSupervisor&) = delete;

    // Starts the threads and waits up to `wait` for the first attempt; true when it opened.
    bool Start(const std::string& device, std::chrono::milliseconds wait);
    // Switches to another device ("" = the system's default) without blocking.
    void SetDevice(const std::string& device);

    bool IsLost() const;
    std::uint64_t Underruns() const;
    std::uint64_t Attempts() const;
    std::vector<std::string> Tried() const;
    std::vector<std::string> Devices() const;
    std::string System() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
    bool m_bStarted = false;
};

} // namespace corvane::platform
