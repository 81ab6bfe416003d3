#include <benchmark/benchmark.h>

#include <cmath>

#include <QTemporaryDir>

#include "engine/codecs/Codecs.h"
#include "engine/cut/Drawing.h"
#include "engine/cut/Tartan.h"
#include "engine/files/AtomicFile.h"

namespace {

using engine::image::Image;

// Job L of bench/compare.sh: the 68-character line at 120 pt.
const char* const JobL =
    "切り文字のサンプルです。Cut letters sample text ABCDEFGHIJ 0123456789 あいうえおかきくけこ";

// A 64 x 64 pattern of smooth, photo-like colours: thousands of them.
Image photoLike() {
    Image picture(64, 64, engine::image::Format::Rgb32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            reinterpret_cast<engine::image::Rgb*>(picture.scanLine(y))[x] =
                engine::image::rgb(int(128 + 100 * std::sin(x * 0.21 + y * 0.05)),
                                   int(128 + 90 * std::cos(y * 0.17 - x * 0.08)),
                                   int(128 + 60 * std::sin((x + y) * 0.3)));
    return picture;
}

enum Output { Png2, Svg, Pdf };

bool encoded(const engine::cut::Request& request, int output, QByteArray& data) {
    if (output == Png2) {
        Image picture;
        QSize size;
        return engine::cut::render(request, picture, size) &&
               engine::codecs::encodePng(picture, 2, data);
    }
    engine::cut::Drawing drawing;
    return engine::cut::draw(request, drawing) &&
           engine::codecs::encodeVector(drawing,
                                        output == Svg ? engine::codecs::VectorFormat::Svg
                                                      : engine::codecs::VectorFormat::Pdf,
                                        2, data);
}

// Job L from the request to the file in place, as PNG at level 2, SVG and PDF
// (their pattern a PNG at level 2), over the tartan and over a photo-like
// pattern. "letters" counts the same file without the pattern: black letters.
void BM_WriteJobL(benchmark::State& state) {
    const auto output = static_cast<int>(state.range(0));
    engine::cut::Request request{
        QString::fromUtf8(JobL), engine::text::fontRequest(QStringLiteral("IPA Pゴシック"), 120),
        std::make_shared<const Image>(state.range(1) ? photoLike() : engine::cut::tartan())};
    QTemporaryDir dir;
    const QString path = dir.filePath(output == Png2 ? "L.png" : output == Svg ? "L.svg" : "L.pdf");
    QByteArray data;
    for (auto _ : state) {
        if (!encoded(request, output, data) || !engine::files::writeFileAtomically(path, data)) {
            state.SkipWithError("not written");
            break;
        }
    }
    state.SetLabel(std::string(output == Png2  ? "PNG 2"
                               : output == Svg ? "SVG"
                                               : "PDF") +
                   (state.range(1) ? ", photo" : ", tartan"));
    state.counters["bytes"] = double(data.size());
    request.pattern.reset();
    encoded(request, output, data);
    state.counters["letters"] = double(data.size());
}

} // namespace

BENCHMARK(BM_WriteJobL)
    ->ArgsProduct({{Png2, Svg, Pdf}, {0, 1}})
    ->ArgNames({"format", "photo"})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
