#include "engine/codecs/VectorWriters.h"

#include "engine/codecs/Codecs.h"

namespace engine::codecs {
namespace {

using Verb = text::Shapes::Verb;

QByteArray number(int v) {
    return QByteArray::number(v);
}

QByteArray colour(image::Rgb c) {
    return '#' + QByteArray::number(c & 0xFFFFFFu, 16).rightJustified(6, '0');
}

// The outlines as path data in 64ths of a pixel, each point from the one
// before: the shortest form a reader still takes exactly.
QByteArray pathData(const text::Shapes& shapes) {
    QByteArray d;
    d.reserve(static_cast<qsizetype>(shapes.points.size()) * 9);
    QPoint at, start;
    size_t next = 0;
    char last = 0;
    bool afterNumber = false;
    const auto add = [&](int v) {
        if (afterNumber && v >= 0)
            d += ' ';
        d += number(v);
        afterNumber = true;
    };
    for (const Verb verb : shapes.verbs) {
        const char letter = "mlqcz"[static_cast<int>(verb)];
        // A repeated command may go without its letter, except a move, whose
        // repeats would be lines.
        if (letter != last || verb == Verb::Move) {
            d += letter;
            afterNumber = false;
        }
        last = letter;
        const size_t count = verb == Verb::Cubic   ? 3
                             : verb == Verb::Quad  ? 2
                             : verb == Verb::Close ? 0
                                                   : 1;
        for (size_t k = 0; k < count; ++k) {
            const QPoint p = shapes.points[next + k] - at;
            add(p.x());
            add(p.y());
        }
        if (count > 0)
            at = shapes.points[next + count - 1];
        next += count;
        if (verb == Verb::Move)
            start = at;
        else if (verb == Verb::Close)
            at = start;
    }
    return d;
}

// A picture as an image element of that place and size, its PNG inline.
bool imageElement(const image::Image& picture, QPoint at, int level, QByteArray& out,
                  QString* why) {
    QByteArray png;
    if (!encodePng(picture, level, png, why))
        return false;
    out += "<image x=\"" + number(at.x() * 64) + "\" y=\"" + number(at.y() * 64) + "\" width=\"" +
           number(picture.width() * 64) + "\" height=\"" + number(picture.height() * 64) +
           "\" xlink:href=\"data:image/png;base64," + png.toBase64() + "\"/>";
    return true;
}

} // namespace

// Everything but the ground is drawn in 64ths of a pixel, which keeps the
// outlines' numbers whole; the pattern's tile is given in the same units.
bool encodeSvg(const cut::Drawing& drawing, int pngLevel, QByteArray& out, QString* why) {
    const QByteArray W = number(drawing.size.width()), H = number(drawing.size.height());
    QByteArray defs, letters;
    QByteArray fill = "#000000";
    if (!drawing.pattern.isNull()) {
        defs += "<pattern id=\"pattern\" patternUnits=\"userSpaceOnUse\" width=\"" +
                number(drawing.pattern.width() * 64) + "\" height=\"" +
                number(drawing.pattern.height() * 64) + "\">";
        if (!imageElement(drawing.pattern, QPoint(), pngLevel, defs, why))
            return false;
        defs += "</pattern>\n";
        fill = "url(#pattern)";
    }
    if (!drawing.letters.verbs.empty())
        letters += "<path d=\"" + pathData(drawing.letters) + "\"/>\n";
    int n = 0;
    for (const text::Shapes::Mask& mask : drawing.letters.masks) {
        // White whose alpha is the coverage: a mask of that coverage in any
        // colour space.
        const image::Image& cover = mask.cover;
        image::Image white(cover.width(), cover.height(), image::Format::Argb32);
        for (int y = 0; y < white.height(); ++y)
            for (int x = 0; x < white.width(); ++x)
                reinterpret_cast<image::Rgb*>(white.scanLine(y))[x] =
                    image::rgba(255, 255, 255, cover.constScanLine(y)[x]);
        const QByteArray id = "mask" + number(n++);
        const QByteArray box = "x=\"" + number(mask.at.x() * 64) + "\" y=\"" +
                               number(mask.at.y() * 64) + "\" width=\"" +
                               number(cover.width() * 64) + "\" height=\"" +
                               number(cover.height() * 64) + '"';
        defs += "<mask id=\"" + id + "\" maskUnits=\"userSpaceOnUse\" " + box + '>';
        if (!imageElement(white, mask.at, pngLevel, defs, why))
            return false;
        defs += "</mask>\n";
        letters += "<rect " + box + " mask=\"url(#" + id + ")\"/>\n";
    }
    out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
          "version=\"1.1\" width=\"" +
          W + "\" height=\"" + H + "\" viewBox=\"0 0 " + W + ' ' + H + "\">\n";
    if (!defs.isEmpty())
        out += "<defs>\n" + defs + "</defs>\n";
    if (!drawing.transparent)
        out += "<rect width=\"" + W + "\" height=\"" + H + "\" fill=\"" + colour(drawing.ground) +
               "\"/>\n";
    out += "<g transform=\"scale(0.015625)\" fill=\"" + fill + "\">\n" + letters + "</g>\n</svg>\n";
    return true;
}

} // namespace engine::codecs
