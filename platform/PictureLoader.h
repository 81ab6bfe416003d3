#pragma once

#include <QImage>
#include <QString>

namespace platform {

// Reads a picture file of any format Qt reads (BMP, ICO, JPEG, GIF, PNG at
// least) by its content: the first frame of an animation, the largest image of
// an icon. Refuses pictures with no pixels, sides above 32,767 or more than
// 256 MiB of pixels before reading them, and BMP files shorter than their
// header promises.
bool LoadPicture(const QString& fileName, QImage& picture);

} // namespace platform
