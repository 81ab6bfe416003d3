#include <benchmark/benchmark.h>

#include <csetjmp>

#include <QFile>
#include <png.h>

#include "BenchSupport.h"
#include "platform/ImageLib.h"
#include "platform/PictureBox.h"

namespace {

// One rendered 100-character line at 120 pt, shared by the save benchmarks.
BenchWindow& rendered() {
    static BenchWindow window(mixedLine(), "120");
    static bool done = window.form->RenderLetters();
    (void)done;
    return window;
}

void BM_SavePng(benchmark::State& state) {
    BenchWindow& w = rendered();
    PictureBox& board = *w.form->Board;
    const QString name = w.dir.filePath("bench.png");
    const auto level = static_cast<std::uint8_t>(state.range(0));
    for (auto _ : state)
        imagelib::DCSavetoPNG(board.hDC(), board.innerWidth(), board.innerHeight(), name, level);
    state.counters["bytes"] = static_cast<double>(QFile(name).size());
}

void BM_SaveJpeg50(benchmark::State& state) {
    BenchWindow& w = rendered();
    PictureBox& board = *w.form->Board;
    const QString name = w.dir.filePath("bench.jpg");
    for (auto _ : state)
        imagelib::DCSavetoJPEG(board.hDC(), board.innerWidth(), board.innerHeight(), name, 50, 0);
    state.counters["bytes"] = static_cast<double>(QFile(name).size());
}

void BM_EncodePng(benchmark::State& state) {
    const QImage& image = rendered().form->Board->image();
    QByteArray out;
    for (auto _ : state)
        imagelib::EncodePng(image, static_cast<int>(state.range(0)), out);
    state.counters["bytes"] = static_cast<double>(out.size());
    state.counters["Mpx/s"] = benchmark::Counter(double(image.width()) * image.height() / 1e6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

// libpng left at its defaults, fed the 32-bit rows as they are (strip the filler).
void BM_EncodeLibpngDefaults(benchmark::State& state) {
    const QImage& image = rendered().form->Board->image();
    QByteArray out;
    for (auto _ : state) {
        out.clear();
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_write_fn(png, &out, appendBytes, nullptr);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                     static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        for (int y = 0; y < image.height(); ++y)
            png_write_row(png, const_cast<png_bytep>(image.constScanLine(y)));
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
    }
    state.counters["bytes"] = static_cast<double>(out.size());
}

} // namespace

BENCHMARK(BM_SavePng)
    ->Arg(1)
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_SaveJpeg50)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_EncodePng)->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_EncodeLibpngDefaults)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
