#include "engine/codecs/Decoders.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <QCoreApplication>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/codecs/Orientation.h"
#include "engine/image/Limits.h"

namespace engine::codecs {
namespace {

// Everything libjpeg changes lives on the heap: locals changed after setjmp
// are not reliable once it jumps back.
struct Decoder {
    jpeg_error_mgr errors; // first: libjpeg hands it back as the state
    jpeg_progress_mgr progress{};
    jpeg_decompress_struct cinfo{};
    std::jmp_buf jump;
    std::vector<JSAMPLE> row;
    int scanLimit = image::MaxJpegScans;
    QString* why = nullptr;
};

// libjpeg's own errors, in the reader's words.
[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<Decoder*>(cinfo->err);
    const int* parameters = cinfo->err->msg_parm.i;
    switch (cinfo->err->msg_code) {
    case JERR_BAD_PRECISION:
        refuseFeature(d->why, QT_TRANSLATE_NOOP("pictures", "a JPEG of %1 bits a sample"),
                      parameters[0]);
        break;
    case JERR_SOF_UNSUPPORTED:
        refuseFeature(d->why,
                      QT_TRANSLATE_NOOP("pictures", "a JPEG of the lossless or hierarchical kind "
                                                    "(SOF%1)"),
                      parameters[0] & 0x0F);
        break;
    case JERR_EMPTY_IMAGE: // a frame header of no width, height or components
        refuseSize(d->why, 0, 0);
        break;
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE: // what it says past the memory it may take
        refuseWork(d->why,
                   QT_TRANSLATE_NOOP("pictures", "the JPEG needs more than %1 MiB to decode"),
                   image::MaxJpegMemory >> 20);
        break;
    default:
        refuseDamaged(d->why);
    }
    std::longjmp(d->jump, 1);
}

std::uint32_t be16(QByteArrayView b, qsizetype at) {
    return std::uint32_t(static_cast<unsigned char>(b[at])) << 8 |
           static_cast<unsigned char>(b[at + 1]);
}

// Whether the file reaches its end-of-image marker: segments are stepped over
// by their lengths, and the scans' data searched for the next marker (a 0xFF
// there is followed by 0 or a restart number).
bool reachesItsEnd(QByteArrayView file) {
    for (qsizetype at = 2; at + 1 < file.size();) {
        if (static_cast<unsigned char>(file[at]) != 0xFF) {
            const void* next = std::memchr(file.data() + at, 0xFF, size_t(file.size() - at));
            if (!next)
                return false;
            at = static_cast<const char*>(next) - file.data();
            continue;
        }
        const unsigned marker = static_cast<unsigned char>(file[at + 1]);
        if (marker == 0xD9)
            return true;
        if (marker == 0xFF) // fill
            ++at;
        else if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            at += 2; // a stuffed 0xFF, TEM or a restart
        else if (at + 3 < file.size())
            at += 2 + qsizetype(be16(file, at + 2));
        else
            return false;
    }
    return false;
}

// Damaged data is decoded as far as it goes; nothing is printed for it.
void messageIgnored(j_common_ptr, int) {}

// Each scan of a progressive file walks the whole picture again, so the scan
// count bounds the work; a file may declare thousands of empty scans.
void countScans(j_common_ptr common) {
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    auto* d = reinterpret_cast<Decoder*>(common->err);
    if (cinfo->input_scan_number > d->scanLimit) {
        refuseWork(d->why, QT_TRANSLATE_NOOP("pictures", "the JPEG has more than %1 scans"),
                   d->scanLimit);
        errorExit(common);
    }
}

image::Rgb cmykToRgb(const JSAMPLE* p, bool inverted) {
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) { // Adobe writes CMYK inverted; other writers do not
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return image::rgb(c * k / 255, m * k / 255, y * k / 255);
}

// The orientation of the file's Exif block, 1 where it has none.
int orientationOf(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length > 6 &&
            std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return exifOrientation(QByteArrayView(m->data + 6, qsizetype(m->data_length) - 6));
    return 1;
}

} // namespace

bool decodeJpeg(QByteArrayView file, image::Image& picture, const ShownPart& shown, QString* why) {
    // However far it is decoded, a file cut short is refused.
    if (!reachesItsEnd(file))
        return refuseTruncated(why);
    auto owned = std::make_unique<Decoder>();
    Decoder& d = *owned;
    d.why = why;
    jpeg_decompress_struct& cinfo = d.cinfo;
    cinfo.err = jpeg_std_error(&d.errors);
    d.errors.error_exit = errorExit;
    d.errors.emit_message = messageIgnored;
    if (setjmp(d.jump)) {
        jpeg_destroy_decompress(&cinfo);
        picture = image::Image();
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = image::MaxJpegMemory;
    d.progress.progress_monitor = countScans;
    cinfo.progress = &d.progress;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.data()),
                 static_cast<unsigned long>(file.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF); // Exif, for the orientation
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        errorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    if (!image::pictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        refuseSize(why, cinfo.image_width, cinfo.image_height);
        errorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    }
    const std::int64_t pixels = std::int64_t(cinfo.image_width) * cinfo.image_height;
    d.scanLimit = static_cast<int>(
        std::min<std::int64_t>(image::MaxJpegScans, image::MaxJpegScanPixels / pixels));
    const J_COLOR_SPACE in = cinfo.jpeg_color_space;
    const bool cmyk = in == JCS_CMYK || in == JCS_YCCK;
    const bool grey = in == JCS_GRAYSCALE;
    cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_EXT_BGRA;
    const int orientation = orientationOf(cinfo);
    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width),
              height = static_cast<int>(cinfo.output_height);
    // Only the rows and columns shown, where that is known: decoding stops after
    // them. What is shown is the picture turned as its Exif data says.
    const QSize turned = turnedSize({width, height}, orientation);
    const QSize enough = shown ? shown(turned) : QSize();
    const QSize part = enough.isValid() ? QSize(shownSide(enough.width(), turned.width()),
                                                shownSide(enough.height(), turned.height()))
                                        : turned;
    const int w = orientation == 1 ? part.width() : width,
              h = storedRowsFor({width, height}, orientation, part);
    picture = image::Image(w, h, image::Format::Rgb32);
    if (picture.isNull())
        errorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    d.row.resize(static_cast<size_t>(width) * 4);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < JDIMENSION(h)) {
        auto* out = reinterpret_cast<image::Rgb*>(
            picture.scanLine(static_cast<int>(cinfo.output_scanline)));
        // BGRA rows are Rgb32 rows on a little-endian machine.
        JSAMPROW target =
            cmyk || grey || w < width ? d.row.data() : reinterpret_cast<JSAMPROW>(out);
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1)
            errorExit(reinterpret_cast<j_common_ptr>(&cinfo));
        if (cmyk)
            for (int x = 0; x < w; ++x)
                out[x] = cmykToRgb(&d.row[size_t(x) * 4], inverted);
        else if (grey)
            for (int x = 0; x < w; ++x)
                out[x] = image::rgb(d.row[size_t(x)], d.row[size_t(x)], d.row[size_t(x)]);
        else if (w < width)
            std::memcpy(out, d.row.data(), size_t(w) * 4);
    }
    // The rest of the file (further markers, trailing scans) is not needed.
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (orientation != 1)
        picture = turnedPart(picture, orientation, part);
    return !picture.isNull();
}

} // namespace engine::codecs
