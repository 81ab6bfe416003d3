#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

// Reads a BMP, ICO (or CUR), JPEG, GIF or PNG picture by its content, whatever
// the file's name: the first frame of an animation, the largest image of an
// icon. Refuses anything else, pictures with no pixels, sides above 32,767 or
// more than 256 MiB of pixels, and files beyond the limits on their work.
bool LoadPicture(const QString& fileName, QImage& picture);

// The same for a file's bytes.
bool DecodePicture(const QByteArray& data, QImage& picture);

} // namespace platform
