#include "TextDrawing.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "GlyphEngine.h"

namespace textdrawing {
namespace {

int roundHalfEven(qreal v) {
    return static_cast<int>(std::nearbyint(v));
}

glyphs::FontSpec specOf(const QFont& font) {
    const double points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    return {font.family(), points, font.weight() >= QFont::DemiBold,
            font.style() != QFont::StyleNormal};
}

// Faces without a bold variant are emboldened here: strokes widen by one 24th
// of the em, as FreeType's own emboldening does, and each advance with them.
int emboldening(const glyphs::FontSpec& spec) {
    const glyphs::Resolved resolved = glyphs::resolve(spec);
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
void embolden(QImage& cover, int s) {
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

// The text's coverage (grey) over an image of `size`, emboldened where needed.
QImage cover(QSize size, int x, int y, const QString& text, const QFont& font, bool smooth,
             int* height = nullptr) {
    const glyphs::FontSpec spec = specOf(font);
    const int bold = emboldening(spec);
    QImage image(size, QImage::Format_Grayscale8);
    image.fill(0);
    const int h = glyphs::draw(image, x, y, text, spec, smooth, bold);
    if (bold > 0)
        embolden(image, bold);
    if (height)
        *height = h;
    return image;
}

} // namespace

QSize measureText(const QString& text, const QFont& font) {
    const glyphs::FontSpec spec = specOf(font);
    return glyphs::measure(text, spec, emboldening(spec));
}

int drawText(QImage& image, int x, int y, const QString& text, const QFont& font, QRgb color) {
    int height = 0;
    const QImage c = cover(image.size(), x, y, text, font, false, &height);
    const int w = image.width();
    for (int row = 0; row < image.height(); ++row) {
        const uchar* in = c.constScanLine(row);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int col = 0; col < w; ++col)
            if (in[col])
                out[col] = color;
    }
    return height;
}

QImage mask(const QString& text, const QFont& font, QSize size) {
    return cover(size, 0, 0, text, font, false);
}

QImage coverage(const QString& text, const QFont& font, QSize size) {
    return cover(size, 0, 0, text, font, true);
}

} // namespace textdrawing
