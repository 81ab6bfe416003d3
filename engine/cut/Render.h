#pragma once

#include <cstdint>
#include <memory>

#include <QSize>
#include <QString>

#include "engine/image/Colors.h"
#include "engine/image/Image.h"
#include "engine/image/Rows.h"
#include "engine/text/GlyphEngine.h"

// The cut letters: the pattern tiled inside the letters, the ground colour
// around them, in an image exactly as large as the text. The window and
// velmora-cut both fill a Request and show or write what render() gives.
namespace engine::cut {

struct Request {
    QString text;
    text::FontSpec font;  // face, size in points at 96 dpi, bold, italic
    // Tiled from its top-left corner; none, or one without pixels, gives black
    // letters. Shared, never copied: a pattern may be 256 MiB, and every thread
    // of a batch draws from the same one.
    std::shared_ptr<const image::Image> pattern;
    image::COLORREF ground = 0;
    // Edges blended by the glyphs' coverage, and a fully transparent ground
    // (the result then carries alpha): choices velmora-cut offers.
    bool smooth = false;
    bool transparent = false;
};

// Whether a W x H text image can be made: at most 32,767 pixels a side and
// 256 MiB, the pattern pictures' limits. An empty text is allowed.
bool textSizeAllowed(std::int64_t W, std::int64_t H);

// A pattern as the pattern holder shows it and the letters take it: opaque,
// transparency laid over the holder's white ground.
image::Image holderPattern(image::Image picture);

// The image and its size; false when that size is refused, before anything of
// it is allocated. An empty text gives a null image. Hard edges over a pattern
// whose part the image shows has few colours come as Indexed8, the others as
// Rgb32 (Argb32 when the ground is transparent).
bool render(const Request& request, image::Image& out, QSize& size);

// The same image made a row at a time as a writer asks for it, for callers
// that only write it: no whole image of it is held. No rows (height 0) where
// the image would be null.
bool render(const Request& request, image::Rows& out, QSize& size);

} // namespace engine::cut
