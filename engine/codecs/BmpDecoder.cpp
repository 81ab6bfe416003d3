#include "engine/codecs/Decoders.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <QCoreApplication>

#include "engine/image/Limits.h"

namespace engine::codecs {
namespace {

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiJpeg = 4;
constexpr std::uint32_t BiPng = 5;
constexpr std::uint32_t BiAlphaBitfields = 6;
constexpr std::uint32_t Os2InfoSize = 64;

// Little-endian reads that give 0 past the end; every length that matters is
// checked separately, so a short file can only ever yield zeros here.
class Bytes {
  public:
    explicit Bytes(QByteArrayView data) : m_data(data) {}
    std::int64_t size() const { return m_data.size(); }
    std::uint32_t u8(std::int64_t at) const {
        return at >= 0 && at < m_data.size()
                   ? static_cast<unsigned char>(m_data[static_cast<qsizetype>(at)])
                   : 0;
    }
    std::uint32_t u16(std::int64_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t u32(std::int64_t at) const { return u16(at) | u16(at + 2) << 16; }

  private:
    QByteArrayView m_data;
};

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
class Channel {
  public:
    Channel() = default;
    explicit Channel(std::uint32_t mask) : m_mask(mask) {
        if (!mask)
            return;
        while (!((mask >> m_shift) & 1))
            ++m_shift;
        m_max = mask >> m_shift;
    }
    bool present() const { return m_max != 0; }
    std::uint32_t operator()(std::uint32_t pixel) const {
        if (!m_max)
            return 0;
        const std::uint64_t v = (pixel & m_mask) >> m_shift;
        return static_cast<std::uint32_t>((v * 255 + m_max / 2) / m_max);
    }

  private:
    std::uint32_t m_mask = 0;
    int m_shift = 0;
    std::uint32_t m_max = 0;
};

struct Dib {
    std::int64_t width = 0;
    std::int64_t height = 0; // rows of colour pixels (an icon's mask not counted)
    bool topDown = false;
    std::uint32_t bits = 0;
    std::uint32_t compression = BiRgb;
    std::int64_t dataStart = 0; // right after header, masks and palette
    std::array<image::Rgb, 256> palette{};
    Channel red, green, blue, alpha;

    std::int64_t stride() const { return (width * bits + 31) / 32 * 4; }
    bool rle() const { return compression == BiRle8 || compression == BiRle4; }
};

bool validBits(std::uint32_t bits, std::uint32_t compression, QString* why) {
    if (compression == BiJpeg || compression == BiPng)
        return refuseFeature(why, QT_TRANSLATE_NOOP("pictures", "a bitmap holding a JPEG or PNG"));
    switch (compression) {
    case BiRgb:
        if (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
            bits == 32)
            return true;
        break;
    case BiRle8:
        if (bits == 8)
            return true;
        break;
    case BiRle4:
        if (bits == 4)
            return true;
        break;
    case BiBitfields:
    case BiAlphaBitfields:
        if (bits == 16 || bits == 32)
            return true;
        break;
    default:
        break;
    }
    return refuseFeature(why,
                         QT_TRANSLATE_NOOP("pictures", "a bitmap of %1 bits a pixel in compression %2"),
                         int(std::min<std::uint32_t>(bits, 0xFFFF)),
                         int(std::min<std::uint32_t>(compression, 0xFFFF)));
}

// Reads the info header at `at`, its bit fields and palette. `iconHeight`
// halves the height, which then counts the mask rows too.
bool parseDib(const Bytes& in, std::int64_t at, bool iconHeight, Dib& dib, QString* why) {
    const std::uint32_t size = in.u32(at);
    if (at + 4 > in.size() || (size >= 12 && at + size > in.size()))
        return refuseTruncated(why);
    if (size < 12)
        return refuseDamaged(why);
    std::uint32_t colorsUsed = 0;
    int entrySize = 4;
    std::int64_t height = 0;
    if (size == 12) { // OS/2 1.x: 16-bit sides, 3-byte palette entries
        dib.width = in.u16(at + 4);
        height = in.u16(at + 6);
        dib.bits = in.u16(at + 10);
        entrySize = 3;
    } else if (size >= 16) {
        dib.width = static_cast<std::int32_t>(in.u32(at + 4));
        height = static_cast<std::int32_t>(in.u32(at + 8));
        dib.bits = in.u16(at + 14);
        dib.compression = size >= 20 ? in.u32(at + 16) : BiRgb;
        colorsUsed = size >= 36 ? in.u32(at + 32) : 0;
        // OS/2 2.x numbers its own compressions; 3 there is Huffman, not bit fields.
        if (size == Os2InfoSize && dib.compression >= BiBitfields)
            return refuseFeature(why, QT_TRANSLATE_NOOP("pictures", "an OS/2 bitmap compressed "
                                                                    "with Huffman or RLE24"));
    } else {
        return refuseDamaged(why);
    }
    // Only the height's sign means something (rows stored top down).
    if (dib.width < 0)
        return refuseDamaged(why);
    dib.topDown = height < 0;
    height = height < 0 ? -height : height;
    dib.height = iconHeight ? height / 2 : height;
    if (!validBits(dib.bits, dib.compression, why))
        return false;
    if (dib.topDown && (dib.rle() || iconHeight))
        return refuseDamaged(why);
    if (!image::pictureSizeAllowed(dib.width, dib.height))
        return refuseSize(why, dib.width, dib.height);

    std::int64_t next = at + size;
    if (dib.compression == BiBitfields || dib.compression == BiAlphaBitfields) {
        const bool inHeader = size >= 52;
        const std::int64_t masks = inHeader ? at + 40 : next;
        dib.red = Channel(in.u32(masks));
        dib.green = Channel(in.u32(masks + 4));
        dib.blue = Channel(in.u32(masks + 8));
        const bool hasAlpha = size >= 56 || dib.compression == BiAlphaBitfields;
        dib.alpha = Channel(hasAlpha ? in.u32(masks + 12) : 0);
        if (!inHeader)
            next += dib.compression == BiAlphaBitfields ? 16 : 12;
    } else if (dib.bits == 16) {
        dib.red = Channel(0x7C00);
        dib.green = Channel(0x03E0);
        dib.blue = Channel(0x001F);
    } else if (dib.bits == 32) {
        dib.red = Channel(0xFF0000);
        dib.green = Channel(0xFF00);
        dib.blue = Channel(0xFF);
    }
    if (dib.bits <= 8) {
        const std::uint32_t full = 1u << dib.bits;
        const std::uint32_t count = colorsUsed > 0 && colorsUsed < full ? colorsUsed : full;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::int64_t e = next + std::int64_t(i) * entrySize;
            dib.palette[i] = image::rgb(static_cast<int>(in.u8(e + 2)),
                                        static_cast<int>(in.u8(e + 1)), static_cast<int>(in.u8(e)));
        }
        next += std::int64_t(count) * entrySize;
    }
    for (image::Rgb& c : dib.palette)
        c |= 0xFF000000u; // entries the file does not have are opaque black
    dib.dataStart = next;
    return true;
}

// Uncompressed rows from `start`. With `rawAlpha` a 32-bit pixel keeps the
// fourth byte as alpha (icons); otherwise only bit fields bring alpha.
bool decodeRows(const Bytes& in, const Dib& dib, std::int64_t start, bool rawAlpha,
                image::Image& picture, QString* why) {
    const std::int64_t stride = dib.stride();
    const std::int64_t rowBytes = (dib.width * dib.bits + 7) / 8;
    // The last row's padding is often left out; its pixels are not.
    if (start < 0 || start + stride * (dib.height - 1) + rowBytes > in.size())
        return refuseTruncated(why);
    const bool alpha = rawAlpha || dib.alpha.present();
    picture = image::Image(static_cast<int>(dib.width), static_cast<int>(dib.height),
                           alpha ? image::Format::Argb32 : image::Format::Rgb32);
    if (picture.isNull())
        return refuseDamaged(why);
    const std::uint32_t bits = dib.bits;
    const std::uint32_t indexMask = (1u << (bits <= 8 ? bits : 0)) - 1;
    for (std::int64_t r = 0; r < dib.height; ++r) {
        const std::int64_t row = start + r * stride;
        auto* out = reinterpret_cast<image::Rgb*>(
            picture.scanLine(static_cast<int>(dib.topDown ? r : dib.height - 1 - r)));
        for (std::int64_t x = 0; x < dib.width; ++x) {
            if (bits <= 8) {
                const std::int64_t bit = x * bits;
                const std::uint32_t shift = 8 - bits - static_cast<std::uint32_t>(bit % 8);
                out[x] = dib.palette[(in.u8(row + bit / 8) >> shift) & indexMask];
            } else if (bits == 24) {
                const std::int64_t p = row + x * 3;
                out[x] = image::rgb(static_cast<int>(in.u8(p + 2)), static_cast<int>(in.u8(p + 1)),
                                    static_cast<int>(in.u8(p)));
            } else {
                const std::uint32_t v = bits == 16 ? in.u16(row + x * 2) : in.u32(row + x * 4);
                const std::uint32_t a = rawAlpha ? v >> 24 : alpha ? dib.alpha(v) : 255;
                out[x] = image::rgba(static_cast<int>(dib.red(v)), static_cast<int>(dib.green(v)),
                                     static_cast<int>(dib.blue(v)), static_cast<int>(a));
            }
        }
    }
    return true;
}

// RLE8 and RLE4. The picture starts as palette entry 0 everywhere, so pixels
// the stream skips (delta), leaves out (early end of line or bitmap) or never
// reaches (a short file) have that colour. Each pixel is written at most once.
bool decodeRle(const Bytes& in, const Dib& dib, std::int64_t start, image::Image& picture,
               QString* why) {
    picture = image::Image(static_cast<int>(dib.width), static_cast<int>(dib.height),
                           image::Format::Rgb32);
    if (picture.isNull())
        return refuseDamaged(why);
    picture.fill(dib.palette[0]);
    const bool four = dib.compression == BiRle4;
    std::int64_t x = 0, y = 0, pos = start;
    const auto put = [&](std::int64_t count, auto indexOf) {
        if (y < dib.height && x < dib.width) {
            auto* out = reinterpret_cast<image::Rgb*>(
                picture.scanLine(static_cast<int>(dib.height - 1 - y)));
            for (std::int64_t i = 0; i < count && x + i < dib.width; ++i)
                out[x + i] = dib.palette[indexOf(i) & 0xFF];
        }
        x += count;
    };
    while (pos + 1 < in.size() && y < dib.height) {
        const std::uint32_t n = in.u8(pos), c = in.u8(pos + 1);
        pos += 2;
        if (n > 0) {
            put(n, [&](std::int64_t i) { return four ? (i % 2 ? c & 15 : c >> 4) : c; });
        } else if (c == 0) { // end of line
            x = 0;
            ++y;
        } else if (c == 1) { // end of bitmap
            break;
        } else if (c == 2) { // delta
            x += in.u8(pos);
            y += in.u8(pos + 1);
            pos += 2;
        } else { // c pixels given one by one, padded to a 16-bit boundary
            const std::int64_t from = pos;
            put(c, [&](std::int64_t i) {
                if (!four)
                    return in.u8(from + i);
                const std::uint32_t b = in.u8(from + i / 2);
                return i % 2 ? b & 15 : b >> 4;
            });
            const std::int64_t bytes = four ? (c + 1) / 2 : c;
            pos += (bytes + 1) / 2 * 2;
        }
    }
    return true;
}

} // namespace

bool decodeBmp(QByteArrayView file, image::Image& picture, QString* why) {
    const Bytes in(file);
    if (in.u16(0) != 0x4D42) // "BM"
        return refuseDamaged(why);
    if (in.size() < 26)
        return refuseTruncated(why);
    Dib dib;
    if (!parseDib(in, 14, false, dib, why))
        return false;
    // An offset into the headers, or into the palette of a picture that has one,
    // is a writer's mistake; the pixels follow them.
    std::int64_t start = in.u32(10);
    if (start < 14 + std::int64_t(in.u32(14)) || (dib.bits <= 8 && start < dib.dataStart))
        start = dib.dataStart;
    return dib.rle() ? decodeRle(in, dib, start, picture, why)
                     : decodeRows(in, dib, start, false, picture, why);
}

std::int64_t iconBitmapExtent(QByteArrayView entry) {
    const Bytes in(entry);
    Dib dib;
    if (!parseDib(in, 0, true, dib, nullptr) || dib.rle())
        return 0;
    const std::int64_t maskStride = (dib.width + 31) / 32 * 4;
    return dib.dataStart + (dib.stride() + maskStride) * dib.height;
}

bool decodeIconBitmap(QByteArrayView entry, image::Image& picture, QString* why) {
    const Bytes in(entry);
    Dib dib;
    if (!parseDib(in, 0, true, dib, why))
        return false;
    if (dib.rle())
        return refuseDamaged(why);
    const bool wide = dib.bits == 32;
    if (!decodeRows(in, dib, dib.dataStart, wide, picture, why))
        return false;
    if (wide && dib.compression == BiRgb) {
        // Icons of 32 bits carry alpha; old ones leave it 0 and use the mask.
        for (int y = 0; y < picture.height(); ++y) {
            const auto* row = reinterpret_cast<const image::Rgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                if (image::alpha(row[x]))
                    return true;
        }
    }
    if (picture.format() != image::Format::Argb32)
        picture = picture.convertedTo(image::Format::Argb32);
    // The mask follows the colour rows: a set bit is transparent. An icon
    // without one is shown opaque.
    const std::int64_t maskStart = dib.dataStart + dib.stride() * dib.height;
    const std::int64_t maskStride = (dib.width + 31) / 32 * 4;
    const bool hasMask = maskStart + maskStride * dib.height <= in.size();
    for (std::int64_t r = 0; r < dib.height; ++r) {
        auto* out =
            reinterpret_cast<image::Rgb*>(picture.scanLine(static_cast<int>(dib.height - 1 - r)));
        for (std::int64_t x = 0; x < dib.width; ++x) {
            const bool clear =
                hasMask && (in.u8(maskStart + r * maskStride + x / 8) >> (7 - x % 8)) & 1;
            out[x] = clear ? 0u : out[x] | 0xFF000000u;
        }
    }
    return true;
}

} // namespace engine::codecs
