// The spectrum pane's cost per display frame: taking the rendered blocks, the analysis, the
// off-screen frame and its copy into the (offscreen) window. At 30 frames a
// second, percent_of_core is the share of one core the shown pane takes.
#include "controls/CSpectrumView.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr double kFramesPerSecond = 30.0;

void PercentOfCore(benchmark::State& state)
{
    // seconds per frame * 30 frames * 100 %
    state.counters["percent_of_core"] = benchmark::Counter(
        1.0 / (kFramesPerSecond * 100.0), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SpectrumFrame(benchmark::State& state)
{
    const double zoom = state.range(0) / 100.0;
    CSpectrumView view;
    view.SetZoom(zoom);
    view.resize(static_cast<int>(360 * zoom), static_cast<int>(413 * zoom)); // beside the panel
    view.SetCutoff(1000.0);
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> noise(-12000, 12000);
    std::vector<std::vector<std::int16_t>> blocks(50, std::vector<std::int16_t>(882));
    for (auto& b : blocks)
        for (auto& s : b)
            s = static_cast<std::int16_t>(noise(rng));
    view.show(); // painted for real: its paint events into the offscreen window
    QCoreApplication::processEvents();
    unsigned frame = 0, next = 0;
    for (auto _ : state) {
        // 30 frames a second take 50 / 30 blocks each: one, two, two, one, two, two...
        for (unsigned b = 0; b < 1 + (frame++ % 3 != 0); ++b)
            view.AddBlock(blocks[next++ % blocks.size()].data(), 882, 1.0f, 44100.0);
        view.NextFrame();
        QCoreApplication::processEvents(); // paints what NextFrame asked to be painted again
    }
    PercentOfCore(state);
}
BENCHMARK(BM_SpectrumFrame)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_SpectrumAnalyseOnly(benchmark::State& state)
{
    CSpectrumAnalyser analyser;
    std::vector<std::int16_t> block(1470, 1000);
    for (auto _ : state) {
        analyser.AddPcm16(block.data(), 1470, 1.0f, 44100.0);
        analyser.Analyse();
        benchmark::DoNotOptimize(analyser.PeakDb());
    }
    PercentOfCore(state);
}
BENCHMARK(BM_SpectrumAnalyseOnly)->Unit(benchmark::kMicrosecond);

} // namespace
