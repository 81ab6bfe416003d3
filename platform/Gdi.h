#pragma once

#include <cstdint>

class QImage;

// A small stand-in for the GDI calls the renderer uses: device contexts and
// bitmaps are handle values over QImage surfaces in Format_RGB32.
namespace gdi {

using HDC = std::uint32_t;
using HBITMAP = std::uint32_t;
using HGDIOBJ = std::uint32_t;

inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;

// A memory device context holding a 1 x 1 default bitmap.
HDC CreateCompatibleDC(HDC reference);
// A bitmap of the asked size in the reference context's format, black; 0 when
// the size is not positive, the reference unknown or memory short.
HBITMAP CreateCompatibleBitmap(HDC reference, std::int32_t width, std::int32_t height);
// Selects a bitmap into a memory context and returns the one it held before.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
bool DeleteDC(HDC dc);
// Fails for a bitmap still selected into a context, as GDI does.
bool DeleteObject(HGDIOBJ object);
// Raster copy of a rectangle, clipped to both surfaces. AND and XOR act bit by
// bit on the 24 colour bits; alpha stays opaque.
bool BitBlt(HDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            HDC src, std::int32_t srcX, std::int32_t srcY, std::uint32_t rop);

// Memory contexts and bitmaps alive now, for leak checks.
int LiveObjectCount();

// A widget's persistent image as a device context. The image is held by
// pointer and may be resized between calls; unregister before it goes away.
HDC RegisterSurface(QImage* image);
void UnregisterSurface(HDC dc);

// The image a context draws on, or nullptr.
QImage* SurfaceOf(HDC dc);

} // namespace gdi
