#include "engine/codecs/Decoders.h"

#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include <libdeflate.h>
#include <png.h>

#include "engine/codecs/Orientation.h"
#include "engine/image/Limits.h"

namespace engine::codecs {
namespace {

// The file's bytes not yet read.
struct Source {
    QByteArrayView rest;
};

constexpr char EndsEarly[] = "file ends early";

void readBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (length > static_cast<png_size_t>(source->rest.size()))
        png_error(png, EndsEarly);
    std::memcpy(data, source->rest.data(), length);
    source->rest = source->rest.sliced(static_cast<qsizetype>(length));
}

void warningIgnored(png_structp, png_const_charp) {}

// A broken file is an ordinary outcome here, not something to print; it is
// said in the reason.
[[noreturn]] void errorQuiet(png_structp png, png_const_charp message) {
    auto* why = static_cast<QString*>(png_get_error_ptr(png));
    if (std::strcmp(message, EndsEarly) == 0)
        refuseTruncated(why);
    else
        refuseDamaged(why);
    png_longjmp(png, 1);
}

std::uint32_t be32(QByteArrayView b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data()) + at;
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Whether every chunk is there up to IEND, each critical one with its checksum
// right, as libpng finds when it reads a file whole (an ancillary chunk's bad
// checksum only drops that chunk, and one it does not know is skipped). Damage behind right checksums
// (a file written broken: a bad filter byte, a broken deflate stream) shows
// only where the pixels are decoded.
bool wholeFile(QByteArrayView file, QString* why) {
    for (qsizetype at = 8;;) {
        if (file.size() - at < 12)
            return refuseTruncated(why);
        const std::uint32_t length = be32(file, at);
        if (length > 0x7FFFFFFFu)
            return refuseDamaged(why);
        if (file.size() - at - 12 < qsizetype(length))
            return refuseTruncated(why);
        const QByteArrayView typeAndData = file.sliced(at + 4, 4 + qsizetype(length));
        const bool critical = (typeAndData[0] & 0x20) == 0;
        if (critical && libdeflate_crc32(0, typeAndData.data(), size_t(typeAndData.size())) !=
                            be32(file, at + 8 + qsizetype(length)))
            return refuseDamaged(why);
        if (typeAndData.first(4) == QByteArrayView("IEND"))
            return true;
        at += 12 + qsizetype(length);
    }
}

// The orientation of an eXIf chunk before the pixels, 1 where there is none.
int orientationOf(png_structp png, png_infop info) {
    png_uint_32 length = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(png, info, &length, &exif) == 0 || !exif)
        return 1;
    return exifOrientation(QByteArrayView(exif, qsizetype(length)));
}

} // namespace

// Any colour type, bit depth or interlace; the real size is checked before
// anything is allocated from it, and chunks that do not shape or turn the
// pixels (text, colour profiles) are skipped unread.
bool decodePng(QByteArrayView file, image::Image& picture, const ShownPart& shown, QString* why) {
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the PNG rows are read as BGRA");
    Source source{file};
    // Row pointers and the row of a cut picture live on the heap: locals
    // changed after setjmp are not reliable once libpng jumps back.
    auto rows = std::make_unique<std::vector<png_bytep>>();
    auto wholeRow = std::make_unique<std::vector<png_byte>>();
    // The header's size is checked before libpng's own limits would refuse it.
    if (file.size() >= 24 && !image::pictureSizeAllowed(be32(file, 16), be32(file, 20)))
        return refuseSize(why, be32(file, 16), be32(file, 20));
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, why, errorQuiet, warningIgnored);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        picture = image::Image();
        return false;
    }
    png_set_read_fn(png, &source, readBytes);
    png_set_user_limits(png, static_cast<png_uint_32>(image::MaxPictureSide),
                        static_cast<png_uint_32>(image::MaxPictureSide));
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    // But for the orientation a photo's Exif data gives.
    static const png_byte exif[] = {'e', 'X', 'I', 'f', '\0'};
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, exif, 1);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!image::pictureSizeAllowed(width, height))
        png_error(png, "picture too large");
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png); // BGRA in memory is ARGB32 on a little-endian machine
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    // What is shown is the picture turned as an eXIf chunk before the pixels says.
    const int orientation = orientationOf(png, info);
    const QSize stored{int(width), int(height)};
    const QSize turned = turnedSize(stored, orientation);
    const QSize enough = shown ? shown(turned) : QSize();
    if (enough.isValid() && png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
        const QSize part(shownSide(enough.width(), turned.width()),
                         shownSide(enough.height(), turned.height()));
        const int w = orientation == 1 ? part.width() : int(width),
                  h = storedRowsFor(stored, orientation, part);
        picture = image::Image(w, h, image::Format::Argb32);
        if (picture.isNull() || png_get_rowbytes(png, info) != width * 4)
            png_error(png, "cannot hold the picture");
        wholeRow->resize(size_t(width) * 4);
        for (int y = 0; y < h; ++y) {
            png_read_row(png, wholeRow->data(), nullptr);
            std::memcpy(picture.scanLine(y), wholeRow->data(), size_t(w) * 4);
        }
        png_destroy_read_struct(&png, &info, nullptr);
        // What was not decoded must still be there and sound: a damaged file
        // is refused however little of it is shown.
        if (!wholeFile(file, why)) {
            picture = image::Image();
            return false;
        }
        if (orientation != 1)
            picture = turnedPart(picture, orientation, part);
        return !picture.isNull();
    }
    picture =
        image::Image(static_cast<int>(width), static_cast<int>(height), image::Format::Argb32);
    if (picture.isNull() || png_get_rowbytes(png, info) != width * 4)
        png_error(png, "cannot hold the picture");
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        (*rows)[y] = picture.scanLine(static_cast<int>(y));
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    if (orientation != 1)
        picture = turnedPart(picture, orientation, turned);
    return !picture.isNull();
}

} // namespace engine::codecs
