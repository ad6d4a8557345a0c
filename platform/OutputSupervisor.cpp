// Keeps the sound output going: opens it, follows the format it really got, notices when it is
// lost or frozen, retries every few seconds off the caller's thread, moves the play cursors at
// the real rate while nothing plays, and counts underruns. Stopping never waits long.
#include "platform/OutputSupervisor.h"

#include "platform/kernel.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace corvane::platform {

using Clock = std::chrono::steady_clock;

namespace {
// While nothing plays, the cursors move in steps of 10 ms.
constexpr int kSilentStepsPerSecond = 100;
constexpr DWORD kMaxSilentFrames = 192000 / kSilentStepsPerSecond;
// How long stopping waits for a thread that may be stuck in a frozen sound server.
constexpr auto kStopWait = std::chrono::milliseconds(500);

// Closes a stream on a thread of its own: with a frozen server that thread waits as long as
// the freeze lasts (it ends with the process if the server never comes back).
void Abandon(std::unique_ptr<IOutputStream> stream)
{
    std::thread([s = std::move(stream)]() mutable {
        s->Close();
        s.reset();
    }).detach();
}
} // namespace

struct OutputSupervisor::State {
    std::shared_ptr<SoundMixer> mixer;
    StreamFactory make;
    Timing timing;

    mutable std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    bool lost = true;
    bool firstDone = false;
    bool supervisorDone = false;
    bool clockDone = false;
    std::string device;
    std::uint64_t deviceGeneration = 0;
    std::unique_ptr<IOutputStream> stream; // the one playing; null while silent
    std::uint64_t pastUnderruns = 0;
    std::uint64_t attempts = 0;
    std::vector<std::string> tried;
    std::vector<std::string> devices;
    std::string system;

    void Supervise();
    void KeepTime();
};

void OutputSupervisor::State::Supervise()
{
    std::unique_lock<std::mutex> lock(mutex);
    std::uint64_t generation = deviceGeneration - 1;
    auto nextTry = Clock::now();
    std::uint64_t calls = 0, logged = 0;
    auto progress = Clock::now();
    while (!stop) {
        if (!stream) {
            if (Clock::now() < nextTry && generation == deviceGeneration) {
                changed.wait_until(lock, nextTry);
                continue;
            }
            generation = deviceGeneration;
            const std::string wanted = device;
            ++attempts;
            lock.unlock();
            std::unique_ptr<IOutputStream> s = make();
            std::optional<OpenedFormat> format = s ? s->Open(wanted) : std::nullopt;
            if (format) {
                // The mixer produces what the stream really got, before the first call.
                mixer->SetOutputFormat(format->rate, format->channels);
                if (!s->Start()) {
                    s->Close();
                    format.reset();
                }
            }
            lock.lock();
            if (s)
                tried = s->Tried();
            if (format && !stop) {
                devices = s->Devices();
                system = format->system;
                stream = std::move(s);
                lost = false;
                calls = 0;
                logged = 0;
                progress = Clock::now();
            } else {
                lost = true;
            }
            firstDone = true;
            nextTry = Clock::now() + timing.retry;
            changed.notify_all();
            if (s) {
                lock.unlock();
                s->Close();
                s.reset();
                lock.lock();
            }
            continue;
        }

        changed.wait_for(lock, timing.check);
        if (stop)
            break;
        const auto now = Clock::now();
        if (stream->Calls() != calls) {
            calls = stream->Calls();
            progress = now;
        }
        const std::uint64_t underruns = stream->Underruns();
        const bool frozen = now - progress > timing.frozen;
        const bool switching = generation != deviceGeneration;
        if (!stream->IsLost() && !frozen && !switching) {
            if (underruns > logged) {
                lock.unlock();
                for (; logged < underruns; ++logged)
                    OutputDebugStringA(("Corvane: sound output underrun " +
                                        std::to_string(pastUnderruns + logged + 1) + "\n").c_str());
                lock.lock();
            }
            continue;
        }
        // Lost, frozen or switched: the cursors move on silently until a stream plays again.
        pastUnderruns += underruns;
        std::unique_ptr<IOutputStream> old = std::move(stream);
        lost = !switching;
        changed.notify_all();
        nextTry = switching ? now : now + timing.retry;
        if (!switching)
            OutputDebugStringA(frozen ? "Corvane: the sound server stopped answering\n"
                                      : "Corvane: the sound output was lost\n");
        lock.unlock();
        if (frozen)
            Abandon(std::move(old));
        else
            old->Close();
        old.reset();
        lock.lock();
        // A lost server may be back at once (a restart): the first try comes right away.
        if (!switching)
            nextTry = Clock::now();
    }
    std::unique_ptr<IOutputStream> last = std::move(stream);
    lock.unlock();
    if (last)
        last->Close();
    last.reset();
    lock.lock();
    supervisorDone = true;
    changed.notify_all();
}

void OutputSupervisor::State::KeepTime()
{
    std::vector<std::int16_t> scratch(static_cast<std::size_t>(kMaxSilentFrames) * 2);
    const auto step = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
                      kSilentStepsPerSecond;
    std::unique_lock<std::mutex> lock(mutex);
    auto next = Clock::now();
    while (!stop) {
        if (stream) {
            changed.wait(lock, [this] { return stop || !stream; });
            next = Clock::now();
            continue;
        }
        lock.unlock();
        const DWORD frames = std::min(mixer->OutputRate() / kSilentStepsPerSecond, kMaxSilentFrames);
        mixer->Mix(scratch.data(), frames);
        next += step;
        lock.lock();
        changed.wait_until(lock, next, [this] { return stop || stream != nullptr; });
    }
    clockDone = true;
    changed.notify_all();
}

OutputSupervisor::OutputSupervisor(std::shared_ptr<SoundMixer> mixer, StreamFactory make, Timing timing)
    : m_state(std::make_shared<State>())
{
    m_state->mixer = std::move(mixer);
    m_state->make = std::move(make);
    m_state->timing = timing;
}

OutputSupervisor::~OutputSupervisor()
{
    if (!m_bStarted)
        return;
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->stop = true;
    m_state->changed.notify_all();
    m_state->changed.wait_for(lock, kStopWait,
                              [this] { return m_state->supervisorDone && m_state->clockDone; });
}

bool OutputSupervisor::Start(const std::string& device, std::chrono::milliseconds wait)
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->device = device;
        m_state->attempts = 0;
    }
    m_bStarted = true;
    // Both threads hold the state, so a thread left behind in a frozen server never touches
    // freed memory. Each ends by itself once asked to stop.
    std::thread([s = m_state] { s->Supervise(); }).detach();
    std::thread([s = m_state] { s->KeepTime(); }).detach();
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->changed.wait_for(lock, wait, [this] { return m_state->firstDone; });
    return !m_state->lost;
}

void OutputSupervisor::SetDevice(const std::string& device)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (device == m_state->device)
        return;
    m_state->device = device;
    ++m_state->deviceGeneration;
    m_state->changed.notify_all();
}

bool OutputSupervisor::IsLost() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->lost;
}

std::uint64_t OutputSupervisor::Underruns() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->pastUnderruns + (m_state->stream ? m_state->stream->Underruns() : 0);
}

std::uint64_t OutputSupervisor::Attempts() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->attempts;
}

std::vector<std::string> OutputSupervisor::Tried() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->tried;
}

std::vector<std::string> OutputSupervisor::Devices() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->devices;
}

std::string OutputSupervisor::System() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->system;
}

} // namespace corvane::platform
