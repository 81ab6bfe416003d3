#include "engine/codecs/Codecs.h"

#include <cstdint>
#include <cstring>

#include "engine/codecs/Failure.h"
#include "engine/codecs/OpaqueRows.h"

namespace engine::codecs {

bool encodeBmp(const image::Image& picture, QByteArray& out, QString* why) {
    return encodeBmp(image::rowsOf(picture), out, why);
}

bool encodeBmp(const image::Rows& picture, QByteArray& out, QString* why) {
    if (picture.width <= 0 || picture.height <= 0)
        return fail(why, QT_TRANSLATE_NOOP("codecs", "there is no image to write"));
    const std::uint32_t w = static_cast<std::uint32_t>(picture.width);
    const std::uint32_t h = static_cast<std::uint32_t>(picture.height);
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
    // The rows go straight into the file's bytes, bottom-up.
    bmp.resize(static_cast<qsizetype>(54 + pixels));
    OpaqueRows rows(picture);
    auto* const bottom = reinterpret_cast<std::uint8_t*>(bmp.data()) + 54;
    for (std::uint32_t y = 0; y < h; ++y) {
        const image::Rgb* in = rows.row(static_cast<int>(y));
        std::uint8_t* to = bottom + (h - 1 - y) * stride;
        for (std::uint32_t x = 0; x < w; ++x, to += 3) {
            to[0] = static_cast<std::uint8_t>(image::blue(in[x]));
            to[1] = static_cast<std::uint8_t>(image::green(in[x]));
            to[2] = static_cast<std::uint8_t>(image::red(in[x]));
        }
        std::memset(to, 0, stride - 3 * w);
    }
    out = std::move(bmp);
    return true;
}

} // namespace engine::codecs
