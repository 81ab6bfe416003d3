#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

class QIODevice;

// The program's own decoders for pattern pictures. Each one checks the declared
// size before it allocates, bounds its work, and gives every pixel a defined
// value (or refuses the file): nothing of the heap can reach a picture.
namespace platform {

// A whole .bmp file: Windows and OS/2 headers, 1/2/4/8-bit palettes, 16/24/32-bit
// pixels with or without bit fields, RLE4 and RLE8, bottom-up and top-down.
// Pixels an RLE stream skips or never reaches take palette entry 0.
bool DecodeBmp(QByteArrayView file, QImage& image);

// One bitmap entry of an icon: header, palette, colour pixels and the
// transparency mask, the header's height counting both.
bool DecodeIconBitmap(QByteArrayView entry, QImage& image);

// Baseline or progressive JPEG, grey, colour or CMYK, through libjpeg-turbo with
// a cap on the number of scans.
bool DecodeJpeg(QByteArrayView file, QImage& image);

// Any PNG through libpng; ARGB32.
bool DecodePng(QIODevice& in, QImage& image);

} // namespace platform
