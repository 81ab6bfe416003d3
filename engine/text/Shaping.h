#pragma once

#include <vector>

#include <QString>

#include "engine/text/Faces.h"

// A line of text laid out: split into runs of one direction, script and face,
// each shaped by HarfBuzz, the runs in the order they are read on screen.
namespace engine::text {

struct Placed {
    Face* face;
    unsigned glyph;
    double scale;     // a bitmap face's pixels to the size asked
    FT_Pos x;         // 26.6 pixels from the line's start
    FT_Pos y;         // 26.6 pixels above the baseline; turned: the glyph's top
    FT_Pos width = 0; // turned: the glyph's horizontal advance
    bool turned = false;
};

struct Line {
    std::vector<Placed> glyphs;
    FT_Pos advance = 0; // 26.6
    int ascent = 0;
    int descent = 0;
};

// The line's glyphs, `extraAdvance` pixels added to each advance. A tab takes
// a space's width; other control characters draw nothing, as in a one-line
// text box. A line's base direction is its first strong character's.
Line layout(const QString& text, const FontSpec& font, int extraAdvance);

} // namespace engine::text
