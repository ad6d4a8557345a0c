// Cost of one 882-sample block (20 ms of sound) per engine module and for the render chain.
#include "engine/CClassicLowPass.h"
#include "engine/CLfo.h"
#include "engine/CNoiseGenerator.h"
#include "engine/CSvFilter.h"
#include "engine/CWaveTable.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace {

std::atomic<long> g_allocations{0};

constexpr unsigned kBlock = 882;
constexpr double kBlockSeconds = 0.020;

// Real-time factor (20 ms of sound per block over the time it took) and heap allocations per block.
void Report(benchmark::State& state, long allocationsBefore)
{
    state.counters["rt_factor"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlockSeconds, benchmark::Counter::kIsRate);
    state.counters["allocs_per_block"] = static_cast<double>(g_allocations.load() - allocationsBefore) / static_cast<double>(state.iterations());
}

// The render cycle's conversion: x 32000, truncated, limited to +-32000.
void ConvertToPcm16(const float* in, std::int16_t* out, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        auto n = static_cast<std::int32_t>(in[i] * 32000.0f);
        n = n > 32000 ? 32000 : n;
        n = n < -32000 ? -32000 : n;
        out[i] = static_cast<std::int16_t>(n);
    }
}

// The panel's five shared tables and three 1 Hz sine LFOs.
struct LfoBank {
    std::vector<std::unique_ptr<CWaveTable>> owned;
    std::vector<CWaveTable*> tables;
    CLfo lfo[3];
    std::vector<float> blocks[3];
    LfoBank()
    {
        for (unsigned k = 0; k < 5; ++k) {
            owned.push_back(std::make_unique<CWaveTable>());
            owned.back()->Allocate(4096);
            owned.back()->SetShape(k);
            tables.push_back(owned.back().get());
        }
        for (int i = 0; i < 3; ++i) {
            lfo[i].SetTables(&tables);
            lfo[i].SetFrequency(1.0f + static_cast<float>(i) * 3.7f);
            lfo[i].Select(0);
            blocks[i].assign(kBlock, 0.0f);
        }
    }
    void Render()
    {
        for (int i = 0; i < 3; ++i)
            lfo[i].Render(blocks[i].data(), kBlock);
    }
};

std::vector<float> NoiseBlock()
{
    CNoiseGenerator generator;
    generator.SetType(CNoiseGenerator::UniformWhite);
    std::vector<float> block(kBlock);
    generator.Generate(block.data(), kBlock);
    return block;
}

// Times the generator's blocks as it is set up, and reports allocations made while running.
void RunGenerator(benchmark::State& state, CNoiseGenerator& generator)
{
    std::vector<float> block(kBlock);
    const long before = g_allocations.load();
    for (auto _ : state) {
        generator.Generate(block.data(), kBlock);
        benchmark::DoNotOptimize(block.data());
    }
    Report(state, before);
}

void BM_NoiseGenerator(benchmark::State& state)
{
    CNoiseGenerator generator;
    generator.SetType(static_cast<int>(state.range(0)));
    RunGenerator(state, generator);
}
BENCHMARK(BM_NoiseGenerator)->ArgName("type")->DenseRange(0, 4);

// Smoothing at its costliest: hold 2 with a full glide starts a glide every other sample.
void BM_NoiseGeneratorSmoothed(benchmark::State& state)
{
    CNoiseGenerator generator;
    generator.SetType(CNoiseGenerator::Brown);
    generator.SetHold(static_cast<int>(state.range(0)));
    generator.SetSmooth(1.0f);
    RunGenerator(state, generator);
}
BENCHMARK(BM_NoiseGeneratorSmoothed)->ArgName("hold")->Arg(2)->Arg(50);

void BM_NoiseGeneratorHoldModulated(benchmark::State& state)
{
    LfoBank lfos;
    lfos.Render();
    CNoiseGenerator generator;
    generator.SetHoldModulation(lfos.blocks[0].data(), kBlock);
    generator.SetHoldModulationDepth(1.246f);
    RunGenerator(state, generator);
}
BENCHMARK(BM_NoiseGeneratorHoldModulated);

template <typename Filter>
void RunFilter(benchmark::State& state, Filter& filter)
{
    const std::vector<float> noise = NoiseBlock();
    std::vector<float> block(kBlock);
    const long before = g_allocations.load();
    for (auto _ : state) {
        block = noise;
        filter.Process(block.data(), kBlock);
        benchmark::DoNotOptimize(block.data());
    }
    Report(state, before);
}

void BM_ClassicLowPass(benchmark::State& state)
{
    CClassicLowPass filter;
    RunFilter(state, filter);
}
BENCHMARK(BM_ClassicLowPass);

void BM_ClassicLowPassModulated(benchmark::State& state)
{
    LfoBank lfos;
    lfos.Render();
    CClassicLowPass filter;
    filter.SetFrequencyModulation(lfos.blocks[0].data(), kBlock);
    filter.SetQModulation(lfos.blocks[1].data(), kBlock);
    filter.SetQModulationDepth(0.5f);
    RunFilter(state, filter);
}
BENCHMARK(BM_ClassicLowPassModulated);

void BM_SvFilter(benchmark::State& state)
{
    CSvFilter filter;
    filter.SetType(static_cast<int>(state.range(0)));
    RunFilter(state, filter);
}
BENCHMARK(BM_SvFilter)->ArgName("type")->DenseRange(0, 3);

void BM_Lfo(benchmark::State& state)
{
    LfoBank lfos;
    lfos.lfo[0].Select(static_cast<unsigned>(state.range(0)));
    const long before = g_allocations.load();
    for (auto _ : state) {
        lfos.lfo[0].Render(lfos.blocks[0].data(), kBlock);
        benchmark::DoNotOptimize(lfos.blocks[0].data());
    }
    Report(state, before);
}
BENCHMARK(BM_Lfo)->ArgName("shape")->DenseRange(0, 4);

void BM_WaveTableRenderPcm16(benchmark::State& state)
{
    CWaveTable table;
    table.Allocate(4096);
    CWaveTable modulator;
    modulator.Allocate(4096);
    if (state.range(0)) {
        table.SetModulator(&modulator, 3.0f);
        table.SetModulationIndex(2.0f);
    }
    std::vector<std::int16_t> pcm(kBlock);
    float phase = 0.0f;
    const long before = g_allocations.load();
    for (auto _ : state) {
        table.RenderPcm16(pcm.data(), kBlock, 440.0f, &phase);
        benchmark::DoNotOptimize(pcm.data());
    }
    Report(state, before);
}
BENCHMARK(BM_WaveTableRenderPcm16)->ArgName("fm")->DenseRange(0, 1);

// The start-up sound (Phased White, hold 1, classic low-pass at 1000 Hz, 16-bit output); with
// an LFO bank, the heaviest render: all three LFOs advanced and the cutoff and resonance
// modulated per sample by two of them.
void RunChain(benchmark::State& state, LfoBank* pLfos)
{
    CNoiseGenerator generator;
    CClassicLowPass filter;
    filter.SetFrequency(1000.0f);
    if (pLfos) {
        pLfos->lfo[1].Select(1);
        pLfos->lfo[2].Select(4);
        filter.SetFrequencyModulation(pLfos->blocks[0].data(), kBlock);
        filter.SetQModulation(pLfos->blocks[1].data(), kBlock);
        filter.SetQModulationDepth(1.0f);
    }
    std::vector<float> block(kBlock);
    std::vector<std::int16_t> pcm(kBlock);
    const long before = g_allocations.load();
    for (auto _ : state) {
        if (pLfos)
            pLfos->Render();
        generator.Generate(block.data(), kBlock);
        filter.Process(block.data(), kBlock);
        ConvertToPcm16(block.data(), pcm.data(), kBlock);
        benchmark::DoNotOptimize(pcm.data());
    }
    Report(state, before);
}

void BM_StartupSound(benchmark::State& state)
{
    RunChain(state, nullptr);
}
BENCHMARK(BM_StartupSound);

void BM_HeaviestChain(benchmark::State& state)
{
    LfoBank lfos;
    RunChain(state, &lfos);
}
BENCHMARK(BM_HeaviestChain);

} // namespace

// Counts every heap allocation so the benchmarks can show none happens per block.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

BENCHMARK_MAIN();
