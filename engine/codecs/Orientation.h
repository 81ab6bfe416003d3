#pragma once

#include <QByteArrayView>
#include <QSize>

#include "engine/image/Image.h"

// A photo's orientation as its Exif data gives it (1 to 8, as a camera held
// upright writes 6): every viewer turns the stored pixels so before showing them.
namespace engine::codecs {

// The orientation tag of an Exif block (TIFF bytes, "II" or "MM"); 1 where
// there is none or it is out of range.
int exifOrientation(QByteArrayView tiff);

// A stored picture's size once turned.
QSize turnedSize(QSize stored, int orientation);

// How many rows of the stored picture, from the top, the top-left `part` of
// the turned picture is made of: all of them where it needs the bottom rows.
int storedRowsFor(QSize stored, int orientation, QSize part);

// The top-left `part` of a 32-bit picture turned; `stored` may hold only the
// rows storedRowsFor() asks, at the stored picture's whole width.
image::Image turnedPart(const image::Image& stored, int orientation, QSize part);

} // namespace engine::codecs
