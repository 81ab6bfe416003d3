#include "engine/codecs/Orientation.h"

#include <algorithm>
#include <cstdint>

#include <QPoint>

namespace engine::codecs {
namespace {

// Where the turned picture's pixel (x, y) lies in the stored picture of size W x H.
QPoint storedAt(int x, int y, int W, int H, int orientation) {
    switch (orientation) {
    case 2: return {W - 1 - x, y};         // mirrored left to right
    case 3: return {W - 1 - x, H - 1 - y}; // upside down
    case 4: return {x, H - 1 - y};         // mirrored top to bottom
    case 5: return {y, x};                 // mirrored along the main diagonal
    case 6: return {y, H - 1 - x};         // turned a quarter clockwise to show
    case 7: return {W - 1 - y, H - 1 - x}; // mirrored along the other diagonal
    case 8: return {W - 1 - y, x};         // turned a quarter anticlockwise to show
    default: return {x, y};
    }
}

bool swapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

} // namespace

int exifOrientation(QByteArrayView tiff) {
    const auto byte = [&tiff](std::int64_t at) -> std::uint32_t {
        return at >= 0 && at < tiff.size() ? static_cast<unsigned char>(tiff[qsizetype(at)]) : 0;
    };
    const bool little = tiff.startsWith(QByteArrayView("II*\0", 4));
    if (!little && !tiff.startsWith(QByteArrayView("MM\0*", 4)))
        return 1;
    const auto u16 = [&](std::int64_t at) {
        return little ? byte(at) | byte(at + 1) << 8 : byte(at) << 8 | byte(at + 1);
    };
    const auto u32 = [&](std::int64_t at) {
        return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
    };
    // The first directory's entries: tag, type, count, value.
    const std::int64_t directory = u32(4);
    const std::uint32_t entries = u16(directory);
    for (std::uint32_t i = 0; i < entries && directory + 2 + 12 * std::int64_t(i) < tiff.size();
         ++i) {
        const std::int64_t entry = directory + 2 + 12 * std::int64_t(i);
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3 /* SHORT */) {
            const std::uint32_t value = u16(entry + 8);
            return value >= 1 && value <= 8 ? int(value) : 1;
        }
    }
    return 1;
}

QSize turnedSize(QSize stored, int orientation) {
    return swapsSides(orientation) ? stored.transposed() : stored;
}

int storedRowsFor(QSize stored, int orientation, QSize part) {
    switch (orientation) {
    case 1:
    case 2: return std::min(part.height(), stored.height());
    case 5:
    case 8: return std::min(part.width(), stored.height());
    default: return stored.height();
    }
}

image::Image turnedPart(const image::Image& stored, int orientation, QSize part) {
    if (stored.depth() != 32) // the decoders give 32-bit pictures alone
        return {};
    image::Image out(part.width(), part.height(), stored.format());
    if (out.isNull())
        return out;
    // Where only the top rows are held, no orientation that asked for them
    // reads the height: it is the whole picture's wherever it is read.
    const int W = stored.width(), H = stored.height();
    for (int y = 0; y < part.height(); ++y) {
        auto* row = reinterpret_cast<image::Rgb*>(out.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            const QPoint at = storedAt(x, y, W, H, orientation);
            row[x] = reinterpret_cast<const image::Rgb*>(stored.constScanLine(at.y()))[at.x()];
        }
    }
    return out;
}

} // namespace engine::codecs
