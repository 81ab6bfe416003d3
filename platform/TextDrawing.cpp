#include "TextDrawing.h"

#include <cmath>

#include <QFontMetricsF>
#include <QPainter>

namespace textdrawing {
namespace {

// Metrics follow the paint device; a QImage is 96 dpi unless told otherwise.
const QImage& reference() {
    static const QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

int roundHalfEven(qreal v) { return static_cast<int>(std::nearbyint(v)); }

} // namespace

QFont drawingFont(const QFont& font) {
    QFont f(font);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QSize measureText(const QString& text, const QFont& font) {
    QFontMetricsF metrics(drawingFont(font), &reference());
    return QSize(roundHalfEven(metrics.horizontalAdvance(text)), roundHalfEven(metrics.height()));
}

int drawText(QImage& image, int x, int y, const QString& text, const QFont& font, QRgb color) {
    const QFont f = drawingFont(font);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(f);
    p.setPen(QColor::fromRgb(color));
    QFontMetricsF metrics(f, &image);
    p.drawText(QPointF(x, y + metrics.ascent()), text);
    return roundHalfEven(metrics.height());
}

} // namespace textdrawing
