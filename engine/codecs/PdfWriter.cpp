#include "engine/codecs/VectorWriters.h"

#include <memory>
#include <vector>

#include <QtEndian>

#include "engine/codecs/Codecs.h"
#include "engine/codecs/Deflate.h"
#include "engine/codecs/Failure.h"

namespace engine::codecs {
namespace {

using Verb = text::Shapes::Verb;

QByteArray number(qint64 v) {
    return QByteArray::number(v);
}

// Pixels as points at 96 dots per inch: quarters, written exactly.
QByteArray points(int px) {
    static const char* const Quarters[] = {"", ".25", ".5", ".75"};
    return number(px * 3 / 4) + Quarters[px * 3 % 4];
}

// v / 2^bits, written exactly (a binary fraction has as many decimals as bits).
QByteArray binaryFraction(qint64 v, int bits) {
    if (v < 0)
        return '-' + binaryFraction(-v, bits);
    const qint64 whole = v >> bits, rest = v & ((qint64(1) << bits) - 1);
    if (rest == 0)
        return number(whole);
    QByteArray digits;
    for (qint64 r = rest; r != 0; r = (r * 10) & ((qint64(1) << bits) - 1))
        digits += char('0' + (r * 10 >> bits));
    return number(whole) + '.' + digits;
}

// A picture drawn over the pixels from `at` on, in units of `unit` per pixel,
// its first row at the top. Its edges sit a 4096th of a pixel inside: readers
// that find an image's edges exactly on pixel boundaries take in a pixel more
// and resample it (poppler), which blurs a pattern meant to show one to one.
QByteArray placed(QPoint at, int w, int h, int unit, const QByteArray& name) {
    const auto units = [unit](qint64 pixels4096) { return binaryFraction(pixels4096 * unit, 12); };
    return "q " + units(qint64(w) * 4096 - 2) + " 0 0 " + units(-(qint64(h) * 4096 - 2)) + ' ' +
           units(qint64(at.x()) * 4096 + 1) + ' ' + units(qint64(at.y() + h) * 4096 - 1) + " cm /" +
           name + " Do Q";
}

// A colour channel as a fraction to four places, which reads back as the same byte.
QByteArray fraction(int channel) {
    const int v = (channel * 10000 + 127) / 255;
    if (v == 0 || v == 10000)
        return number(v / 10000);
    QByteArray digits = number(v).rightJustified(4, '0');
    while (digits.endsWith('0'))
        digits.chop(1);
    return "0." + digits;
}

QByteArray colour(image::Rgb c) {
    return fraction(image::red(c)) + ' ' + fraction(image::green(c)) + ' ' +
           fraction(image::blue(c));
}

// The PNG level's meaning for the page's own streams: faster, balanced, smaller.
int deflateLevel(int pngLevel) {
    return pngLevel == 1 ? 6 : pngLevel == 2 ? 12 : 9;
}

// The objects of one file, numbered from 1 in the order they are made.
class PdfObjects {
  public:
    int reserve() {
        m_bodies.emplace_back();
        return static_cast<int>(m_bodies.size());
    }
    void set(int n, QByteArray body) { m_bodies[static_cast<size_t>(n - 1)] = std::move(body); }
    int add(QByteArray body) {
        const int n = reserve();
        set(n, std::move(body));
        return n;
    }
    // `dict` without its closing ">>", which the stream's length goes before.
    int addStream(const QByteArray& dict, const QByteArray& data) {
        return add(dict + " /Length " + number(data.size()) + " >>\nstream\n" + data +
                   "\nendstream");
    }
    // The whole file, the cross-reference table giving each object's offset.
    QByteArray file(int root) const {
        QByteArray out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        // Room for it all at once: the pattern's rows may be most of a large file.
        qsizetype size = 64 * qsizetype(m_bodies.size() + 2);
        for (const QByteArray& body : m_bodies)
            size += body.size();
        out.reserve(size);
        std::vector<qsizetype> offsets;
        for (size_t i = 0; i < m_bodies.size(); ++i) {
            offsets.push_back(out.size());
            out += number(qint64(i) + 1) + " 0 obj\n" + m_bodies[i] + "\nendobj\n";
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + number(qint64(m_bodies.size()) + 1) + "\n0000000000 65535 f \n";
        for (const qsizetype offset : offsets)
            out += number(offset).rightJustified(10, '0') + " 00000 n \n";
        out += "trailer\n<< /Size " + number(qint64(m_bodies.size()) + 1) + " /Root " +
               number(root) + " 0 R >>\nstartxref\n" + number(xref) + "\n%%EOF\n";
        return out;
    }

  private:
    std::vector<QByteArray> m_bodies;
};

QByteArray ref(int n) {
    return number(n) + " 0 R";
}

// An opaque picture as an image object: the PNG writer's own compressed rows,
// whose filters the reader undoes as FlateDecode's PNG predictors.
bool addImage(const image::Image& picture, int level, PdfObjects& pdf, int& n, QString* why) {
    QByteArray png;
    if (!encodePng(picture, level, png, why))
        return false;
    int width = 0, height = 0, depth = 0, type = -1;
    QByteArray palette, rows;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = static_cast<qsizetype>(qFromBigEndian<quint32>(png.constData() + at));
        const QByteArray kind = png.mid(at + 4, 4);
        const char* body = png.constData() + at + 8;
        if (kind == "IHDR" && length >= 13) {
            width = static_cast<int>(qFromBigEndian<quint32>(body));
            height = static_cast<int>(qFromBigEndian<quint32>(body + 4));
            depth = static_cast<uchar>(body[8]);
            type = static_cast<uchar>(body[9]);
        } else if (kind == "PLTE") {
            palette = QByteArray(body, length);
        } else if (kind == "IDAT") {
            rows.append(body, length);
        } else if (kind == "tRNS") {
            type = -1; // transparency has no place in a plain image object
        }
        at += length + 12;
    }
    // Opaque pictures come as truecolour or indexed rows.
    if (type != 2 && type != 3)
        return fail(why, QT_TRANSLATE_NOOP("codecs", "the image could not be encoded as PDF"));
    const QByteArray space = type == 2 ? QByteArray("/DeviceRGB")
                                       : "[/Indexed /DeviceRGB " + number(palette.size() / 3 - 1) +
                                             " <" + palette.toHex() + ">]";
    n = pdf.addStream("<< /Type /XObject /Subtype /Image /Width " + number(width) + " /Height " +
                          number(height) + " /ColorSpace " + space + " /BitsPerComponent " +
                          number(depth) +
                          " /Filter /FlateDecode /DecodeParms << /Predictor 15 /Colors " +
                          number(type == 2 ? 3 : 1) + " /BitsPerComponent " + number(depth) +
                          " /Columns " + number(width) + " >>",
                      rows);
    return true;
}

// Path coordinates are 192ths of a pixel: 64ths times three, so that a
// quadratic curve's cubic control points stay whole.
QByteArray pathOperators(const text::Shapes& shapes) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(shapes.points.size()) * 16);
    const auto add = [&out](QPoint p) {
        out += number(qint64(p.x()) * 3) + ' ' + number(qint64(p.y()) * 3) + ' ';
    };
    size_t next = 0;
    QPoint at;
    for (const Verb verb : shapes.verbs) {
        const QPoint* p = shapes.points.data() + next;
        switch (verb) {
        case Verb::Move:
            add(p[0]);
            out += "m\n";
            next += 1;
            break;
        case Verb::Line:
            add(p[0]);
            out += "l\n";
            next += 1;
            break;
        case Verb::Quad:
            // The cubic's control points, two thirds of the way to the quadratic's.
            out += number(qint64(at.x()) + 2 * p[0].x()) + ' ' +
                   number(qint64(at.y()) + 2 * p[0].y()) + ' ' +
                   number(qint64(p[1].x()) + 2 * p[0].x()) + ' ' +
                   number(qint64(p[1].y()) + 2 * p[0].y()) + ' ';
            add(p[1]);
            out += "c\n";
            next += 2;
            break;
        case Verb::Cubic:
            add(p[0]);
            add(p[1]);
            add(p[2]);
            out += "c\n";
            next += 3;
            break;
        case Verb::Close:
            out += "h\n";
            break;
        }
        if (verb != Verb::Close)
            at = shapes.points[next - 1];
    }
    return out;
}

// A rectangle of whole pixels in 192ths, as "x y w h".
QByteArray box(QPoint at, int w, int h) {
    return number(qint64(at.x()) * 192) + ' ' + number(qint64(at.y()) * 192) + ' ' +
           number(qint64(w) * 192) + ' ' + number(qint64(h) * 192);
}

// A bitmap glyph's coverage as a soft mask: a group that draws it as grey,
// its luminosity the alpha, black (nothing) around it.
bool addMask(const text::Shapes::Mask& mask, int level, PdfObjects& pdf, int& state, QString* why) {
    int picture = 0;
    if (!addImage(mask.cover, level, pdf, picture, why))
        return false;
    const int w = mask.cover.width(), h = mask.cover.height();
    const QPoint end = mask.at + QPoint(w, h);
    const int group = pdf.addStream(
        "<< /Type /XObject /Subtype /Form /BBox [" + number(qint64(mask.at.x()) * 192) + ' ' +
            number(qint64(mask.at.y()) * 192) + ' ' + number(qint64(end.x()) * 192) + ' ' +
            number(qint64(end.y()) * 192) +
            "] /Group << /S /Transparency /CS /DeviceGray >> /Resources << /XObject << /M " +
            ref(picture) + " >> >>",
        placed(mask.at, w, h, 192, "M"));
    state = pdf.add("<< /Type /ExtGState /SMask << /Type /Mask /S /Luminosity /G " + ref(group) +
                    " >> >>");
    return true;
}

} // namespace

// The page's user space is made pixels (192ths), y down from the top-left
// corner; the pattern's space, which starts from the page's own, likewise.
bool encodePdf(const cut::Drawing& drawing, int pngLevel, QByteArray& out, QString* why) {
    const int W = drawing.size.width(), H = drawing.size.height();
    PdfObjects pdf;
    const int catalog = pdf.reserve(), pages = pdf.reserve();
    QByteArray resources, content = "q 0.00390625 0 0 -0.00390625 0 " + points(H) + " cm\n";
    if (!drawing.transparent)
        content += colour(drawing.ground) + " rg " + box(QPoint(), W, H) + " re f\n";
    if (drawing.pattern.isNull()) {
        content += "0 g\n";
    } else {
        int picture = 0;
        if (!addImage(drawing.pattern, pngLevel, pdf, picture, why))
            return false;
        const int PW = drawing.pattern.width(), PH = drawing.pattern.height();
        const int pattern = pdf.addStream(
            "<< /Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 " + number(PW) +
                ' ' + number(PH) + "] /XStep " + number(PW) + " /YStep " + number(PH) +
                " /Matrix [0.75 0 0 -0.75 0 " + points(H) + "] /Resources << /XObject << /I " +
                ref(picture) + " >> >>",
            placed(QPoint(), PW, PH, 1, "I"));
        resources += "/Pattern << /P " + ref(pattern) + " >> ";
        content += "/Pattern cs /P scn\n";
    }
    if (!drawing.letters.verbs.empty())
        content += pathOperators(drawing.letters) + "f\n";
    QByteArray states;
    int n = 0;
    for (const text::Shapes::Mask& mask : drawing.letters.masks) {
        int state = 0;
        if (!addMask(mask, pngLevel, pdf, state, why))
            return false;
        const QByteArray name = "G" + number(n++);
        states += '/' + name + ' ' + ref(state) + ' ';
        content += "q /" + name + " gs " + box(mask.at, mask.cover.width(), mask.cover.height()) +
                   " re f Q\n";
    }
    if (!states.isEmpty())
        resources += "/ExtGState << " + states + ">> ";
    content += "Q\n";
    const QByteArray packed = zlibCompress(content.constData(), static_cast<size_t>(content.size()),
                                           1, deflateLevel(pngLevel));
    if (packed.isEmpty())
        return fail(why, QT_TRANSLATE_NOOP("codecs", "the image could not be encoded as PDF"));
    const int contents = pdf.addStream("<< /Filter /FlateDecode", packed);
    const int page = pdf.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 " +
                             points(W) + ' ' + points(H) + "] /Resources << " + resources +
                             ">> /Contents " + ref(contents) + " >>");
    pdf.set(pages, "<< /Type /Pages /Kids [" + ref(page) + "] /Count 1 >>");
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(pages) + " >>");
    out = pdf.file(catalog);
    return true;
}

} // namespace engine::codecs
