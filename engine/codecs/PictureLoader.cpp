#include "engine/codecs/Codecs.h"

#include <algorithm>
#include <cstdint>

#include <QCoreApplication>

#include "engine/codecs/Decoders.h"
#include "engine/codecs/PngHeader.h"
#include "engine/files/ReadFile.h"
#include "engine/image/Limits.h"

namespace engine::codecs {
namespace {

std::uint32_t byteAt(QByteArrayView b, std::int64_t at) {
    return at >= 0 && at < b.size() ? static_cast<unsigned char>(b[static_cast<qsizetype>(at)]) : 0;
}
std::uint32_t le16(QByteArrayView b, std::int64_t at) {
    return byteAt(b, at) | byteAt(b, at + 1) << 8;
}
std::uint32_t le32(QByteArrayView b, std::int64_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
std::uint32_t be32(QByteArrayView b, std::int64_t at) {
    return byteAt(b, at) << 24 | byteAt(b, at + 1) << 16 | byteAt(b, at + 2) << 8 |
           byteAt(b, at + 3);
}

const QByteArrayView PngSignature("\x89PNG\r\n\x1a\n", 8);

bool isIcon(QByteArrayView data) {
    const std::uint32_t type = le16(data, 2);
    return data.size() >= 6 && le16(data, 0) == 0 && (type == 1 || type == 2) && le16(data, 4) > 0;
}

// The largest image of an icon, chosen from the directory and each entry's own
// header (the directory's bytes only hold sizes up to 256), and then the only
// one decoded. Equal sizes go to the deeper colour, then to the first.
bool decodeIcon(QByteArrayView data, image::Image& picture, QString* why) {
    const std::uint32_t count = le16(data, 4);
    if (count > image::MaxIconEntries)
        return refuseWork(why,
                          QT_TRANSLATE_NOOP("pictures", "the icon holds %1 pictures, more than 256"),
                          count);
    if (6 + 16 * std::int64_t(count) > data.size())
        return refuseTruncated(why);
    QByteArrayView best;
    std::int64_t bestArea = 0, bestBits = 0;
    bool bestPng = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::int64_t entry = 6 + 16 * std::int64_t(i);
        const std::int64_t length = le32(data, entry + 8), offset = le32(data, entry + 12);
        if (offset >= data.size())
            continue;
        // An entry is read as far as its own header says, or a PNG to its end,
        // however short the directory's length: other readers show it so.
        const QByteArrayView rest = data.sliced(offset);
        const bool png = rest.startsWith(PngSignature);
        const std::int64_t extent =
            png ? rest.size() : std::max<std::int64_t>(length, iconBitmapExtent(rest));
        const QByteArrayView bytes = rest.first(std::min<std::int64_t>(extent, rest.size()));
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
        if (!image::pictureSizeAllowed(width, height))
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
        return refuseDamaged(why);
    return bestPng ? decodePng(best, picture, {}, why) : decodeIconBitmap(best, picture, why);
}

// The whole file, read once (a pipe or FIFO too), or false where it cannot be
// read or is larger than any picture needs.
bool readWhole(const QString& fileName, QByteArray& data, QString* why) {
    return files::readWholeFile(fileName, image::MaxPictureFileBytes, data, why);
}

// Inside a decoding the first reason found stands; what a caller is told
// replaces whatever its `why` held.
bool refuse(QString* why, const QString& reason) {
    if (why && why->isEmpty())
        *why = reason;
    return false;
}
bool tell(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

QString tr(const char* text) {
    return QCoreApplication::translate("pictures", text);
}

} // namespace

bool refuseTruncated(QString* why) {
    return refuse(why, tr(QT_TRANSLATE_NOOP("pictures", "the file ends early: it has been cut off")));
}

bool refuseDamaged(QString* why) {
    return refuse(why, tr(QT_TRANSLATE_NOOP("pictures", "the picture's data is damaged")));
}

bool refuseSize(QString* why, std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        return refuse(why, tr(QT_TRANSLATE_NOOP("pictures", "the picture has no pixels")));
    const QString size = QStringLiteral("%1 x %2").arg(width).arg(height);
    if (width > image::MaxPictureSide || height > image::MaxPictureSide)
        return refuse(why, tr(QT_TRANSLATE_NOOP("pictures",
                                                "the picture is %1 pixels, over 32,767 a side"))
                               .arg(size));
    return refuse(why, tr(QT_TRANSLATE_NOOP("pictures", "the picture is %1 pixels, over 256 MiB"))
                           .arg(size));
}

bool refuseWork(QString* why, const char* what, std::int64_t count) {
    return refuse(why, tr(what).arg(count));
}

bool refuseFeature(QString* why, const char* feature, int first, int second) {
    QString named = tr(feature);
    for (int number : {first, second})
        if (named.contains(u'%'))
            named = named.arg(number);
    return refuse(why, tr(QT_TRANSLATE_NOOP("pictures", "%1 is not supported")).arg(named));
}

int shownSide(int wanted, int whole) {
    return std::min(std::max(wanted, 1), whole);
}

bool decodePicture(QByteArrayView data, image::Image& picture, QString* why,
                   const ShownPart& shown) {
    image::Image decoded;
    QString reason; // the decoder's own, the first it found
    bool known = true, done = false;
    if (data.startsWith("BM"))
        done = decodeBmp(data, decoded, &reason);
    else if (data.startsWith("\xFF\xD8\xFF"))
        done = decodeJpeg(data, decoded, shown, &reason);
    else if (data.startsWith(PngSignature))
        done = decodePng(data, decoded, shown, &reason);
    else if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        done = decodeGif(data, decoded, &reason);
    else if (isIcon(data))
        done = decodeIcon(data, decoded, &reason);
    else
        known = false;
    if (!known)
        reason = tr(QT_TRANSLATE_NOOP("pictures", "the file is no BMP, ICO, JPEG, GIF or PNG picture"));
    else if (done && !decoded.isNull() &&
             !image::pictureSizeAllowed(decoded.width(), decoded.height()))
        refuseSize(&reason, decoded.width(), decoded.height());
    else if (!done || decoded.isNull())
        refuseDamaged(&reason);
    else {
        picture = std::move(decoded);
        return true;
    }
    return tell(why, reason);
}

bool loadPicture(const QString& fileName, image::Image& picture, QString* why) {
    QByteArray data;
    return readWhole(fileName, data, why) && decodePicture(data, picture, why);
}

bool loadPattern(const QString& fileName, image::Image& picture, QString* why,
                 const ShownPart& shown) {
    QByteArray data;
    if (!readWhole(fileName, data, why))
        return false;
    if (fileName.right(4).toUpper() != QLatin1String(".PNG"))
        return decodePicture(data, picture, why, shown);
    const PngHeader header =
        parsePngHeader(QByteArrayView(data).first(std::min<qsizetype>(24, data.size())));
    QString reason;
    image::Image decoded;
    if (!header.signatureOk)
        return tell(why, tr(QT_TRANSLATE_NOOP("pictures",
                                              "the name ends in .png, but the file is no PNG")));
    // The header's size is checked before anything is decoded: the signature
    // and the whole IHDR chunk must be there.
    if (data.size() < 33)
        return tell(why, (refuseTruncated(&reason), reason));
    // Any size whose low 16 bits are refused is refused whole too.
    if (!image::pictureSizeAllowed(header.width, header.height)) {
        refuseSize(&reason, header.wholeWidth, header.wholeHeight);
        return tell(why, reason);
    }
    if (!decodePng(data, decoded, shown, &reason)) {
        refuseDamaged(&reason);
        return tell(why, reason);
    }
    picture = std::move(decoded);
    return true;
}

} // namespace engine::codecs
