#include "PictureLoader.h"

#include <cstdint>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "PictureDecoders.h"
#include "PictureLimits.h"

namespace platform {
namespace {

std::uint32_t byteAt(const QByteArray& b, std::int64_t at) {
    return at >= 0 && at < b.size() ? static_cast<unsigned char>(b[static_cast<qsizetype>(at)]) : 0;
}
std::uint32_t le16(const QByteArray& b, std::int64_t at) {
    return byteAt(b, at) | byteAt(b, at + 1) << 8;
}
std::uint32_t le32(const QByteArray& b, std::int64_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
std::uint32_t be32(const QByteArray& b, std::int64_t at) {
    return byteAt(b, at) << 24 | byteAt(b, at + 1) << 16 | byteAt(b, at + 2) << 8 |
           byteAt(b, at + 3);
}

const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

bool decodePngBytes(const QByteArray& data, QImage& image) {
    QBuffer buffer;
    buffer.setData(data);
    return buffer.open(QIODevice::ReadOnly) && DecodePng(buffer, image);
}

// Qt's reader for the first frame; the screen size is checked before it
// allocates, and its decoding is linear in the file.
bool decodeGif(const QByteArray& data, QImage& image) {
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, "gif");
    reader.setAllocationLimit(static_cast<int>(MaxPictureBytes / (1024 * 1024)));
    const QSize size = reader.size();
    return size.isValid() && pictureSizeAllowed(size.width(), size.height()) && reader.read(&image);
}

bool isIcon(const QByteArray& data) {
    const std::uint32_t type = le16(data, 2);
    return data.size() >= 6 && le16(data, 0) == 0 && (type == 1 || type == 2) && le16(data, 4) > 0;
}

// The largest image of an icon, chosen from the directory and each entry's own
// header (the directory's bytes only hold sizes up to 256), and then the only
// one decoded. Equal sizes go to the deeper colour, then to the first.
bool decodeIcon(const QByteArray& data, QImage& image) {
    const std::uint32_t count = le16(data, 4);
    if (count > MaxIconEntries || 6 + 16 * std::int64_t(count) > data.size())
        return false;
    QByteArray best;
    std::int64_t bestArea = 0, bestBits = 0;
    bool bestPng = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::int64_t entry = 6 + 16 * std::int64_t(i);
        const std::int64_t length = le32(data, entry + 8), offset = le32(data, entry + 12);
        if (offset >= data.size())
            continue;
        const QByteArray bytes = data.mid(offset, length);
        const bool png = bytes.startsWith(PngSignature);
        std::int64_t width, height, bits = 32;
        if (png) {
            width = be32(bytes, 16);
            height = be32(bytes, 20);
        } else if (le32(bytes, 0) == 12) {
            width = le16(bytes, 4);
            height = le16(bytes, 6) / 2;
            bits = le16(bytes, 10);
        } else {
            width = static_cast<std::int32_t>(le32(bytes, 4));
            height = static_cast<std::int32_t>(le32(bytes, 8)) / 2;
            bits = le16(bytes, 14);
        }
        if (!pictureSizeAllowed(width, height))
            continue;
        const std::int64_t area = width * height;
        if (area > bestArea || (area == bestArea && bits > bestBits)) {
            best = bytes;
            bestArea = area;
            bestBits = bits;
            bestPng = png;
        }
    }
    if (best.isEmpty())
        return false;
    return bestPng ? decodePngBytes(best, image) : DecodeIconBitmap(best, image);
}

} // namespace

bool DecodePicture(const QByteArray& data, QImage& picture) {
    QImage image;
    bool decoded = false;
    if (data.startsWith("BM"))
        decoded = DecodeBmp(data, image);
    else if (data.startsWith("\xFF\xD8\xFF"))
        decoded = DecodeJpeg(data, image);
    else if (data.startsWith(PngSignature))
        decoded = decodePngBytes(data, image);
    else if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        decoded = decodeGif(data, image);
    else if (isIcon(data))
        decoded = decodeIcon(data, image);
    if (!decoded || image.isNull() || !pictureSizeAllowed(image.width(), image.height()))
        return false;
    picture = image;
    return true;
}

bool LoadPicture(const QString& fileName, QImage& picture) {
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly) ||
        file.size() > MaxPictureFileBytes)
        return false;
    return DecodePicture(file.readAll(), picture);
}

} // namespace platform
