#include <benchmark/benchmark.h>

#include <csetjmp>
#include <functional>

#include <QFile>
#include <png.h>

#include "BenchSupport.h"
#include "engine/codecs/Codecs.h"
#include "engine/files/AtomicFile.h"
#include "ui/widgets/ImageBridge.h"
#include "ui/widgets/PictureBox.h"

namespace {

// One rendered 100-character line at 120 pt, shared by the save benchmarks.
BenchWindow& rendered() {
    static BenchWindow window(mixedLine(), "120");
    static bool done = window.form->drawLetters();
    (void)done;
    return window;
}

// The board as the window saves it: taken from the widget, encoded, written.
void saveBoard(benchmark::State& state, const QString& name,
               const std::function<bool(const engine::image::Image&, QByteArray&)>& encode) {
    BenchWindow& w = rendered();
    const QString path = w.dir.filePath(name);
    for (auto _ : state) {
        QByteArray data;
        encode(ui::fromQImage(w.result().image()), data);
        engine::files::writeFileAtomically(path, data);
    }
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}

void BM_SavePng(benchmark::State& state) {
    const auto level = static_cast<int>(state.range(0));
    saveBoard(state, "bench.png", [level](const engine::image::Image& image, QByteArray& out) {
        return engine::codecs::encodePng(image, level, out);
    });
}

void BM_SaveJpeg50(benchmark::State& state) {
    saveBoard(state, "bench.jpg", [](const engine::image::Image& image, QByteArray& out) {
        return engine::codecs::encodeJpeg(image, 50, false, out);
    });
}

void BM_EncodePng(benchmark::State& state) {
    const engine::image::Image image = ui::fromQImage(rendered().result().image());
    QByteArray out;
    for (auto _ : state)
        engine::codecs::encodePng(image, static_cast<int>(state.range(0)), out);
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
    const QImage& image = rendered().result().image();
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
BENCHMARK(BM_EncodePng)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_EncodeLibpngDefaults)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
