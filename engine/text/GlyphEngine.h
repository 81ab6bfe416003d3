#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "engine/image/Image.h"

// Text laid out and rasterised by FreeType and HarfBuzz, with faces found
// through fontconfig: the same glyphs for the window and for the command
// line, which has no GUI to ask. Sizes are points at 96 dots per inch.
namespace engine::text {

// A font request. Where it names a family or a font file, and whether it is
// an "@" vertical face, is decided once by fontRequest(), where the name comes in.
struct FontSpec {
    QString family; // a family name, without the "@" of a vertical face
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    QString file{};        // a font file, which then draws instead of any family
    bool vertical = false; // full-width characters turned, as Windows' "@" faces do
};

// The request for a face name as a user gives it: an existing font file, "@"
// and a family for its vertical twin, or a family.
FontSpec fontRequest(const QString& name, double pointSize, bool bold = false, bool italic = false);

// Bold and italic the face itself lacks, which the caller or the engine
// makes up: emboldening is the caller's, oblique letters the engine's.
struct Resolved {
    bool syntheticBold = false;
    double pixelSize = 0;
};

// The family the engine draws the requested letters with, as the font list shows
// it; an "@" face keeps its "@". Empty where no face at all can be found.
QString faceName(const FontSpec& font);

// Whether a face name is meant as a font file: a path, or a font file's name.
bool looksLikeFontFile(const QString& name);

// The name a request stands for, as fontRequest() reads it.
QString requestName(const FontSpec& font);

// Whether the face itself draws: its file, its family, or for a classic
// Windows face one of its stand-ins; otherwise the font system's nearest
// family draws in its place.
bool isInstalled(const FontSpec& font);

// Whether FreeType can use the file as a font.
bool isFontFile(const QString& path);

// Whether the family has no bold face of its own; the size in pixels.
Resolved resolve(const FontSpec& font);

struct Face;

// A line's letters as shapes in the pixels of the image that holds them (y
// down), for writers of vector images.
struct Shapes {
    enum class Verb : std::uint8_t { Move, Line, Quad, Cubic, Close };
    // Every outline in one path, filled by the nonzero rule, all of its
    // contours turning the same way. Points are 64ths of a pixel: a move or a
    // line takes one, a quadratic curve two, a cubic three.
    std::vector<Verb> verbs;
    std::vector<QPoint> points;
    // Glyphs without an outline (colour emoji): their coverage as the raster
    // draws it, Grey8, and the image pixel its top-left corner covers.
    struct Mask {
        QPoint at;
        image::Image cover;
    };
    std::vector<Mask> masks;
};

// A line of text rasterised: each glyph's coverage and where it goes. The
// image that holds it is the line's advance width by its height (ascent plus
// descent), grown on any side by exactly the ink that reaches beyond that box,
// so that no inked pixel is cut.
class Raster {
  public:
    struct Bitmap {
        int width = 0, rows = 0;
        int left = 0, top = 0; // from the pen, as FreeType places it
        std::vector<uchar> pixels;
        QRect ink; // inked pixels, in the bitmap's own coordinates
    };
    struct Glyph {
        const Bitmap* bitmap;
        QPoint at;   // the bitmap's top-left corner in line coordinates;
        bool turned; // turned: its top-left becomes the bottom-left
        Face* face;
        unsigned index;
        QPoint pen;   // the glyph's origin in line coordinates, where its outline starts
        bool oblique; // slanted here, the face having no italic of its own
    };

    QSize size() const { return m_size; }
    // The text's coverage into a Grey8 image of size(): 255 inside the glyphs,
    // 0 outside, and with `smooth` the grey levels of antialiased edges between.
    void drawInto(image::Image& cover) const;

  private:
    friend Raster rasterise(const QString&, const FontSpec&, bool, int, QMargins);
    friend Shapes shapesOf(const Raster&, QMargins);
    std::vector<std::shared_ptr<const Bitmap>> m_bitmaps; // those its glyphs show
    std::vector<Glyph> m_glyphs;
    QPoint m_origin; // where line coordinates (0, 0) lie in the image
    QSize m_size;
    double m_pointSize = 0;
};

// The text laid out and rendered: bidi ordered, each script shaped, fallback
// faces per cluster, colour glyphs by their alpha. `extraAdvance` pixels are
// added to each advance; `inkMargins` widen the ink of any line that has some
// (for emboldening made up afterwards).
Raster rasterise(const QString& text, const FontSpec& font, bool smooth, int extraAdvance = 0,
                 QMargins inkMargins = {});

// The raster's glyphs as shapes in its image: the unhinted outlines, at the
// same origins, slanted alike and grown by `grow` pixels on each side as the
// ink was; glyphs without an outline as their coverage, not grown. On the
// thread that made the raster, whose faces it uses.
Shapes shapesOf(const Raster& raster, QMargins grow);

// Releases the faces this thread opened; a thread that drew text calls it
// before it ends.
void releaseThreadFaces();

// Releases what the font system holds for the process, at its very end.
void shutdown();

// From now on the process keeps the files fontconfig gives for families in the
// user's cache folder ($XDG_CACHE_HOME/velmora/faces) and takes them from there
// while fontconfig's configuration is unchanged: a short-lived process then
// skips reading that configuration. The window, which lists every family
// anyway and writes nothing beside its settings, leaves it off.
void rememberFaceLookups();

} // namespace engine::text
