#include "TextDrawing.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

namespace textdrawing {
namespace {

// Metrics follow the paint device; a QImage is 96 dpi unless told otherwise.
const QImage& reference() {
    static const QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

int roundHalfEven(qreal v) {
    return static_cast<int>(std::nearbyint(v));
}

bool hasRealBold(const QString& family) {
    static QHash<QString, bool> known;
    auto it = known.constFind(family);
    if (it != known.constEnd())
        return *it;
    bool bold = false;
    for (const QString& style : QFontDatabase::styles(family))
        bold = bold || QFontDatabase::weight(family, style) >= QFont::DemiBold;
    known.insert(family, bold);
    return bold;
}

struct Style {
    QFont font;
    int embolden = 0; // pixels to widen the strokes by
};

// Faces without a bold variant are emboldened here rather than by the font
// engine: its synthetic bold disappears above 64 pixels, where glyphs are
// drawn as outlines. The strength and the wider advance follow FreeType's
// (one 24th of the em).
Style styleFor(const QFont& font) {
    Style style{font};
    style.font.setStyleStrategy(
        QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    style.font.setHintingPreference(QFont::PreferFullHinting);
    if (font.weight() < QFont::DemiBold || hasRealBold(QFontInfo(style.font).family()))
        return style;
    const qreal ppem = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
    style.embolden = std::max(1, roundHalfEven(ppem / 24.0));
    style.font.setWeight(QFont::Normal);
    style.font.setLetterSpacing(QFont::AbsoluteSpacing, style.embolden);
    return style;
}

// The largest value in each window of `reach` + 1 samples ending at i (with
// `step` -1 running backwards), in linear time.
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

// Widens every lit run of a coverage image (its blue channel) by `s` pixels to
// the right and half as much up, which keeps small sizes from closing their
// counters. Grey edges widen with their own value.
void embolden(QImage& cover, int s) {
    const int w = cover.width(), h = cover.height();
    std::vector<uchar> plane(static_cast<size_t>(w) * h), line(static_cast<size_t>(std::max(w, h)));
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(cover.constScanLine(y));
        uchar* p = &plane[static_cast<size_t>(y) * w];
        for (int x = 0; x < w; ++x)
            line[static_cast<size_t>(x)] = static_cast<uchar>(qBlue(row[x]));
        slidingMax(line.data(), p, w, s);
    }
    const int up = s / 2;
    std::vector<uchar> column(static_cast<size_t>(h)), widened(static_cast<size_t>(h));
    for (int x = 0; x < w && up > 0; ++x) {
        // Upwards: walk each column from the bottom.
        for (int y = 0; y < h; ++y)
            column[static_cast<size_t>(h - 1 - y)] = plane[static_cast<size_t>(y) * w + x];
        slidingMax(column.data(), widened.data(), h, up);
        for (int y = 0; y < h; ++y)
            plane[static_cast<size_t>(y) * w + x] = widened[static_cast<size_t>(h - 1 - y)];
    }
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(cover.scanLine(y));
        const uchar* p = &plane[static_cast<size_t>(y) * w];
        for (int x = 0; x < w; ++x)
            row[x] = 0xFF000000u | 0x010101u * p[x];
    }
}

void paintText(QImage& image, int x, int y, const QString& text, const QFont& font, QRgb color,
               bool smooth = false) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.setRenderHint(QPainter::TextAntialiasing, smooth);
    p.setFont(font);
    p.setPen(QColor::fromRgb(color));
    p.drawText(QPointF(x, y + QFontMetricsF(font, &image).ascent()), text);
}

} // namespace

QFont drawingFont(const QFont& font) {
    return styleFor(font).font;
}

QSize measureText(const QString& text, const QFont& font) {
    QFontMetricsF metrics(drawingFont(font), &reference());
    return QSize(roundHalfEven(metrics.horizontalAdvance(text)), roundHalfEven(metrics.height()));
}

int drawText(QImage& image, int x, int y, const QString& text, const QFont& font, QRgb color) {
    const Style style = styleFor(font);
    if (style.embolden == 0) {
        paintText(image, x, y, text, style.font, color);
    } else {
        QImage cover(image.size(), QImage::Format_RGB32);
        cover.fill(0xFF000000u);
        paintText(cover, x, y, text, style.font, 0xFFFFFFFFu);
        embolden(cover, style.embolden);
        for (int row = 0; row < image.height(); ++row) {
            const auto* c = reinterpret_cast<const QRgb*>(cover.constScanLine(row));
            auto* d = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int col = 0; col < image.width(); ++col) {
                if (c[col] & 0xFF)
                    d[col] = color;
            }
        }
    }
    return roundHalfEven(QFontMetricsF(style.font, &image).height());
}

} // namespace textdrawing

namespace textdrawing {

QImage coverage(const QString& text, const QFont& font, QSize size) {
    Style style = styleFor(font);
    style.font.setStyleStrategy(
        QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    QImage cover(size, QImage::Format_RGB32);
    cover.fill(0xFF000000u);
    paintText(cover, 0, 0, text, style.font, 0xFFFFFFFFu, true);
    if (style.embolden > 0)
        embolden(cover, style.embolden);
    QImage grey(size, QImage::Format_Grayscale8);
    for (int y = 0; y < size.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(cover.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            out[x] = static_cast<uchar>(qBlue(in[x]));
    }
    return grey;
}

} // namespace textdrawing
