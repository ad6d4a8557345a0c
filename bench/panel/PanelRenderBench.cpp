// One RenderBlock with the six usable routes active (each setter formats its text and moves its
// slider), on the manual back-end with the play cursor moved between renders so that every
// render produces and hands over a new block.
#include "audio/CSoundDevice.h"
#include "audio/CSoundStream.h"
#include "controls/COrbRotaryKnob.h"
#include "panel/CCorvaneFormView.h"
#include "panel/ParameterMapping.h"
#include "platform/dsound.h"

#include <QApplication>
#include <QComboBox>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr DWORD kSegmentBytes = corvane::panel::kBlockSamples * 2; // one 16-bit mono block

DWORD Cursor(CCorvaneFormView& view)
{
    DWORD play = 0, write = 0;
    view.GetStream()->GetBuffer()->GetCurrentPosition(&play, &write);
    return play;
}

void BM_RenderBlockAllRoutes(benchmark::State& state)
{
    CCorvaneFormView view;
    view.SetMessageBoxHandler([](const std::string&, const std::string&) {});
    view.OnInitialUpdate();
    if (!view.GetStream()) {
        state.SkipWithError("no stream");
        return;
    }
    // HM, FM, QM, AM, BM and pitch FM, fed by the three LFOs, at depth 0.5.
    const std::pair<int, int> routes[] = {{1034, 1031}, {1026, 1007}, {1029, 1028},
                                          {1027, 1008}, {1043, 1042}, {1045, 1044}};
    int lfo = 0;
    for (const auto& [list, knob] : routes) {
        view.GetControlAs<QComboBox>(list)->setCurrentIndex(1 + lfo++ % 3);
        view.GetControlAs<COrbRotaryKnob>(knob)->setValue(180);
    }
    IDirectSound* device = view.GetSoundDevice()->GetDirectSound();
    std::vector<std::int16_t> mixed(2 * 2048);
    std::int64_t time = 0;
    std::int64_t blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Move the cursor into the next segment so that the stream takes the next block (the
        // pitch route changes the rate, so a fixed number of frames is not enough).
        const DWORD segment = Cursor(view) / kSegmentBytes;
        for (int guard = 0; guard < 64 && Cursor(view) / kSegmentBytes == segment; ++guard)
            corvane::platform::PullMixedFrames(device, mixed.data(), 64);
        time += 200000; // 20 ms
        const bool accepted = view.IsStreamAccepted();
        state.ResumeTiming();
        view.RenderBlock(&time);
        blocks += accepted ? 1 : 0;
    }
    state.counters["rendered"] = benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RenderBlockAllRoutes)->Unit(benchmark::kMicrosecond);

} // namespace
