#include "TextDrawing.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace engine::text {
namespace {

int roundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// Faces without a bold variant are emboldened here: strokes widen by one 24th
// of the em, as FreeType's own emboldening does, and each advance with them.
int emboldening(const FontSpec& spec) {
    const Resolved resolved = resolve(spec);
    if (!spec.bold || !resolved.syntheticBold)
        return 0;
    return std::max(1, roundHalfEven(resolved.pixelSize / 24.0));
}

// The largest value in each window of `reach` + 1 samples ending at i, in
// linear time.
void slidingMax(const uchar* in, uchar* out, int n, int reach) {
    std::deque<int> best;
    for (int i = 0; i < n; ++i) {
        while (!best.empty() && in[best.back()] <= in[i])
            best.pop_back();
        best.push_back(i);
        if (best.front() < i - reach)
            best.pop_front();
        out[i] = in[best.front()];
    }
}

// Widens every lit run of a grey coverage image by `s` pixels to the right and
// half as much up, which keeps small sizes from closing their counters. Grey
// edges widen with their own value.
void embolden(image::Image& cover, int s) {
    const int w = cover.width(), h = cover.height();
    std::vector<uchar> line(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        uchar* row = cover.scanLine(y);
        std::copy(row, row + w, line.begin());
        slidingMax(line.data(), row, w, s);
    }
    const int up = s / 2;
    std::vector<uchar> column(static_cast<size_t>(h)), widened(static_cast<size_t>(h));
    for (int x = 0; x < w && up > 0; ++x) {
        // Upwards: walk each column from the bottom.
        for (int y = 0; y < h; ++y)
            column[static_cast<size_t>(h - 1 - y)] = cover.constScanLine(y)[x];
        slidingMax(column.data(), widened.data(), h, up);
        for (int y = 0; y < h; ++y)
            cover.scanLine(y)[x] = widened[static_cast<size_t>(h - 1 - y)];
    }
}

// Emboldening widens the ink to the right and half as much up.
QMargins growth(int bold) {
    return QMargins(0, bold / 2, bold, 0);
}

} // namespace

Letters::Letters(const QString& text, const FontSpec& font, bool smooth)
    : m_bold(emboldening(font)), m_raster(rasterise(text, font, smooth, m_bold, growth(m_bold))) {}

image::Image Letters::cover() const {
    // Cleared here rather than by the allocator: glyphs drawn into pages the
    // system maps as zeros would fault twice on each, once to read and once to
    // write.
    image::Image cover =
        image::Image::uninitialized(size().width(), size().height(), image::Format::Grey8);
    if (cover.isNull())
        return cover;
    for (int y = 0; y < cover.height(); ++y)
        std::fill_n(cover.scanLine(y), cover.width(), uchar(0));
    m_raster.drawInto(cover);
    if (m_bold > 0)
        embolden(cover, m_bold);
    return cover;
}

Shapes Letters::shapes() const {
    Shapes shapes = shapesOf(m_raster, growth(m_bold));
    if (m_bold == 0)
        return shapes;
    // Bitmap glyphs widen as the coverage does, in a mask grown to hold it.
    const QMargins grow = growth(m_bold);
    for (Shapes::Mask& mask : shapes.masks) {
        const image::Image& cover = mask.cover;
        image::Image grown(cover.width() + grow.left() + grow.right(),
                           cover.height() + grow.top() + grow.bottom(), image::Format::Grey8);
        if (grown.isNull())
            continue;
        for (int y = 0; y < cover.height(); ++y)
            std::copy_n(cover.constScanLine(y), cover.width(),
                        grown.scanLine(y + grow.top()) + grow.left());
        embolden(grown, m_bold);
        mask = {mask.at - QPoint(grow.left(), grow.top()), std::move(grown)};
    }
    return shapes;
}

QSize measureText(const QString& text, const FontSpec& font) {
    return Letters(text, font, false).size();
}

image::Image coverage(const QString& text, const FontSpec& font, bool smooth) {
    return Letters(text, font, smooth).cover();
}

} // namespace engine::text
