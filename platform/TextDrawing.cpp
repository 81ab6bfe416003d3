#include "TextDrawing.h"

#include <cmath>
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

// Widens every lit run of a coverage image by `s` pixels to the right and half
// as much up, which keeps small sizes from closing their counters.
void embolden(QImage& cover, int s) {
    const int w = cover.width(), h = cover.height();
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(cover.scanLine(y));
        int lastLit = -s - 1;
        for (int x = 0; x < w; ++x) {
            if (row[x] & 0xFF)
                lastLit = x;
            else if (x - lastLit <= s)
                row[x] = 0xFFFFFFFFu;
        }
    }
    const int up = s / 2;
    if (up == 0)
        return;
    std::vector<int> litBelow(static_cast<size_t>(w), h + up + 1);
    for (int y = h - 1; y >= 0; --y) {
        auto* row = reinterpret_cast<QRgb*>(cover.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (row[x] & 0xFF)
                litBelow[static_cast<size_t>(x)] = y;
            else if (litBelow[static_cast<size_t>(x)] - y <= up)
                row[x] = 0xFFFFFFFFu;
        }
    }
}

void paintText(QImage& image, int x, int y, const QString& text, const QFont& font, QRgb color) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
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
