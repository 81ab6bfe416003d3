#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "ui/widgets/PictureBox.h"

namespace {

void renderCase(benchmark::State& state, const QString& text, const QString& size) {
    BenchWindow window(text, size);
    for (auto _ : state)
        benchmark::DoNotOptimize(window.form->drawLetters());
    state.counters["width"] = window.result().innerWidth();
    state.counters["height"] = window.result().innerHeight();
}

void BM_RenderSample10(benchmark::State& state) {
    renderCase(state, "Sample", "10");
}
void BM_RenderSample72(benchmark::State& state) {
    renderCase(state, "Sample", "72");
}
void BM_RenderMixed100at120(benchmark::State& state) {
    renderCase(state, mixedLine(), "120");
}

} // namespace

BENCHMARK(BM_RenderSample10)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_RenderSample72)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_RenderMixed100at120)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
