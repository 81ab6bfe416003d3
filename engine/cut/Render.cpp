#include "Render.h"

#include <algorithm>
#include <vector>

#include "engine/image/Limits.h"
#include "engine/text/TextDrawing.h"

namespace engine::cut {
namespace {

// The pattern where the letters are, the ground elsewhere, as the window's
// (P AND M1) XOR M2 gives it with pure masks. Smooth edges blend the two by the
// glyphs' coverage; with a transparent ground the coverage is the alpha.
// Tiled from the top-left corner, each pixel written once.
image::Image compose(const Request& r, const image::Image& cover, const image::Image& pattern) {
    const int W = cover.width(), H = cover.height();
    const int PW = pattern.width(), PH = pattern.height();
    const image::Rgb ground = image::rgbOf(r.ground);
    image::Image out = image::Image::uninitialized(
        W, H, r.transparent ? image::Format::Argb32 : image::Format::Rgb32);
    if (out.isNull())
        return out;
    // Letters over an empty pattern are black.
    const std::vector<image::Rgb> black(PW && PH ? 0 : static_cast<size_t>(W), 0xFF000000u);
    const int span = PW && PH ? PW : W;
    for (int y = 0; y < H; ++y) {
        const uchar* c = cover.constScanLine(y);
        const auto* p = PW && PH ? reinterpret_cast<const image::Rgb*>(pattern.constScanLine(y % PH))
                                 : black.data();
        auto* o = reinterpret_cast<image::Rgb*>(out.scanLine(y));
        for (int x0 = 0; x0 < W; x0 += span) {
            const int n = std::min(span, W - x0);
            for (int i = 0; i < n; ++i) {
                const int a = c[x0 + i];
                if (r.transparent)
                    o[x0 + i] = a ? (p[i] & 0xFFFFFFu) | image::Rgb(a) << 24 : 0u;
                else if (a == 0)
                    o[x0 + i] = ground;
                else if (a == 255)
                    o[x0 + i] = p[i];
                else {
                    const auto mix = [a](int fg, int bg) {
                        return (fg * a + bg * (255 - a) + 127) / 255;
                    };
                    o[x0 + i] = image::rgb(mix(image::red(p[i]), image::red(ground)),
                                           mix(image::green(p[i]), image::green(ground)),
                                           mix(image::blue(p[i]), image::blue(ground)));
                }
            }
        }
    }
    return out;
}

// An opaque pattern of at most 255 colours as indexes, or a null image.
image::Image indexedPattern(const image::Image& pattern) {
    std::vector<image::Rgb> table;
    image::Image indexed(pattern.width(), pattern.height(), image::Format::Indexed8);
    image::Rgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < pattern.height() && !indexed.isNull(); ++y) {
        const auto* in = reinterpret_cast<const image::Rgb*>(pattern.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < pattern.width(); ++x) {
            if (lastIndex < 0 || in[x] != last) {
                last = in[x];
                lastIndex =
                    static_cast<int>(std::find(table.begin(), table.end(), last) - table.begin());
                if (lastIndex == static_cast<int>(table.size())) {
                    if (table.size() == 255)
                        return image::Image();
                    table.push_back(last);
                }
            }
            out[x] = static_cast<uchar>(lastIndex);
        }
    }
    indexed.setColorTable(std::move(table));
    return indexed;
}

// Hard edges over a pattern of few colours: the same pixels as compose()
// gives, as colour indexes: a quarter of the memory, and no colour counting
// when the image is written as PNG.
image::Image composeIndexed(const Request& r, const image::Image& cover,
                            const image::Image& pattern) {
    const int W = cover.width(), H = cover.height();
    const int PW = pattern.width(), PH = pattern.height();
    // Letters over an empty pattern are black.
    std::vector<image::Rgb> table =
        PW && PH ? pattern.colorTable() : std::vector<image::Rgb>{0xFF000000u};
    const auto ground = static_cast<uchar>(table.size());
    table.push_back(r.transparent ? 0u : image::rgbOf(r.ground));
    image::Image out = image::Image::uninitialized(W, H, image::Format::Indexed8);
    if (out.isNull())
        return out;
    out.setColorTable(std::move(table));
    const std::vector<uchar> black(static_cast<size_t>(W), 0);
    const int span = PW && PH ? PW : W; // an empty pattern: one black span the whole row
    for (int y = 0; y < H; ++y) {
        const uchar* c = cover.constScanLine(y);
        const uchar* p = PW && PH ? pattern.constScanLine(y % PH) : black.data();
        uchar* o = out.scanLine(y);
        // A pattern's width at a time, so that the inner loop has no wrap to test.
        for (int x0 = 0; x0 < W; x0 += span) {
            const int n = std::min(span, W - x0);
            const uchar* __restrict in = c + x0;
            uchar* __restrict to = o + x0;
            // Branch-free, so that the compiler does many bytes at a time.
            for (int i = 0; i < n; ++i) {
                const auto inside = static_cast<uchar>(-static_cast<int>(in[i] != 0));
                to[i] = static_cast<uchar>((p[i] & inside) | (ground & ~inside));
            }
        }
    }
    return out;
}

} // namespace

bool textSizeAllowed(std::int64_t W, std::int64_t H) {
    return W <= image::MaxPictureSide && H <= image::MaxPictureSide &&
           W * H * 4 <= image::MaxPictureBytes;
}

image::Image holderPattern(image::Image picture) {
    picture.layOver(image::rgbOf(0x80000005u));
    return picture;
}

bool render(const Request& request, image::Image& out, QSize& size) {
    const text::Letters letters(request.text, request.font, request.smooth);
    size = letters.size();
    if (!textSizeAllowed(size.width(), size.height()))
        return false;
    out = image::Image();
    if (size.isEmpty())
        return true;
    const image::Image cover = letters.cover();
    // Only the part of the pattern the image shows is ever looked at; the tiles
    // repeat it the same within the image.
    const image::Image pattern =
        request.pattern ? holderPattern(request.pattern->copied(size.width(), size.height()))
                        : image::Image();
    if (!request.smooth) {
        if (image::Image indexed = indexedPattern(pattern); !indexed.isNull() || pattern.isNull()) {
            out = composeIndexed(request, cover, indexed);
            return true;
        }
    }
    out = compose(request, cover, pattern);
    return true;
}

} // namespace engine::cut
