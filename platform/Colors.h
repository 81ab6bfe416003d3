#pragma once

#include <cstdint>

#include <QColor>
#include <QRgb>

// Colours cross the program as COLORREF values (0x00BBGGRR); values with the
// high bit set name a system colour (0x80000005 window, 0x80000008 window text).
namespace platform {

using COLORREF = std::uint32_t;

QColor toQColor(COLORREF color);
COLORREF toColorRef(const QColor& color);

// Opaque QRgb (0xFFRRGGBB) of a COLORREF, system colours resolved.
QRgb toRgb32(COLORREF color);

} // namespace platform
