#pragma once

#include <QSize>

#include "engine/cut/Render.h"
#include "engine/image/Image.h"
#include "engine/text/GlyphEngine.h"

// The cut letters as shapes rather than pixels, for the SVG and PDF writers:
// the image render() makes, described so that it prints sharp at any size.
namespace engine::cut {

struct Drawing {
    QSize size;           // render()'s image size
    text::Shapes letters; // in that image's pixels
    // Opaque (Rgb32), tiled from the image's top-left corner: the part of the
    // pattern the image shows. Null: the letters are black.
    image::Image pattern;
    image::Rgb ground = 0; // under everything, unless transparent
    bool transparent = false;
};

// The request as a drawing; false, with only `out.size` set, when render()
// refuses that size. An empty text gives an empty size.
bool draw(const Request& request, Drawing& out);

} // namespace engine::cut
