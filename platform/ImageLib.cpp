#include "ImageLib.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include "AtomicFile.h"

namespace imagelib {
namespace {

QString g_lastError;

std::int32_t fail(const QString& why) {
    g_lastError = why;
    return 1;
}

// The top-left width x height pixels of a drawing surface.
bool grab(gdi::HDC dc, std::int32_t width, std::int32_t height, QImage& image) {
    const QImage* surface = gdi::SurfaceOf(dc);
    if (!surface || surface->isNull()) {
        g_lastError = QStringLiteral("保存する画像がありません。");
        return false;
    }
    if (width <= 0 || height <= 0 || width > surface->width() || height > surface->height()) {
        g_lastError =
            QStringLiteral("画像の大きさ (%1 × %2) が正しくありません。").arg(width).arg(height);
        return false;
    }
    image = surface->copy(0, 0, width, height).convertToFormat(QImage::Format_RGB32);
    return true;
}

std::int32_t writeOut(const QString& fileName, const QByteArray& data) {
    QString why;
    if (!platform::writeFileAtomically(fileName, data, &why))
        return fail(why);
    g_lastError.clear();
    return 0;
}

void toRgbRow(const QImage& image, int y, unsigned char* out) {
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
        out[3 * x] = static_cast<unsigned char>(qRed(in[x]));
        out[3 * x + 1] = static_cast<unsigned char>(qGreen(in[x]));
        out[3 * x + 2] = static_cast<unsigned char>(qBlue(in[x]));
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

} // namespace

bool EncodeJpeg(const QImage& image, int quality, bool progressive, QByteArray& out) {
    std::vector<unsigned char> row(static_cast<size_t>(image.width()) * 3);
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
    cinfo.image_width = static_cast<JDIMENSION>(image.width());
    cinfo.image_height = static_cast<JDIMENSION>(image.height());
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
        toRgbRow(image, static_cast<int>(cinfo.next_scanline), row.data());
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

QByteArray EncodeBmp(const QImage& image) {
    const std::uint32_t w = static_cast<std::uint32_t>(image.width());
    const std::uint32_t h = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint32_t pixels = stride * h;
    QByteArray bmp;
    bmp.reserve(static_cast<qsizetype>(54 + pixels));
    const auto put16 = [&bmp](std::uint32_t v) {
        bmp.append(static_cast<char>(v & 0xFF)).append(static_cast<char>((v >> 8) & 0xFF));
    };
    const auto put32 = [&put16](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    bmp.append("BM");
    put32(54 + pixels);
    put32(0);
    put32(54);
    put32(40); // BITMAPINFOHEADER
    put32(w);
    put32(h); // positive: rows bottom-up
    put16(1);
    put16(24);
    put32(0); // BI_RGB
    put32(pixels);
    put32(3780); // 96 dpi
    put32(3780);
    put32(0);
    put32(0);
    std::vector<char> row(stride, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (std::uint32_t x = 0; x < w; ++x) {
            row[3 * x] = static_cast<char>(qBlue(in[x]));
            row[3 * x + 1] = static_cast<char>(qGreen(in[x]));
            row[3 * x + 2] = static_cast<char>(qRed(in[x]));
        }
        bmp.append(row.data(), static_cast<qsizetype>(stride));
    }
    return bmp;
}

std::int32_t DCSavetoJPEG(gdi::HDC dc, std::int32_t width, std::int32_t height,
                          const QString& fileName, std::uint8_t rate, std::int32_t progressive) {
    if (rate < 1 || rate > 100)
        return fail(JpegRateOutOfRange(rate));
    QImage image;
    if (!grab(dc, width, height, image))
        return 1;
    QByteArray data;
    if (!EncodeJpeg(image, 101 - rate, progressive != 0, data))
        return fail(QStringLiteral("JPEG に変換できませんでした。"));
    return writeOut(fileName, data);
}

std::int32_t DCSavetoPNG(gdi::HDC dc, std::int32_t width, std::int32_t height,
                         const QString& fileName, std::uint8_t level) {
    if (level > 2)
        return fail(PngLevelOutOfRange(level));
    QImage image;
    if (!grab(dc, width, height, image))
        return 1;
    QByteArray data;
    if (!EncodePng(image, level, data))
        return fail(QStringLiteral("PNG に変換できませんでした。"));
    return writeOut(fileName, data);
}

std::int32_t SavePicture(const QImage& image, const QString& fileName) {
    if (image.isNull())
        return fail(QStringLiteral("保存する画像がありません。"));
    return writeOut(fileName, EncodeBmp(image.convertToFormat(QImage::Format_RGB32)));
}

QString LastError() {
    return g_lastError;
}

QString JpegRateOutOfRange(int rate) {
    return QStringLiteral("JPEG の圧縮率 %1 は 1 から 100 の範囲にありません。").arg(rate);
}

QString PngLevelOutOfRange(int level) {
    return QStringLiteral("PNG の圧縮率 %1 は 0 から 2 の範囲にありません。").arg(level);
}

} // namespace imagelib
