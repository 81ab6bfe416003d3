#pragma once

#include <QImage>

#include "engine/image/Image.h"

// Where the engine's pictures meet Qt's: the same rows, handed over.
namespace ui {

// The picture as a QImage that owns its rows: no pixel is copied.
QImage toQImage(engine::image::Image picture);

// A QImage that reads the picture's own pixels, for as long as the picture
// lives unchanged: a 32-bit picture is shown without a copy.
QImage viewOf(const engine::image::Image& picture);

// A copy of the image as Rgb32, or Argb32 where it has alpha.
engine::image::Image fromQImage(const QImage& image);

} // namespace ui
