// The cost of File > Save and File > Open on a sound with every key set: capture and atomic
// write; read, the panel's set-up and the applied sound.
#include "app/export/CExportPanelSetup.h"
#include "app/export/CHeadlessPanel.h"
#include "app/export/CSoundCapture.h"
#include "app/export/CSoundFile.h"
#include "panel/CCorvaneFormView.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QStringList kEveryKey = {
    "corvane", "--export", "x.wav", "--seconds", "1", "--noise", "pink", "--hold", "7", "--filter", "sv-lowpass",
    "--cutoff", "1234", "--q", "0.4", "--input", "filter", "--volume", "-700", "--mute", "false", "--pan", "-0.3",
    "--pitch", "1.2", "--mode", "loop", "--lfo1", "sine:0.5", "--lfo2", "random:2", "--lfo3", "triangle:8",
    "--route", "hold=lfo1:0.1", "--route", "cutoff=lfo2:0.5", "--route", "q=lfo3:0.2", "--route",
    "volume=lfo1:0.3", "--route", "pan=lfo2:1", "--route", "pitch=lfo3:0.05"};

// A panel set up with a sound that sets every key, and a file of it.
struct Fixture {
    CHeadlessPanel headless;
    QTemporaryDir dir;
    QString path;
    bool ready = false;
    Fixture()
    {
        CExportOptions sound;
        QString error;
        if (!sound.Parse(kEveryKey, &error) || !headless.Create(44100, 2, &error))
            return;
        path = dir.filePath("bench.corvane");
        headless.Panel().OnInitialUpdate();
        CExportPanelSetup(headless.Panel()).Apply(sound);
        ready = CSoundFile::Save(path, sound, &error);
    }
};

void BM_SaveSound(benchmark::State& state)
{
    Fixture f;
    if (!f.ready) {
        state.SkipWithError("set-up failed");
        return;
    }
    f.headless.Panel().OnInitialUpdate();
    const CSoundCapture capture(f.headless.Panel());
    CExportOptions sound;
    QString error;
    CSoundFile::Load(f.path, &sound, nullptr, &error);
    CExportPanelSetup(f.headless.Panel()).Apply(sound);
    for (auto _ : state) {
        if (!CSoundFile::Save(f.path, capture.Capture(), &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
}
BENCHMARK(BM_SaveSound)->Unit(benchmark::kMicrosecond);

void BM_OpenSound(benchmark::State& state)
{
    Fixture f;
    if (!f.ready) {
        state.SkipWithError("set-up failed");
        return;
    }
    QString error;
    for (auto _ : state) {
        CExportOptions sound;
        if (!CSoundFile::Load(f.path, &sound, nullptr, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        f.headless.Panel().OnInitialUpdate();
        CExportPanelSetup(f.headless.Panel()).Apply(sound);
    }
}
BENCHMARK(BM_OpenSound)->Unit(benchmark::kMicrosecond);

// The reader alone, for the share of Open that is the file's.
void BM_ParseSound(benchmark::State& state)
{
    CExportOptions given;
    QString error;
    given.Parse(kEveryKey, &error);
    const QByteArray text = CSoundFile::Text(given);
    for (auto _ : state) {
        CExportOptions sound;
        benchmark::DoNotOptimize(CSoundFile::Parse(text, "bench.corvane", &sound, nullptr, &error));
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ParseSound)->Unit(benchmark::kMicrosecond);

} // namespace
