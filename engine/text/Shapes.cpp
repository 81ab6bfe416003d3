#include "engine/text/GlyphEngine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <vector>

#include <QPointF>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include "engine/text/Faces.h"

namespace engine::text {
namespace {

using Verb = Shapes::Verb;

// A piece of a contour from the end of the one before: a line, or a quadratic
// or cubic curve, its last point where it ends. Image coordinates, 64ths.
struct Piece {
    Verb verb;
    std::array<QPointF, 3> to;
    int count() const { return verb == Verb::Cubic ? 3 : verb == Verb::Quad ? 2 : 1; }
    QPointF end() const { return to[size_t(count() - 1)]; }
};

struct Contour {
    QPointF start;
    std::vector<Piece> pieces;
};

QPointF lerp(QPointF a, QPointF b, double t) {
    return a + (b - a) * t;
}

// Where along a piece from `from` its tangent turns horizontal or vertical, in order.
std::vector<double> turningPoints(QPointF from, const Piece& p) {
    std::vector<double> ts;
    if (p.verb == Verb::Line)
        return ts;
    const auto add = [&ts](double t) {
        if (t > 1e-9 && t < 1 - 1e-9)
            ts.push_back(t);
    };
    for (const auto axis : {&QPointF::x, &QPointF::y}) {
        const double p0 = (from.*axis)(), p1 = (p.to[0].*axis)(), p2 = (p.to[1].*axis)();
        if (p.verb == Verb::Quad) {
            if (p0 - 2 * p1 + p2 != 0)
                add((p0 - p1) / (p0 - 2 * p1 + p2));
        } else {
            // The derivative's roots: a (1-t)^2 + 2 b t (1-t) + c t^2 = 0.
            const double a = p1 - p0, b = p2 - p1, c = (p.to[2].*axis)() - p2;
            const double A = a - 2 * b + c, B = 2 * (b - a);
            if (std::abs(A) < 1e-12) {
                if (B != 0)
                    add(-a / B);
            } else if (const double d = B * B - 4 * A * a; d >= 0) {
                add((-B - std::sqrt(d)) / (2 * A));
                add((-B + std::sqrt(d)) / (2 * A));
            }
        }
    }
    std::sort(ts.begin(), ts.end());
    return ts;
}

// A curve split at t: the first part returned, `p` and `from` made the rest.
Piece split(QPointF& from, Piece& p, double t) {
    if (p.verb == Verb::Quad) {
        const QPointF a = lerp(from, p.to[0], t), b = lerp(p.to[0], p.to[1], t), m = lerp(a, b, t);
        from = m;
        p.to[0] = b;
        return {Verb::Quad, {a, m, {}}};
    }
    const QPointF a = lerp(from, p.to[0], t), b = lerp(p.to[0], p.to[1], t),
                  c = lerp(p.to[1], p.to[2], t), ab = lerp(a, b, t), bc = lerp(b, c, t),
                  m = lerp(ab, bc, t);
    from = m;
    p.to[0] = bc;
    p.to[1] = c;
    return {Verb::Cubic, {a, ab, m}};
}

// Which corner of the growth rectangle lies furthest out from a piece going
// `d`: its outward normal (d.y, -d.x), the filled side being on the right,
// by quarter turns from (right, down). -1 for no direction.
int cornerFor(QPointF d) {
    const double x = d.y(), y = -d.x();
    if (x == 0 && y == 0)
        return -1;
    return x > 0 && y >= 0 ? 0 : x <= 0 && y > 0 ? 1 : x < 0 && y <= 0 ? 2 : 3;
}

double cross(QPointF a, QPointF b) {
    return a.x() * b.y() - a.y() * b.x();
}

// Appends one contour to the path, grown by the rectangle `grow` as a pixel
// image is by a sliding maximum: the outline's convolution with the
// rectangle, each piece moved out by the rectangle's furthest corner and the
// rectangle's own edges between, which fills exactly the grown ink under the
// nonzero rule.
void appendGrown(const Contour& contour, QMargins grow, Shapes& out) {
    const QPointF corners[4] = {
        QPointF(grow.right(), grow.bottom()) * 64, QPointF(-grow.left(), grow.bottom()) * 64,
        QPointF(-grow.left(), -grow.top()) * 64, QPointF(grow.right(), -grow.top()) * 64};
    // The contour cut where its direction turns from one quarter to the next.
    std::vector<std::pair<QPointF, Piece>> parts;
    QPointF from = contour.start;
    for (Piece p : contour.pieces) {
        double done = 0;
        for (const double t : turningPoints(from, p)) {
            const QPointF at = from;
            const Piece head = split(from, p, (t - done) / (1 - done));
            parts.emplace_back(at, head);
            done = t;
        }
        parts.emplace_back(from, p);
        from = p.end();
    }
    std::vector<int> kinds;
    for (const auto& [at, p] : parts)
        kinds.push_back(cornerFor(p.end() - at));
    const auto firstKind = std::find_if(kinds.begin(), kinds.end(), [](int k) { return k >= 0; });
    if (firstKind == kinds.end())
        return;
    const auto point = [&out](QPointF p) {
        out.points.push_back(QPoint(qRound(p.x()), qRound(p.y())));
    };
    const size_t first = size_t(firstKind - kinds.begin());
    const QPointF firstHeading = parts[first].second.end() - parts[first].first;
    int kind = kinds[first];
    QPointF heading = firstHeading;
    out.verbs.push_back(Verb::Move);
    point(contour.start + corners[kind]);
    // From one corner to the next along the rectangle, turning as the outline turns.
    const auto turn = [&](QPointF at, int to, QPointF next) {
        if (to < 0 || to == kind)
            return;
        if ((to - kind + 4) % 4 == 2) {
            out.verbs.push_back(Verb::Line);
            point(at + corners[(kind + (cross(heading, next) > 0 ? 1 : 3)) % 4]);
        }
        out.verbs.push_back(Verb::Line);
        point(at + corners[to]);
        kind = to;
    };
    for (size_t i = 0; i < parts.size(); ++i) {
        const auto& [at, p] = parts[i];
        turn(at, kinds[i], p.end() - at);
        out.verbs.push_back(p.verb);
        for (int k = 0; k < p.count(); ++k)
            point(p.to[size_t(k)] + corners[kind]);
        if (kinds[i] >= 0)
            heading = p.end() - at;
    }
    turn(contour.start, kinds[first], firstHeading);
    out.verbs.push_back(Verb::Close);
}

// Collects one glyph's outline, mapped from its own 26.6 space (y up, from its
// origin) into the image's 64ths of a pixel, and appends it grown.
class PathSink {
  public:
    PathSink(Shapes& shapes, QPoint origin, bool turned, QMargins grow)
        : m_shapes(shapes), m_origin(origin * 64), m_turned(turned), m_grow(grow) {}

    void add(FT_Outline& outline) {
        static const FT_Outline_Funcs funcs = {&moveTo, &lineTo, &conicTo, &cubicTo, 0, 0};
        FT_Outline_Decompose(&outline, &funcs, this);
        finish();
    }

  private:
    // A turned glyph's row r, column c lands on (left + r, bottom - c).
    QPointF map(const FT_Vector* v) const {
        const double x = double(v->x), y = double(v->y);
        return m_origin + (m_turned ? QPointF(-y, -x) : QPointF(x, -y));
    }
    void finish() {
        if (m_contour.pieces.empty())
            return;
        if (m_grow.isNull()) {
            m_shapes.verbs.push_back(Verb::Move);
            m_shapes.points.push_back(m_contour.start.toPoint());
            for (const Piece& p : m_contour.pieces) {
                m_shapes.verbs.push_back(p.verb);
                for (int k = 0; k < p.count(); ++k)
                    m_shapes.points.push_back(p.to[size_t(k)].toPoint());
            }
            m_shapes.verbs.push_back(Verb::Close);
        } else {
            appendGrown(m_contour, m_grow, m_shapes);
        }
        m_contour.pieces.clear();
    }
    static int append(void* user, Verb verb, std::initializer_list<const FT_Vector*> at) {
        auto* self = static_cast<PathSink*>(user);
        Piece p{verb, {}};
        size_t k = 0;
        for (const FT_Vector* v : at)
            p.to[k++] = self->map(v);
        self->m_contour.pieces.push_back(p);
        return 0;
    }
    static int moveTo(const FT_Vector* to, void* user) {
        auto* self = static_cast<PathSink*>(user);
        self->finish();
        self->m_contour.start = self->map(to);
        return 0;
    }
    static int lineTo(const FT_Vector* to, void* user) { return append(user, Verb::Line, {to}); }
    static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        return append(user, Verb::Quad, {control, to});
    }
    static int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        return append(user, Verb::Cubic, {c1, c2, to});
    }

    Shapes& m_shapes;
    QPointF m_origin;
    bool m_turned;
    QMargins m_grow;
    Contour m_contour;
};

// The glyph's outline as printed: unhinted, slanted as the raster slants it.
// Glyphs of colour faces, whose ink is their colour image's, have none.
bool loadOutline(const Raster::Glyph& g) {
    FT_Face ft = g.face->ft;
    if (g.face->color || FT_Load_Glyph(ft, g.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    if (g.oblique)
        FT_GlyphSlot_Oblique(ft->glyph);
    // One turning for every contour of every face (TrueType and CFF differ),
    // so that the filled side is always on the right and overlapping glyphs
    // add up under the nonzero rule.
    if (FT_Outline_Get_Orientation(&ft->glyph->outline) == FT_ORIENTATION_POSTSCRIPT)
        FT_Outline_Reverse(&ft->glyph->outline);
    return true;
}

// A bitmap glyph's coverage as the raster draws it, turned where it is.
Shapes::Mask maskOf(const Raster::Glyph& g, QPoint origin) {
    const Raster::Bitmap& b = *g.bitmap;
    if (!g.turned) {
        image::Image cover(b.width, b.rows, image::Format::Grey8);
        for (int r = 0; r < b.rows && !cover.isNull(); ++r)
            std::copy_n(b.pixels.data() + size_t(r) * size_t(b.width), b.width, cover.scanLine(r));
        return {origin + g.at, std::move(cover)};
    }
    image::Image cover(b.rows, b.width, image::Format::Grey8);
    for (int r = 0; r < b.rows && !cover.isNull(); ++r)
        for (int c = 0; c < b.width; ++c)
            cover.scanLine(b.width - 1 - c)[r] = b.pixels[size_t(r) * size_t(b.width) + size_t(c)];
    return {origin + g.at - QPoint(0, b.width - 1), std::move(cover)};
}

} // namespace

Shapes shapesOf(const Raster& raster, QMargins grow) {
    Shapes shapes;
    const Face* sized = nullptr;
    for (const Raster::Glyph& g : raster.m_glyphs) {
        if (g.face != sized)
            setSize(g.face, raster.m_pointSize);
        sized = g.face;
        if (loadOutline(g))
            PathSink(shapes, raster.m_origin + g.pen, g.turned, grow)
                .add(g.face->ft->glyph->outline);
        else if (!g.bitmap->ink.isNull())
            shapes.masks.push_back(maskOf(g, raster.m_origin));
    }
    return shapes;
}

} // namespace engine::text
