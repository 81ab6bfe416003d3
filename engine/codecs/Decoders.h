#pragma once

#include <cstdint>

#include <QByteArrayView>

#include "engine/codecs/Codecs.h"
#include "engine/image/Image.h"

// The decoders behind the picture loader, one per format. Each checks the
// declared size before it allocates, bounds its work, and gives every pixel a
// defined value (or refuses the file): nothing of the heap reaches a picture.
namespace engine::codecs {

// A whole .bmp file: Windows and OS/2 headers, 1/2/4/8-bit palettes, 16/24/32-bit
// pixels with or without bit fields, RLE4 and RLE8, bottom-up and top-down.
// Pixels an RLE stream skips or never reaches take palette entry 0.
bool decodeBmp(QByteArrayView file, image::Image& picture);

// One bitmap entry of an icon: header, palette, colour pixels and the
// transparency mask, the header's height counting both.
bool decodeIconBitmap(QByteArrayView entry, image::Image& picture);

// The bytes an icon bitmap's own header says it takes: header, palette, colour
// rows and mask; 0 where the entry starts with no bitmap header.
std::int64_t iconBitmapExtent(QByteArrayView entry);

// Baseline or progressive JPEG, grey, colour or CMYK, through libjpeg-turbo with
// a cap on the number of scans; `shown` may cut it.
bool decodeJpeg(QByteArrayView file, image::Image& picture, const ShownPart& shown = {});

// Any PNG through libpng; Argb32. `shown` may cut one that is not interlaced:
// the rows after the cut are then neither read nor checked.
bool decodePng(QByteArrayView file, image::Image& picture, const ShownPart& shown = {});

// The side of a picture `shown` cuts to, out of `whole`: at least 1.
int shownSide(int wanted, int whole);

// The first frame of a GIF through giflib, as large as the logical screen;
// Argb32, transparent where the frame does not reach or names its
// transparent colour.
bool decodeGif(QByteArrayView file, image::Image& picture);

} // namespace engine::codecs
