#pragma once

#include <cstdint>

#include <QByteArrayView>
#include <QString>

#include "engine/codecs/Codecs.h"
#include "engine/image/Image.h"

// The decoders behind the picture loader, one per format. Each checks the
// declared size before it allocates, bounds its work, and gives every pixel a
// defined value (or refuses the file): nothing of the heap reaches a picture.
// A refusal says why through `why`, where it is given, in the user's language.
namespace engine::codecs {

// The reasons a decoder gives. Each returns false and sets `why` only where it
// is still empty, so that the first reason found stands.
bool refuseTruncated(QString* why);                                  // the file ends early
bool refuseDamaged(QString* why);                                    // a checksum, a broken stream
bool refuseSize(QString* why, std::int64_t width, std::int64_t height); // none, or too many
// Work beyond the limits: `what` (translatable) with %1 for `count`.
bool refuseWork(QString* why, const char* what, std::int64_t count);
// A kind of file the program does not read: `feature` (translatable), with %1
// and %2 for the numbers that name it.
bool refuseFeature(QString* why, const char* feature, int first = 0, int second = 0);

// A whole .bmp file: Windows and OS/2 headers, 1/2/4/8-bit palettes, 16/24/32-bit
// pixels with or without bit fields, RLE4 and RLE8, bottom-up and top-down.
// Pixels an RLE stream skips or never reaches take palette entry 0.
bool decodeBmp(QByteArrayView file, image::Image& picture, QString* why = nullptr);

// One bitmap entry of an icon: header, palette, colour pixels and the
// transparency mask, the header's height counting both.
bool decodeIconBitmap(QByteArrayView entry, image::Image& picture, QString* why = nullptr);

// The bytes an icon bitmap's own header says it takes: header, palette, colour
// rows and mask; 0 where the entry starts with no bitmap header.
std::int64_t iconBitmapExtent(QByteArrayView entry);

// Baseline or progressive JPEG, grey, colour or CMYK, through libjpeg-turbo with
// a cap on the number of scans; `shown` may cut it. A file that ends before its
// end-of-image marker is refused as cut off, however far it is decoded.
bool decodeJpeg(QByteArrayView file, image::Image& picture, const ShownPart& shown = {},
                QString* why = nullptr);

// Any PNG through libpng; Argb32. `shown` may cut one that is not interlaced:
// the rows after the cut are then not decoded, but the file is still checked
// whole (every chunk there, the critical ones' checksums right), so that a
// damaged file is refused however much of it is shown.
bool decodePng(QByteArrayView file, image::Image& picture, const ShownPart& shown = {},
               QString* why = nullptr);

// The side of a picture `shown` cuts to, out of `whole`: at least 1.
int shownSide(int wanted, int whole);

// The first frame of a GIF through giflib, as large as the logical screen;
// Argb32, transparent where the frame does not reach or names its
// transparent colour.
bool decodeGif(QByteArrayView file, image::Image& picture, QString* why = nullptr);

} // namespace engine::codecs
