#include <benchmark/benchmark.h>

#include <QFile>

#include "BenchSupport.h"
#include "engine/codecs/Codecs.h"
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

// From the chooser's file to the letters shown: an 8192 x 8192 PNG as the pattern
// of "Ab" in the window (the file made before the timing).
void BM_WindowBigPngPattern(benchmark::State& state) {
    BenchWindow window("Ab", "10");
    engine::image::Image big(8192, 8192, engine::image::Format::Rgb32);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            reinterpret_cast<engine::image::Rgb*>(big.scanLine(y))[x] =
                engine::image::rgb(x / 32, y / 32, (x ^ y) & 0xFF);
    QByteArray png;
    engine::codecs::encodePng(big, 1, png);
    big = engine::image::Image();
    const QString file = window.dir.filePath("big.png");
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(png);
    out.close();
    for (auto _ : state) {
        benchmark::DoNotOptimize(window.form->loadPattern(file));
        benchmark::DoNotOptimize(window.form->drawLetters());
    }
}

// "開始" for bench/compare.sh's job L, 68 characters at 120 pt, over a 32 x 32
// pattern of 1,024 colours, as a photo pattern is.
void BM_WindowLineOverPhoto(benchmark::State& state) {
    BenchWindow window(QStringLiteral("切り文字のサンプルです。Cut letters sample text ABCDEFGHIJ "
                                      "0123456789 あいうえおかきくけこ"),
                       "120");
    window.form->chooseFont(QStringLiteral("IPA Pゴシック"), 120);
    engine::image::Image photo(32, 32, engine::image::Format::Rgb32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            reinterpret_cast<engine::image::Rgb*>(photo.scanLine(y))[x] =
                engine::image::rgb(x * 8, y * 8, (x * 5 + y * 3) & 0xFF);
    QByteArray png;
    engine::codecs::encodePng(photo, 1, png);
    const QString file = window.dir.filePath("photo.png");
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(png);
    out.close();
    if (!window.form->loadPattern(file)) {
        state.SkipWithError("the pattern did not load");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(window.form->drawLetters());
    state.counters["width"] = window.result().innerWidth();
}

} // namespace

BENCHMARK(BM_WindowLineOverPhoto)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_WindowBigPngPattern)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RenderSample10)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_RenderSample72)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_RenderMixed100at120)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
