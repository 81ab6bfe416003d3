#pragma once

#include <cstdint>

#include <QImage>
#include <QString>

#include "Gdi.h"

// The image library: PNG reading, JPEG and PNG writing from a drawing surface,
// and the BMP writer. File names stay Unicode. Calls return 0 on success and
// non-zero on failure; LastError() then says why, in Japanese.
namespace imagelib {

// Draws the decoded PNG at the surface's origin.
std::int32_t DCReadPNG(const QString& fileName, gdi::HDC dc);

// `rate` 1..100: a higher rate gives a smaller file. `progressive` non-zero
// writes a progressive JPEG.
std::int32_t DCSavetoJPEG(gdi::HDC dc, std::int32_t width, std::int32_t height,
                          const QString& fileName, std::uint8_t rate, std::int32_t progressive);

// `level` 1 fastest, 0 zlib's default, 2 smallest.
std::int32_t DCSavetoPNG(gdi::HDC dc, std::int32_t width, std::int32_t height,
                         const QString& fileName, std::uint8_t level);

// A 24-bit Windows bitmap of the image.
std::int32_t SavePicture(const QImage& image, const QString& fileName);

QString LastError();

// Why a JPEG rate or a PNG level cannot be used, for callers that refuse one
// before it reaches the writers (a value beyond a byte).
QString JpegRateOutOfRange(int rate);
QString PngLevelOutOfRange(int level);

// Encoders, for callers that want the bytes.
bool EncodeJpeg(const QImage& image, int quality, bool progressive, QByteArray& out);
// `level` as for DCSavetoPNG. At most 256 colours give an indexed PNG of the
// smallest bit depth that holds them; transparency (ARGB32) is kept.
bool EncodePng(const QImage& image, int level, QByteArray& out);
QByteArray EncodeBmp(const QImage& image);

} // namespace imagelib
