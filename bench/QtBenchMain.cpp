// The main of the benchmark programs that need a QApplication: offscreen unless the caller
// chose a platform, and the manual audio back-end so that nothing reaches a sound card.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("CORVANE_AUDIO", "manual", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
