#include "engine/codecs/Codecs.h"

#include <cstdint>
#include <vector>

#include "engine/codecs/Failure.h"

namespace engine::codecs {

bool encodeBmp(const image::Image& source, QByteArray& out, QString* why) {
    const image::Image picture = source.convertedTo(image::Format::Rgb32);
    if (picture.isNull())
        return fail(why, QT_TRANSLATE_NOOP("codecs", "there is no image to write"));
    const std::uint32_t w = static_cast<std::uint32_t>(picture.width());
    const std::uint32_t h = static_cast<std::uint32_t>(picture.height());
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint32_t pixels = stride * h;
    QByteArray bmp;
    bmp.reserve(static_cast<qsizetype>(54 + pixels));
    const auto put16 = [&bmp](std::uint32_t v) {
        bmp.append(static_cast<char>(v & 0xFF)).append(static_cast<char>((v >> 8) & 0xFF));
    };
    const auto put32 = [&put16](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    bmp.append("BM");
    put32(54 + pixels);
    put32(0);
    put32(54);
    put32(40); // BITMAPINFOHEADER
    put32(w);
    put32(h); // positive: rows bottom-up
    put16(1);
    put16(24);
    put32(0); // BI_RGB
    put32(pixels);
    put32(3780); // 96 dpi
    put32(3780);
    put32(0);
    put32(0);
    std::vector<char> row(stride, 0);
    for (int y = picture.height() - 1; y >= 0; --y) {
        const auto* in = reinterpret_cast<const image::Rgb*>(picture.constScanLine(y));
        for (std::uint32_t x = 0; x < w; ++x) {
            row[3 * x] = static_cast<char>(image::blue(in[x]));
            row[3 * x + 1] = static_cast<char>(image::green(in[x]));
            row[3 * x + 2] = static_cast<char>(image::red(in[x]));
        }
        bmp.append(row.data(), static_cast<qsizetype>(stride));
    }
    out = std::move(bmp);
    return true;
}

} // namespace engine::codecs
