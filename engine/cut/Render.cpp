#include "Render.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/image/Limits.h"
#include "engine/text/TextDrawing.h"

namespace engine::cut {
namespace {

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

// The cut letters a row at a time: the pattern where the letters are, the
// ground elsewhere, as the window's (P AND M1) XOR M2 gives it with pure
// masks, tiled from the top-left corner. Smooth edges blend the two by the
// glyphs' coverage; with a transparent ground the coverage is the alpha. Hard
// edges over a pattern of few colours come as colour indexes: a quarter of the
// memory, and no colour counting when the image is written as PNG.
class Composer {
  public:
    Composer(const Request& r, image::Image cover, image::Image pattern)
        : m_cover(std::move(cover)), m_transparent(r.transparent), m_smooth(r.smooth),
          m_ground(image::rgbOf(r.ground)) {
        const int W = m_cover.width();
        if (!r.smooth) {
            m_pattern = indexedPattern(pattern);
            m_indexed = !m_pattern.isNull() || pattern.isNull();
        }
        if (!m_indexed)
            m_pattern = std::move(pattern);
        // Letters over an empty pattern are black: one black span the whole row.
        m_empty = m_pattern.width() == 0 || m_pattern.height() == 0;
        if (m_empty)
            m_black.assign(static_cast<size_t>(W), m_indexed ? 0u : 0xFF000000u);
        if (m_indexed) {
            m_table = m_empty ? std::vector<image::Rgb>{0xFF000000u} : m_pattern.colorTable();
            m_groundIndex = static_cast<uchar>(m_table.size());
            m_table.push_back(r.transparent ? 0u : m_ground);
        }
    }

    int width() const { return m_cover.width(); }
    int height() const { return m_cover.height(); }
    image::Format format() const {
        return m_indexed       ? image::Format::Indexed8
               : m_transparent ? image::Format::Argb32
                               : image::Format::Rgb32;
    }
    const std::vector<image::Rgb>& table() const { return m_table; }

    // Row y into `out`, each pixel written once; a pattern's width at a time,
    // so that the inner loops have no wrap to test.
    void row(int y, uchar* out) const {
        const int W = width();
        const uchar* c = m_cover.constScanLine(y);
        const auto* p = m_empty ? reinterpret_cast<const uchar*>(m_black.data())
                                : m_pattern.constScanLine(y % m_pattern.height());
        const int span = m_empty ? W : m_pattern.width();
        for (int x0 = 0; x0 < W; x0 += span) {
            const int n = std::min(span, W - x0);
            if (m_indexed)
                indexedSpan(c + x0, p, n, out + x0);
            else if (!m_smooth && !m_transparent)
                hardSpan(c + x0, reinterpret_cast<const image::Rgb*>(p), n,
                         reinterpret_cast<image::Rgb*>(out) + x0);
            else
                colourSpan(c + x0, reinterpret_cast<const image::Rgb*>(p), n,
                           reinterpret_cast<image::Rgb*>(out) + x0);
        }
    }

  private:
    // Branch-free, so that the compiler does many bytes at a time.
    void indexedSpan(const uchar* __restrict in, const uchar* p, int n,
                     uchar* __restrict to) const {
        for (int i = 0; i < n; ++i) {
            const auto inside = static_cast<uchar>(-static_cast<int>(in[i] != 0));
            to[i] = static_cast<uchar>((p[i] & inside) | (m_groundIndex & ~inside));
        }
    }

    // Hard edges over the ground: each pixel the pattern's or the ground's.
    void hardSpan(const uchar* __restrict in, const image::Rgb* __restrict p, int n,
                  image::Rgb* __restrict to) const {
        for (int i = 0; i < n; ++i) {
            const image::Rgb inside = 0u - image::Rgb(in[i] != 0);
            to[i] = (p[i] & inside) | (m_ground & ~inside);
        }
    }

    void colourSpan(const uchar* c, const image::Rgb* p, int n, image::Rgb* o) const {
        for (int i = 0; i < n; ++i) {
            const int a = c[i];
            if (m_transparent)
                o[i] = a ? (p[i] & 0xFFFFFFu) | image::Rgb(a) << 24 : 0u;
            else if (a == 0)
                o[i] = m_ground;
            else if (a == 255)
                o[i] = p[i];
            else {
                const auto mix = [a](int fg, int bg) {
                    return (fg * a + bg * (255 - a) + 127) / 255;
                };
                o[i] = image::rgb(mix(image::red(p[i]), image::red(m_ground)),
                                  mix(image::green(p[i]), image::green(m_ground)),
                                  mix(image::blue(p[i]), image::blue(m_ground)));
            }
        }
    }

    image::Image m_cover;
    image::Image m_pattern; // Rgb32, or its colours as indexes
    bool m_transparent;
    bool m_smooth;
    image::Rgb m_ground;
    bool m_indexed = false;
    bool m_empty = false;
    std::vector<image::Rgb> m_black; // black pixels, or index 0 of the table
    std::vector<image::Rgb> m_table;
    uchar m_groundIndex = 0;
};

// The letters' cover and the part of the pattern the image shows, or false
// when the size is refused; an empty text leaves `composer` unset.
bool prepare(const Request& request, std::unique_ptr<Composer>& composer, QSize& size) {
    const text::Letters letters(request.text, request.font, request.smooth);
    size = letters.size();
    if (!textSizeAllowed(size.width(), size.height()))
        return false;
    if (size.isEmpty())
        return true;
    image::Image cover = letters.cover();
    if (cover.isNull())
        return true;
    // Only the part of the pattern the image shows is ever looked at; the tiles
    // repeat it the same within the image.
    image::Image pattern = request.pattern
                               ? holderPattern(request.pattern->copied(size.width(), size.height()))
                               : image::Image();
    composer = std::make_unique<Composer>(request, std::move(cover), std::move(pattern));
    return true;
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
    std::unique_ptr<Composer> composer;
    if (!prepare(request, composer, size))
        return false;
    out = image::Image();
    if (!composer)
        return true;
    out = image::Image::uninitialized(composer->width(), composer->height(), composer->format());
    out.setColorTable(composer->table());
    for (int y = 0; y < out.height(); ++y)
        composer->row(y, out.scanLine(y));
    return true;
}

bool render(const Request& request, image::Rows& out, QSize& size) {
    std::unique_ptr<Composer> composer;
    if (!prepare(request, composer, size))
        return false;
    out = image::Rows();
    if (!composer)
        return true;
    std::shared_ptr<const Composer> shared = std::move(composer);
    // One row held at a time, made again whenever it is asked for.
    auto row = std::make_shared<std::vector<image::Rgb>>(static_cast<size_t>(shared->width()));
    out = {shared->width(), shared->height(), shared->format(), shared->table(),
           [shared, row](int y) {
               shared->row(y, reinterpret_cast<uchar*>(row->data()));
               return reinterpret_cast<const std::uint8_t*>(row->data());
           }};
    return true;
}

} // namespace engine::cut
