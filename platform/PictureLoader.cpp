#include "PictureLoader.h"

#include <cstdlib>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "PictureLimits.h"

namespace platform {
namespace {

std::uint32_t le32(const QByteArray& b, int at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// Qt's BMP reader accepts a file cut short and leaves the missing rows
// uninitialised, so an uncompressed BMP must hold all the pixels it declares.
bool bmpComplete(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(54);
    if (header.size() < 30 || !header.startsWith("BM"))
        return false;
    const std::uint32_t infoSize = le32(header, 14);
    if (infoSize < 40 || header.size() < 54)
        return true; // an OS/2 header: rows are checked by the reader itself
    const std::int64_t offset = le32(header, 10);
    const std::int64_t width = static_cast<std::int32_t>(le32(header, 18));
    const std::int64_t height =
        std::abs(static_cast<std::int64_t>(static_cast<std::int32_t>(le32(header, 22))));
    const std::int64_t bits =
        static_cast<unsigned char>(header[28]) | static_cast<unsigned char>(header[29]) << 8;
    const std::uint32_t compression = le32(header, 30);
    if (compression != 0 && compression != 3)
        return true; // run-length data has no fixed size; the reader fills gaps
    const std::int64_t stride = ((width * bits + 31) / 32) * 4;
    return offset + stride * height <= file.size();
}

// The image of the reader's current position, after checking its declared size.
bool readChecked(QImageReader& reader, QImage& image) {
    const QSize size = reader.size();
    if (!size.isValid() || !pictureSizeAllowed(size.width(), size.height()))
        return false;
    return reader.read(&image) && !image.isNull() &&
           pictureSizeAllowed(image.width(), image.height());
}

} // namespace

bool LoadPicture(const QString& fileName, QImage& picture) {
    if (!QFileInfo(fileName).isFile())
        return false;
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(static_cast<int>(MaxPictureBytes / (1024 * 1024)));
    if (!reader.canRead())
        return false;
    const QByteArray format = reader.format();
    if (format == "bmp" && !bmpComplete(fileName))
        return false;
    QImage best;
    if (format == "ico" && reader.imageCount() > 1) {
        // Qt reads the first entry of an icon; the largest one is the picture.
        for (int i = 0; i < reader.imageCount(); ++i) {
            QImage candidate;
            if (!reader.jumpToImage(i) || !readChecked(reader, candidate))
                return false;
            if (qint64(candidate.width()) * candidate.height() >
                qint64(best.width()) * best.height())
                best = candidate;
        }
    } else if (!readChecked(reader, best)) {
        return false;
    }
    picture = best;
    return true;
}

} // namespace platform
