#pragma once

#include <QColor>
#include <QRgb>

#include "engine/image/Colors.h"

// How the window's controls show COLORREF values: system colours follow the
// desktop's palette here, unlike in the pictures the engine makes.
namespace ui {

using engine::image::COLORREF;

QColor toQColor(COLORREF color);
COLORREF toColorRef(const QColor& color);

// Opaque QRgb (0xFFRRGGBB) of a COLORREF, system colours resolved.
QRgb toRgb32(COLORREF color);

} // namespace ui
