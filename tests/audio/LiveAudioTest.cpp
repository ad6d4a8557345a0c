// Plays through the real RtAudio back-end into a private PulseAudio null sink and listens.
#include "audio/CSoundDevice.h"
#include "tests/audio/PulseServer.h"
#include "tests/support/CannotRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <thread>

#include <unistd.h>

using corvane::test::PulseServer;
using Clock = std::chrono::steady_clock;

namespace {

constexpr unsigned kCaptureRate = 22050;
// 70 whole periods in the 7056-sample buffer: what is still left in a segment from the previous
// pass joins the new block without a phase jump, so the tone stays pure.
constexpr double kToneHz = 44100.0 * 70 / 7056; // 437.5 Hz
constexpr double kPeak = 16000.0;
constexpr double kToneRms = kPeak / std::numbers::sqrt2;

// A continuous tone offered to the stream in 882-sample blocks every 5 ms, as the program's
// render cycle does; the next block is rendered once one is taken.
struct Tone {
    std::vector<std::int16_t> block = std::vector<std::int16_t>(882);
    double phase = 0.0;
    Tone() { Render(); }
    void Render()
    {
        for (auto& s : block) {
            s = static_cast<std::int16_t>(kPeak * std::sin(phase));
            phase = std::fmod(phase + 2 * std::numbers::pi * kToneHz / 44100.0, 2 * std::numbers::pi);
        }
    }
    void Play(CSoundStream* stream, double seconds)
    {
        for (auto end = Clock::now() + std::chrono::duration<double>(seconds); Clock::now() < end;) {
            if (stream->Write(block.data()) != 0)
                Render();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

// Captures 1.5 s of play and keeps the last second (past start-up and latency) per channel.
struct Capture {
    std::vector<double> ch[2];
    Capture(PulseServer& pulse, Tone& tone, CSoundStream* stream)
    {
        if (!pulse.StartCapture(kCaptureRate, 2))
            return;
        tone.Play(stream, 1.5);
        const auto frames = pulse.StopCapture();
        for (std::size_t i = kCaptureRate; i + 1 < frames.size(); i += 2) {
            ch[0].push_back(frames[i]);
            ch[1].push_back(frames[i + 1]);
        }
    }
    double Rms(int c) const
    {
        double sum = 0;
        for (double v : ch[c])
            sum += v * v;
        return std::sqrt(sum / std::max<std::size_t>(ch[c].size(), 1));
    }
    double BalanceDb() const { return 20 * std::log10(Rms(0) / Rms(1)); }
    // From the median distance between rising zero crossings of the left channel: a glitch
    // where a block was spliced in moves a few crossings, not the median.
    double Pitch() const
    {
        std::vector<double> crossings, periods;
        for (std::size_t i = 1; i < ch[0].size(); ++i)
            if (ch[0][i - 1] < 0 && ch[0][i] >= 0)
                crossings.push_back(double(i - 1) - ch[0][i - 1] / (ch[0][i] - ch[0][i - 1]));
        for (std::size_t i = 1; i < crossings.size(); ++i)
            periods.push_back(crossings[i] - crossings[i - 1]);
        if (periods.empty())
            return 0;
        std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
        return kCaptureRate / periods[periods.size() / 2];
    }
};

} // namespace

TEST(LiveAudio, ToneReachesTheSoundServerWithLevelBalanceAndPitch)
{
    CORVANE_REQUIRE_PROGRAMS("pulseaudio", "parec");
    PulseServer pulse;
    if (!pulse.Start()) {
        CORVANE_CANNOT_RUN("no private PulseAudio server: " << pulse.Error());
    }
    pulse.UseInThisProcess();
    setenv("CORVANE_AUDIO", "rtaudio", 1);
    CSoundStream::ResetStreamingState();
    auto device = std::make_unique<CSoundDevice>();
    device->SetWindow(device.get());
    ASSERT_EQ(device->Start(), 1) << pulse.Log();
    std::uint32_t id = 99;
    ASSERT_EQ(device->CreateStream(7056, &id), 1);
    CSoundStream* stream = device->FindStream(id);
    ASSERT_EQ(stream->SetPlayMode(2), DS_OK);
    Tone tone;

    // Pan and rate are the mixer's own arithmetic, tested on the manual back-end; here the
    // tone must reach the server at full level, the same on both channels, at its pitch.
    const Capture centre(pulse, tone, stream);
    ASSERT_GT(centre.ch[0].size(), kCaptureRate / 2u) << "capture too short: " << pulse.Log();
    EXPECT_GT(centre.Rms(0), 0.6 * kToneRms);
    EXPECT_LT(centre.Rms(0), 1.15 * kToneRms);
    EXPECT_NEAR(centre.BalanceDb(), 0.0, 0.5);
    EXPECT_NEAR(centre.Pitch(), kToneHz, 0.02 * kToneHz);
    std::printf("[ measured ] RMS %.0f / %.0f (tone %.0f) at %.0f Hz\n", centre.Rms(0),
                centre.Rms(1), kToneRms, centre.Pitch());

    // The sound server dies mid-play: every call still returns at once and nothing breaks.
    pulse.Kill();
    const auto Milliseconds = [](auto&& call) {
        const auto start = Clock::now();
        call();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    double slowest = 0;
    std::vector<std::int16_t> block(882, 1000);
    const auto end = Clock::now() + std::chrono::seconds(2);
    for (int i = 0; Clock::now() < end; ++i) {
        slowest = std::max(slowest, Milliseconds([&] {
            stream->Write(block.data());
            stream->SetVolume(-(i % 3000));
            stream->SetPan(i % 2 ? 0.3f : -0.3f);
            stream->SetFrequency(1.0f + i % 3);
            if (i % 50 == 0)
                stream->SetStopped(i % 100 ? 1 : 0);
        }));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // A hang would show as seconds; a generous bound keeps a busy machine from failing this.
    EXPECT_LT(slowest, 250.0);
    EXPECT_TRUE(corvane::platform::IsOutputLost(device->GetDirectSound()));
    const double teardown = Milliseconds([&] { device.reset(); });
    EXPECT_LT(teardown, 2000.0);
    std::printf("[ measured ] after the server died: slowest round of calls %.2f ms, teardown "
                "%.1f ms\n", slowest, teardown);

    // With the server gone and no sound card of its own, Start fails and the caller sees it.
    if (access("/dev/snd/controlC0", F_OK) != 0) {
        CSoundDevice orphan;
        orphan.SetWindow(&orphan);
        EXPECT_EQ(orphan.Start(), 0);
    }
    setenv("CORVANE_AUDIO", "manual", 1);
}
