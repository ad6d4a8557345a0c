// The program's choice of output device and what its open outputs report, for the menu and the
// status bar: one registry for the process, safe from any thread.
#include "platform/OutputDevices.h"

#include "platform/OutputSupervisor.h"

#include <algorithm>

namespace corvane::platform {

OutputDevices& OutputDevices::Instance()
{
    static OutputDevices registry;
    return registry;
}

void OutputDevices::SetChoice(const std::string& device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_choice = device;
    for (OutputSupervisor* output : m_outputs)
        output->SetDevice(device);
}

std::string OutputDevices::Choice() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_choice;
}

std::vector<std::string> OutputDevices::Devices() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outputs.empty() ? std::vector<std::string>{} : m_outputs.front()->Devices();
}

std::string OutputDevices::System() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outputs.empty() ? std::string() : m_outputs.front()->System();
}

bool OutputDevices::AnyLost() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::any_of(m_outputs.begin(), m_outputs.end(),
                       [](const OutputSupervisor* o) { return o->IsLost(); });
}

std::vector<std::string> OutputDevices::Tried() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outputs.empty() ? std::vector<std::string>{} : m_outputs.front()->Tried();
}

void OutputDevices::Add(OutputSupervisor* output)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_outputs.push_back(output);
}

void OutputDevices::Remove(OutputSupervisor* output)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_outputs.erase(std::remove(m_outputs.begin(), m_outputs.end(), output), m_outputs.end());
}

} // namespace corvane::platform
