#include "engine/codecs/Codecs.h"

#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "engine/codecs/Failure.h"
#include "engine/codecs/OpaqueRows.h"

namespace engine::codecs {
namespace {

// One row as R, G, B bytes.
void toRgbRow(const image::Rgb* in, int width, unsigned char* out) {
    for (int x = 0; x < width; ++x) {
        out[3 * x] = static_cast<unsigned char>(image::red(in[x]));
        out[3 * x + 1] = static_cast<unsigned char>(image::green(in[x]));
        out[3 * x + 2] = static_cast<unsigned char>(image::blue(in[x]));
    }
}

// libjpeg reports errors by calling error_exit, which must not return.
struct JpegState {
    jpeg_error_mgr manager; // first: libjpeg hands it back as the state
    jpeg_compress_struct cinfo{};
    std::jmp_buf jump;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

[[noreturn]] void jpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegState*>(cinfo->err)->jump, 1);
}

// The encoder proper: libjpeg's quality 1..100 over the rows made opaque.
bool encode(const image::Rows& picture, int quality, bool progressive, QByteArray& out) {
    std::vector<unsigned char> row(static_cast<size_t>(picture.width) * 3);
    OpaqueRows opaque(picture);
    // Everything libjpeg changes lives on the heap: locals changed after setjmp
    // are not reliable once it jumps back.
    auto owned = std::make_unique<JpegState>();
    JpegState& state = *owned;
    jpeg_compress_struct& cinfo = state.cinfo;
    cinfo.err = jpeg_std_error(&state.manager);
    state.manager.error_exit = jpegErrorExit;
    if (setjmp(state.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(state.buffer);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &state.buffer, &state.size);
    cinfo.image_width = static_cast<JDIMENSION>(picture.width);
    cinfo.image_height = static_cast<JDIMENSION>(picture.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // Full colour resolution: cut letters have hard coloured edges.
    for (int c = 0; c < 3; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        toRgbRow(opaque.row(static_cast<int>(cinfo.next_scanline)), picture.width, row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    out =
        QByteArray(reinterpret_cast<const char*>(state.buffer), static_cast<qsizetype>(state.size));
    jpeg_destroy_compress(&cinfo);
    std::free(state.buffer);
    return true;
}

} // namespace

bool encodeJpeg(const image::Image& picture, int rate, bool progressive, QByteArray& out,
                QString* why) {
    return encodeJpeg(image::rowsOf(picture), rate, progressive, out, why);
}

bool encodeJpeg(const image::Rows& picture, int rate, bool progressive, QByteArray& out,
                QString* why) {
    if (!settings::JpegRate.contains(rate))
        return failOutOfRange(why, QT_TRANSLATE_NOOP("codecs", "the JPEG rate"), rate,
                              settings::JpegRate);
    if (picture.width <= 0 || picture.height <= 0)
        return fail(why, QT_TRANSLATE_NOOP("codecs", "there is no image to write"));
    if (!encode(picture, 101 - rate, progressive, out))
        return fail(why, QT_TRANSLATE_NOOP("codecs", "the image could not be encoded as JPEG"));
    return true;
}

} // namespace engine::codecs
