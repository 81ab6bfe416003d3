#include "GlyphEngine.h"

#include <algorithm>
#include <iterator>
#include <cmath>

#include <QDir>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include "engine/files/NativeName.h"
#include "engine/image/Limits.h"
#include "engine/files/ReadFile.h"
#include "engine/text/Faces.h"
#include "engine/text/FontList.h"
#include "engine/text/Shaping.h"

namespace engine::text {
namespace {

// The coverage of a rendered glyph's pixels, a byte each: one-bit bitmaps are
// all or nothing, colour glyphs count by their alpha.
void unpack(const FT_Bitmap& bitmap, Raster::Bitmap& b) {
    for (int r = 0; r < b.rows; ++r) {
        const unsigned char* in = bitmap.buffer + r * bitmap.pitch;
        uchar* out = b.pixels.data() + size_t(r) * size_t(b.width);
        switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_MONO:
            for (int c = 0; c < b.width; ++c)
                out[c] = (in[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
            break;
        case FT_PIXEL_MODE_BGRA:
            for (int c = 0; c < b.width; ++c)
                out[c] = in[c * 4 + 3];
            break;
        default:
            std::copy(in, in + b.width, out);
        }
    }
}

// The tight box of a bitmap's inked pixels, in its own coordinates.
QRect inkOf(const Raster::Bitmap& b) {
    int left = b.width, right = -1, top = b.rows, bottom = -1;
    const auto inked = [](uchar p) { return p != 0; };
    for (int r = 0; r < b.rows; ++r) {
        const uchar* row = b.pixels.data() + size_t(r) * size_t(b.width);
        const uchar* first = std::find_if(row, row + b.width, inked);
        if (first == row + b.width)
            continue;
        const auto last = std::find_if(std::make_reverse_iterator(row + b.width),
                                       std::make_reverse_iterator(first), inked);
        left = std::min(left, int(first - row));
        right = std::max(right, int(last.base() - 1 - row));
        top = std::min(top, r);
        bottom = r;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// A colour glyph of a fixed bitmap size made the size asked: each pixel the
// mean of the source pixels under it.
void rescale(Raster::Bitmap& b, double f) {
    const int w = std::max(1, int(std::lround(b.width * f))),
              h = std::max(1, int(std::lround(b.rows * f)));
    std::vector<uchar> out(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r0 = int(y / f), r1 = std::max(r0 + 1, std::min(b.rows, int((y + 1) / f)));
            const int c0 = int(x / f), c1 = std::max(c0 + 1, std::min(b.width, int((x + 1) / f)));
            int sum = 0, n = 0;
            for (int r = r0; r < r1 && r < b.rows; ++r)
                for (int c = c0; c < c1 && c < b.width; ++c, ++n)
                    sum += b.pixels[size_t(r) * size_t(b.width) + size_t(c)];
            out[size_t(y) * size_t(w) + size_t(x)] = static_cast<uchar>(n ? sum / n : 0);
        }
    b.pixels = std::move(out);
    b.width = w;
    b.rows = h;
    b.left = int(std::lround(b.left * f));
    b.top = int(std::lround(b.top * f));
}

// One glyph rendered at the face's current size; hard edges keep only pixels
// at least half covered, so a colour glyph's mask is its shape.
Raster::Bitmap render(const Placed& g, bool smooth, bool oblique) {
    Raster::Bitmap b;
    FT_Face ft = g.face->ft;
    const FT_Int32 target = smooth || g.face->color ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    const FT_Int32 load = FT_LOAD_DEFAULT | target | (g.face->color ? FT_LOAD_COLOR : 0) |
                          (oblique ? FT_LOAD_NO_BITMAP : 0);
    if (FT_Load_Glyph(ft, g.glyph, load) != 0)
        return b;
    // Slanted after hinting, as FreeType's own oblique does: a slant set
    // before loading changes how some fonts' hints shape the strokes.
    if (oblique)
        FT_GlyphSlot_Oblique(ft->glyph);
    const bool mono = !smooth && !g.face->color;
    if (FT_Render_Glyph(ft->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return b;
    const FT_GlyphSlot slot = ft->glyph;
    b.width = static_cast<int>(slot->bitmap.width);
    b.rows = static_cast<int>(slot->bitmap.rows);
    b.left = slot->bitmap_left;
    b.top = slot->bitmap_top;
    b.pixels.resize(size_t(b.width) * size_t(b.rows));
    unpack(slot->bitmap, b);
    // One-bit bitmaps unscaled are all or nothing already; a face's own grey
    // bitmaps come grey even when one bit was asked for.
    const bool allOrNothing = slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO && g.scale == 1;
    if (g.scale != 1)
        rescale(b, g.scale);
    if (!smooth && !allOrNothing)
        for (uchar& p : b.pixels)
            p = p >= 128 ? 255 : 0;
    b.ink = inkOf(b);
    return b;
}

// What a face keeps of the glyphs it has rendered, at most: past it, the kept
// ones are let go (lines that show them still hold theirs).
constexpr size_t RenderedLimit = size_t(16) << 20;

// A glyph rendered once a thread for each size and manner.
std::shared_ptr<const Raster::Bitmap> rendered(const Placed& g, double pointSize, bool smooth,
                                               bool oblique) {
    Face& face = *g.face;
    const auto key = std::make_tuple(g.glyph, pointSize, smooth, oblique);
    if (const auto known = face.rendered.find(key); known != face.rendered.end())
        return known->second;
    auto bitmap = std::make_shared<const Raster::Bitmap>(render(g, smooth, oblique));
    const size_t bytes = sizeof(Raster::Bitmap) + bitmap->pixels.size();
    if (face.renderedBytes + bytes > RenderedLimit) {
        face.rendered.clear();
        face.renderedBytes = 0;
    }
    face.renderedBytes += bytes;
    face.rendered.emplace(key, bitmap);
    return bitmap;
}

// Where a glyph's bitmap goes in line coordinates (x from the pen's start, y
// from the line's top), and the box its ink fills there.
Raster::Glyph place(const Placed& g, const Raster::Bitmap* b, const Line& line, bool oblique) {
    if (!g.turned) {
        const QPoint pen(static_cast<int>((g.x + 32) >> 6),
                         line.ascent - static_cast<int>((g.y + 32) >> 6));
        return {b, pen + QPoint(b->left, -b->top), false, g.face, g.glyph, pen, oblique};
    }
    // The glyph's top at its cell's left, its middle across the line's; its
    // row r, column c lands on (left + r, bottom - c).
    const FT_Pos middle = FT_Pos(line.ascent + line.descent) * 32 + g.width / 2;
    const QPoint pen(static_cast<int>((g.x + g.y + 32) >> 6), static_cast<int>((middle + 32) >> 6));
    return {b, pen - QPoint(b->top, b->left + 1), true, g.face, g.glyph, pen, oblique};
}

QRect inkBox(const Raster::Glyph& g) {
    const QRect& ink = g.bitmap->ink;
    if (ink.isNull())
        return QRect();
    if (!g.turned)
        return ink.translated(g.at);
    return QRect(QPoint(g.at.x() + ink.top(), g.at.y() - ink.right()),
                 QPoint(g.at.x() + ink.bottom(), g.at.y() - ink.left()));
}

} // namespace

bool looksLikeFontFile(const QString& name) {
    static constexpr const char16_t* Endings[] = {u".ttf", u".otf", u".ttc",  u".otc",  u".pfa",
                                                  u".pfb", u".pcf", u".woff", u".woff2"};
    return name.contains(u'/') || name.contains(QDir::separator()) ||
           std::any_of(std::begin(Endings), std::end(Endings),
                       [&name](const char16_t* ending) {
                           return name.endsWith(QStringView(ending), Qt::CaseInsensitive);
                       }) ||
           files::isRegularFile(name);
}

FontSpec fontRequest(const QString& name, double pointSize, bool bold, bool italic) {
    if (files::isRegularFile(name))
        return {QString(), pointSize, bold, italic, name, false};
    if (name.startsWith(u'@'))
        return {name.mid(1), pointSize, bold, italic, QString(), true};
    return {name, pointSize, bold, italic, QString(), false};
}

QString requestName(const FontSpec& font) {
    if (!font.file.isEmpty())
        return font.file;
    return font.vertical ? u'@' + font.family : font.family;
}

bool isInstalled(const FontSpec& font) {
    return match(font).named;
}

bool isFontFile(const QString& path) {
    return openFace(files::encodeNativeName(path), 0) != nullptr;
}

QString faceName(const FontSpec& font) {
    const Match m = match(font);
    if (!m.face || !m.face->ft->family_name)
        return QString();
    const QString family = displayName(QString::fromUtf8(m.face->ft->family_name));
    return font.vertical ? u'@' + family : family;
}

Resolved resolve(const FontSpec& font) {
    return {match(font).syntheticBold, font.pointSize * 96.0 / 72.0};
}

Raster rasterise(const QString& text, const FontSpec& font, bool smooth, int extraAdvance,
                 QMargins inkMargins) {
    Raster raster;
    const Line line = layout(text, font, extraAdvance);
    const Match m = match(font);
    // A line no picture can hold is measured, never drawn: its glyphs alone
    // could take more memory than any picture may.
    const std::int64_t W = (line.advance + 32) >> 6, H = line.ascent + line.descent;
    if (W > image::MaxPictureSide || H > image::MaxPictureSide ||
        W * H * 4 > image::MaxPictureBytes) {
        raster.m_size = QSize(static_cast<int>(std::min<std::int64_t>(W, 1'000'000'000)),
                              static_cast<int>(std::min<std::int64_t>(H, 1'000'000'000)));
        return raster;
    }
    QRect ink;
    const Face* sized = nullptr;
    for (const Placed& g : line.glyphs) {
        if (g.face != sized) // a size is set once for each run of one face
            setSize(g.face, font.pointSize);
        sized = g.face;
        // Bitmap-only faces (colour emoji) have no outline to slant.
        const bool oblique = m.syntheticItalic && !g.face->italic && !g.face->color;
        raster.m_bitmaps.push_back(rendered(g, font.pointSize, smooth, oblique));
        raster.m_glyphs.push_back(place(g, raster.m_bitmaps.back().get(), line, oblique));
        ink |= inkBox(raster.m_glyphs.back());
    }
    // The advance box, grown by exactly the ink that reaches beyond it.
    int left = 0, top = 0, right = static_cast<int>(W), bottom = static_cast<int>(H);
    if (!ink.isNull()) {
        ink = ink.marginsAdded(inkMargins);
        left = std::min(left, ink.left());
        top = std::min(top, ink.top());
        right = std::max(right, ink.right() + 1);
        bottom = std::max(bottom, ink.bottom() + 1);
    }
    raster.m_origin = QPoint(-left, -top);
    raster.m_size = QSize(right - left, bottom - top);
    raster.m_pointSize = font.pointSize;
    return raster;
}

void Raster::drawInto(image::Image& cover) const {
    for (const Glyph& g : m_glyphs) {
        const Bitmap& b = *g.bitmap;
        const QPoint at = m_origin + g.at;
        if (!g.turned) {
            // The rows and columns inside the image, then a plain row loop.
            const int c0 = std::max(0, -at.x()), c1 = std::min(b.width, cover.width() - at.x());
            const int r0 = std::max(0, -at.y()), r1 = std::min(b.rows, cover.height() - at.y());
            for (int r = r0; r < r1; ++r) {
                const uchar* in = b.pixels.data() + size_t(r) * size_t(b.width);
                uchar* out = cover.scanLine(at.y() + r) + at.x();
                for (int c = c0; c < c1; ++c)
                    out[c] = std::max(out[c], in[c]);
            }
            continue;
        }
        // Row r, column c of a turned glyph lands on (x + r, y - c).
        for (int r = 0; r < b.rows; ++r)
            for (int c = 0; c < b.width; ++c) {
                const int x = at.x() + r, y = at.y() - c;
                if (x < 0 || y < 0 || x >= cover.width() || y >= cover.height())
                    continue;
                uchar& out = cover.scanLine(y)[x];
                out = std::max(out, b.pixels[size_t(r) * size_t(b.width) + size_t(c)]);
            }
    }
}

} // namespace engine::text
