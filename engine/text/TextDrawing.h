#pragma once

#include <QSize>
#include <QString>

#include "engine/image/Image.h"
#include "engine/text/GlyphEngine.h"

// A line of text as the cut letters need it: measured and drawn at 96 dots per
// inch, and emboldened here where the face has no bold of its own.
namespace engine::text {

// Advance width and line height of the text.
QSize measureText(const QString& text, const FontSpec& font);

// The text drawn at (0, 0) into a Grey8 image of `size`: 255 inside the
// letters and 0 outside, or with `smooth` the grey levels of antialiased
// edges between.
image::Image coverage(const QString& text, const FontSpec& font, QSize size, bool smooth);

} // namespace engine::text
