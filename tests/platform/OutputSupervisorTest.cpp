// The output's upkeep with fake sound systems: retries until one opens, the mixer follows the
// format really opened, lost and frozen outputs are replaced, the device can be switched, and
// stopping never waits for a frozen server.
#include "ManualDevice.h"
#include "platform/MixerDevice.h"
#include "platform/OutputSupervisor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace corvane::platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// What the fakes made by one factory share: the test steers them through it.
struct Control {
    std::atomic<int> failuresLeft{0};
    std::atomic<int> opened{0};
    std::atomic<bool> lose{false};       // the open stream reports lost writes
    std::atomic<bool> freeze{false};     // calls stop, and Close hangs until released
    std::atomic<bool> release{false};
    std::atomic<int> openedOnTwo{0}; // attempts on the device named "Two"
};

class FakeStream final : public IOutputStream {
public:
    explicit FakeStream(std::shared_ptr<Control> c) : m_control(std::move(c)) {}
    std::optional<OpenedFormat> Open(const std::string& device) override
    {
        m_c.openedOnTwo += device == "Two";
        if (m_c.failuresLeft-- > 0)
            return std::nullopt;
        ++m_c.opened;
        return OpenedFormat{48000, 1, "Fake"};
    }
    bool Start() override { return true; }
    void Close() override
    {
        while (m_c.freeze && !m_c.release)
            std::this_thread::sleep_for(5ms);
    }
    bool IsLost() const override { return m_c.lose; }
    std::uint64_t Calls() const override { return m_c.freeze ? 0 : ++m_calls; }
    std::uint64_t Underruns() const override { return 0; }
    std::vector<std::string> Tried() const override { return {"Fake"}; }
    std::vector<std::string> Devices() const override { return {"One", "Two"}; }

private:
    std::shared_ptr<Control> m_control; // a stream left closing may outlive the test
    Control& m_c = *m_control;
    mutable std::atomic<std::uint64_t> m_calls{0};
};

template <class Condition>
bool Within(std::chrono::milliseconds limit, Condition done)
{
    for (auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(2ms))
        if (done())
            return true;
    return done();
}

constexpr OutputSupervisor::Timing kFast{20ms, 100ms, 5ms};

// A device on fakes steered through `control`, initialised; it retries quickly.
MixerDevice* DeviceOn(const std::shared_ptr<Control>& control)
{
    auto* device = new MixerDevice(AudioBackend::RtAudio);
    device->SetStreamFactory([control] { return std::make_unique<FakeStream>(control); }, kFast);
    EXPECT_EQ(device->Initialize(nullptr), DS_OK); // runs on silently while it retries
    device->SetCooperativeLevel(reinterpret_cast<HWND>(device), DSSCL_PRIORITY);
    return device;
}

} // namespace

TEST(OutputSupervisor, RetriesUntilAnOutputOpensTheMixerFollowsItsFormatAndLostOrFrozenOutputsAreReplaced)
{
    auto control = std::make_shared<Control>();
    control->failuresLeft = 3;
    auto* device = DeviceOn(control);
    // The primary format is reported as set, but mixing stays at the rate really opened.
    IDirectSoundBuffer* primary = nullptr;
    DSBUFFERDESC pd{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    ASSERT_EQ(device->CreateSoundBuffer(&pd, &primary, nullptr), DS_OK);
    WAVEFORMATEX asked{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0}, got{};
    ASSERT_EQ(primary->SetFormat(&asked), DS_OK);

    ASSERT_TRUE(Within(2000ms, [&] { return !IsOutputLost(device); }));
    EXPECT_EQ(control->opened, 1);
    EXPECT_EQ(device->Supervisor()->Attempts(), 4u);
    primary->GetFormat(&got);
    EXPECT_EQ(got.nSamplesPerSec, 22050u);
    GetOutputFormat(device, &got);
    EXPECT_EQ(std::tuple(got.nSamplesPerSec, got.nChannels), std::tuple(48000u, 1u));
    primary->Release();

    // The writes fail: it counts as lost, and the next attempt (which fails) keeps it so.
    control->failuresLeft = 1000;
    control->lose = true;
    ASSERT_TRUE(Within(1000ms, [&] { return IsOutputLost(device); }));
    EXPECT_EQ(OutputSystemsTried(device), std::vector<std::string>{"Fake"});
    // Meanwhile a playing buffer's cursor moves at its own rate as if it were heard.
    IDirectSoundBuffer* b = platform_test::MakeBuffer(device, platform_test::Samples(88200 * 2), 44100, 1, 0);
    b->Play(0, 0, DSBPLAY_LOOPING);
    const auto start = Clock::now();
    std::this_thread::sleep_for(400ms);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_NEAR(platform_test::Position(b) / 2.0 / 44100.0, seconds, 0.1);

    // The server comes back.
    control->lose = false;
    control->failuresLeft = 0;
    ASSERT_TRUE(Within(1000ms, [&] { return !IsOutputLost(device); }));

    // It freezes: no more calls, and closing hangs. A new stream replaces it all the same,
    // and the device is released at once although the old stream never closes.
    control->freeze = true;
    const int before = control->opened;
    ASSERT_TRUE(Within(1000ms, [&] { return control->opened > before; }));
    b->Release();
    const auto t0 = Clock::now();
    device->Release();
    EXPECT_LT(Clock::now() - t0, 1000ms);
    control->release = true;
}

TEST(OutputSupervisor, SwitchingTheDeviceReopensOnItQuickly)
{
    auto control = std::make_shared<Control>();
    OutputSupervisor output(std::make_shared<SoundMixer>(22050, 2),
                            [control] { return std::make_unique<FakeStream>(control); },
                            OutputSupervisor::Timing{});
    ASSERT_TRUE(output.Start("", 1000ms));
    EXPECT_EQ(output.Devices(), (std::vector<std::string>{"One", "Two"}));
    output.SetDevice("Two");
    EXPECT_TRUE(Within(500ms, [&] { return control->opened == 2 && control->openedOnTwo == 1; }));
    EXPECT_FALSE(output.IsLost());
}
