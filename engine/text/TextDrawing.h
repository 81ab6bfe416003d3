#pragma once

#include <QSize>
#include <QString>

#include "engine/image/Image.h"
#include "engine/text/GlyphEngine.h"

// A line of text as the cut letters need it: measured and drawn at 96 dots per
// inch, and emboldened here where the face has no bold of its own.
namespace engine::text {

// A line's letters, emboldened where the face has no bold of its own: their
// image's size known before the image is made.
class Letters {
  public:
    Letters(const QString& text, const FontSpec& font, bool smooth);
    // The advance width by the line height, grown by any ink beyond that box.
    QSize size() const { return m_raster.size(); }
    // 255 inside the letters and 0 outside, or with `smooth` the grey levels of
    // antialiased edges between; Grey8 of size().
    image::Image cover() const;
    // The same letters as shapes in that image, emboldened alike.
    Shapes shapes() const;

  private:
    int m_bold;
    Raster m_raster;
};

// The letters' size and their coverage, for callers that want one of them.
QSize measureText(const QString& text, const FontSpec& font);
image::Image coverage(const QString& text, const FontSpec& font, bool smooth);

} // namespace engine::text
