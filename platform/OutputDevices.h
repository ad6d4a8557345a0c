// The program's choice of output device and what its open outputs report, for the menu and the
// status bar: one registry for the process, safe from any thread.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace corvane::platform {

class OutputSupervisor;

class OutputDevices {
public:
    static OutputDevices& Instance();

    // The device to play on, by name; "" is the sound system's default. Applies at once to
    // every open output and to those opened later.
    void SetChoice(const std::string& device);
    std::string Choice() const;

    // What the open outputs report: their sound system's devices, whether any output is lost
    // (no sound, retrying), and the sound systems tried by the last failed attempt.
    std::vector<std::string> Devices() const;
    std::string System() const;
    bool AnyLost() const;
    std::vector<std::string> Tried() const;

    void Add(OutputSupervisor* output);
    void Remove(OutputSupervisor* output);

private:
    OutputDevices() = default;
    mutable std::mutex m_mutex;
    std::string m_choice;
    std::vector<OutputSupervisor*> m_outputs;
};

} // namespace corvane::platform
