#pragma once

#include <memory>

#include <QImage>

#include "engine/image/Image.h"

// Where the engine's pictures meet Qt's: the same rows, handed over.
namespace ui {

// The picture as a QImage that owns its rows: no pixel is copied.
QImage toQImage(engine::image::Image picture);

// A QImage that reads the shared picture's own pixels and keeps the picture
// alive as long as any copy of it: a 32-bit picture is shown without a copy.
QImage viewOf(std::shared_ptr<const engine::image::Image> picture);

// A copy of the image as Rgb32, or Argb32 where it has alpha.
engine::image::Image fromQImage(const QImage& image);

} // namespace ui
