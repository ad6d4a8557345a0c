// Cost of the audio output: mixing 10 ms with one playing stream (resampled or not), and one
// Write of a block.
#include "audio/CSoundDevice.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

struct Rig {
    Rig()
    {
        setenv("CORVANE_AUDIO", "manual", 1);
        CSoundStream::ResetStreamingState();
        device.SetWindow(&device);
        device.Start();
        std::uint32_t id = 0;
        device.CreateStream(7056, &id);
        stream = device.FindStream(0);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::int16_t>((i * 7919) % 64000 - 32000);
        stream->SetPlayMode(2);
        stream->SetVolume(-300);
        stream->SetPan(-0.25f);
        stream->SetFrequency(1.1f);
    }
    CSoundDevice device;
    CSoundStream* stream = nullptr;
    std::vector<std::int16_t> block = std::vector<std::int16_t>(882);
};

// 10 ms of output at `rate` with the stream at pitch `range(1)` / 100: at 44100 Hz and pitch 1
// the stream passes straight through, otherwise it goes through the resampler. The time per
// iteration divided by 10 ms is the share of real time the mixer needs.
void BM_MixTenMilliseconds(benchmark::State& state)
{
    Rig rig;
    const auto rate = static_cast<DWORD>(state.range(0));
    corvane::platform::SetManualOutputFormat(rig.device.GetDirectSound(), rate, 2);
    rig.stream->SetFrequency(static_cast<float>(state.range(1)) / 100.0f);
    const DWORD frames = rate / 100;
    std::vector<std::int16_t> out(frames * 2);
    for (auto _ : state) {
        corvane::platform::PullMixedFrames(rig.device.GetDirectSound(), out.data(), frames);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MixTenMilliseconds)->Args({48000, 100})->Args({48000, 130})->Args({44100, 100})->Args({44100, 110});

// The same at 48000 Hz with the pitch moving every 10 ms (between 1.10 and 1.12, as a slow
// modulation does): the variable-rate engine's cost.
void BM_MixTenMillisecondsModulated(benchmark::State& state)
{
    Rig rig;
    corvane::platform::SetManualOutputFormat(rig.device.GetDirectSound(), 48000, 2);
    std::vector<std::int16_t> out(480 * 2);
    int step = 0;
    for (auto _ : state) {
        rig.stream->SetFrequency(1.10f + 0.002f * static_cast<float>(step++ % 10));
        corvane::platform::PullMixedFrames(rig.device.GetDirectSound(), out.data(), 480);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MixTenMillisecondsModulated);

// A Write that takes the block: the cursor has just entered the next segment.
void BM_WriteTaken(benchmark::State& state)
{
    Rig rig;
    IDirectSoundBuffer* buffer = rig.stream->GetBuffer();
    DWORD segment = 0;
    for (auto _ : state) {
        segment = (segment + 1) % 8;
        buffer->SetCurrentPosition(segment * 1764);
        benchmark::DoNotOptimize(rig.stream->Write(rig.block.data()));
    }
}
BENCHMARK(BM_WriteTaken);

// A Write refused because the cursor is still in the segment written last.
void BM_WriteRefused(benchmark::State& state)
{
    Rig rig;
    rig.stream->Write(rig.block.data());
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.stream->Write(rig.block.data()));
}
BENCHMARK(BM_WriteRefused);

} // namespace

BENCHMARK_MAIN();
