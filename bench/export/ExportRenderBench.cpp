// Throughput of the offline render loop (panel render cycle + mixer pulls), without file output.
#include "app/export/CExportOptions.h"
#include "app/export/CExportPanelSetup.h"
#include "app/export/CExportRenderer.h"
#include "app/export/CHeadlessPanel.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// One second of output per iteration; reports output frames per second of CPU.
void RenderSeconds(benchmark::State& state, const QStringList& settings)
{
    CExportOptions options;
    QString error;
    QStringList args{"corvane", "--export", "bench.wav", "--seconds", "1"};
    if (!options.Parse(args + settings, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    CHeadlessPanel headless;
    if (!headless.Create(44100, 2, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    CExportPanelSetup(headless.Panel()).Apply(options);
    CExportRenderer renderer(headless.Panel(), headless.Device(), 2);
    std::int64_t sum = 0;
    const auto sink = [&sum](const std::int16_t* s, std::int64_t frames, QString*) {
        sum += s[0] + s[frames * 2 - 1];
        return true;
    };
    for (auto _ : state) {
        if (!renderer.Render(44100, sink, {}, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * 44100);
}

void BM_RenderPinkLowPass(benchmark::State& state)
{
    RenderSeconds(state, {"--noise", "pink", "--cutoff", "1000"});
}
BENCHMARK(BM_RenderPinkLowPass)->Unit(benchmark::kMillisecond);

void BM_RenderAllRoutes(benchmark::State& state)
{
    RenderSeconds(state, {"--noise", "resonance-pink", "--filter", "sv-bandpass", "--lfo1", "sine:5", "--route",
                          "hold=lfo1:0.2", "--route", "cutoff=lfo1:0.8", "--route", "q=lfo2:0.5", "--route",
                          "volume=lfo3:0.3", "--route", "pan=lfo2:1", "--route", "pitch=lfo3:0.3"});
}
BENCHMARK(BM_RenderAllRoutes)->Unit(benchmark::kMillisecond);

} // namespace
