#pragma once

#include <QSize>
#include <QString>

#include "engine/image/Image.h"

// Text laid out and rasterised by FreeType and HarfBuzz, with faces found
// through fontconfig: the same glyphs for the window and for the command
// line, which has no GUI to ask. Sizes are points at 96 dots per inch.
namespace engine::text {

struct FontSpec {
    QString family; // a family name, or the path of a font file
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
};

// Bold and italic the face itself lacks, which the caller or the engine
// makes up: emboldening is the caller's, oblique letters the engine's.
struct Resolved {
    bool syntheticBold = false;
    double pixelSize = 0;
};

// The family the engine draws the spec's letters with, as the font list shows
// it; an "@" face keeps its "@". Empty where no face at all can be found.
QString faceName(const FontSpec& font);

// Whether a face name is meant as a font file: a path, or a font file's name.
bool looksLikeFontFile(const QString& name);

// Whether the face itself draws: its file, its family, or for a classic
// Windows face one of its stand-ins; otherwise the font system's nearest
// family draws in its place.
bool isInstalled(const FontSpec& font);

// Whether FreeType can use the file as a font.
bool isFontFile(const QString& path);

// Whether the family has no bold face of its own; the size in pixels.
Resolved resolve(const FontSpec& font);

// Advance width (the glyphs' advances plus `extraAdvance` pixels each) and
// line height (ascent plus descent) in whole pixels.
QSize measure(const QString& text, const FontSpec& font, int extraAdvance = 0);

// Draws the text's coverage into a Grey8 image, its
// top-left corner at (x, y): 255 inside the glyphs, 0 outside, and with
// `smooth` the grey levels of antialiased edges between. Returns the line height.
int draw(image::Image& cover, int x, int y, const QString& text, const FontSpec& font, bool smooth,
         int extraAdvance = 0);

// Releases what the font system holds for the process, at its very end.
void shutdown();

} // namespace engine::text
