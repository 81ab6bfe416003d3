#pragma once

#include <cstdint>

#include "engine/image/Image.h"

// Colours cross the program as COLORREF values (0x00BBGGRR); values with the
// high bit set name a system colour (0x80000005 window, 0x80000008 window text).
namespace engine::image {

using COLORREF = std::uint32_t;

// The opaque colour of a COLORREF. System colours take the classic Windows
// values, never the desktop theme's, so the same settings give the same
// pixels on any desktop: window white, window text black, buttons F0F0F0.
Rgb rgbOf(COLORREF color);

} // namespace engine::image
