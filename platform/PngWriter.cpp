#include "ImageLib.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <memory>
#include <vector>

#include <png.h>
#include <zlib.h>

namespace imagelib {
namespace {

// Cut letters over a pattern have a handful of colours: those images become
// indexed PNGs, far smaller than truecolour rows.
struct Indexed {
    std::vector<QRgb> palette; // ARGB, transparent entries first
    std::vector<uchar> pixels; // one index a pixel, row after row
};

// The picture's colours and each pixel's index, or false past 256 colours.
// Fully transparent pixels are all one colour.
bool indexColours(const QImage& image, bool alpha, Indexed& out) {
    constexpr size_t Slots = 1024; // open addressing, at most a quarter full
    std::array<QRgb, Slots> keys{};
    std::array<int, Slots> values;
    values.fill(-1);
    const int w = image.width(), h = image.height();
    out.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    QRgb last = 0;
    int lastIndex = -1;
    uchar* dst = out.pixels.data();
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb c = alpha ? row[x] : row[x] | 0xFF000000u;
            if (qAlpha(c) == 0)
                c = 0;
            if (c != last || lastIndex < 0) {
                size_t slot = (c * 2654435761u) >> 22;
                while (values[slot] >= 0 && keys[slot] != c)
                    slot = (slot + 1) % Slots;
                if (values[slot] < 0) {
                    if (out.palette.size() == 256)
                        return false;
                    keys[slot] = c;
                    values[slot] = static_cast<int>(out.palette.size());
                    out.palette.push_back(c);
                }
                last = c;
                lastIndex = values[slot];
            }
            *dst++ = static_cast<uchar>(lastIndex);
        }
    }
    // tRNS lists alpha for the first entries only: transparent ones go first.
    std::vector<int> order(out.palette.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return (qAlpha(out.palette[a]) < 255) > (qAlpha(out.palette[b]) < 255);
    });
    std::array<uchar, 256> newIndex{};
    std::vector<QRgb> sorted(out.palette.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newIndex[static_cast<size_t>(order[i])] = static_cast<uchar>(i);
        sorted[i] = out.palette[static_cast<size_t>(order[i])];
    }
    out.palette = std::move(sorted);
    for (uchar& p : out.pixels)
        p = newIndex[p];
    return true;
}

int bitDepthFor(size_t colours) {
    return colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
}

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void pngFlush(png_structp) {}

// What each level asks of zlib and the row filters. Indexed rows compress best
// unfiltered; truecolour rows gain from filters chosen row by row.
struct Settings {
    int zlibLevel;
    int filters;
};

Settings settingsFor(int level, bool indexed) {
    switch (level) {
    case 1:
        return {indexed ? 6 : 1, indexed ? PNG_FILTER_NONE : PNG_FILTER_SUB};
    case 2:
        return {9, indexed ? PNG_FILTER_NONE : PNG_ALL_FILTERS};
    default:
        return {indexed ? 9 : 6, indexed ? PNG_FILTER_NONE : PNG_ALL_FILTERS};
    }
}

// Everything libpng changes after setjmp lives on the heap.
struct Rows {
    std::vector<png_byte> row;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
};

} // namespace

bool EncodePng(const QImage& source, int level, QByteArray& out) {
    if (level < 0 || level > 2 || source.isNull())
        return false;
    const bool alpha = source.hasAlphaChannel();
    const QImage image =
        source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    Indexed indexed;
    const bool useIndex = indexColours(image, alpha, indexed);
    const int w = image.width(), h = image.height();
    const int depth = useIndex ? bitDepthFor(indexed.palette.size()) : 8;
    const int channels = useIndex ? 1 : alpha ? 4 : 3;
    auto state = std::make_unique<Rows>();
    state->row.resize(static_cast<size_t>(w) * static_cast<size_t>(channels) + 1);

    out.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    const int type = useIndex ? PNG_COLOR_TYPE_PALETTE
                     : alpha  ? PNG_COLOR_TYPE_RGB_ALPHA
                              : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth, type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (useIndex) {
        for (QRgb c : indexed.palette) {
            state->palette.push_back({static_cast<png_byte>(qRed(c)),
                                      static_cast<png_byte>(qGreen(c)),
                                      static_cast<png_byte>(qBlue(c))});
            if (qAlpha(c) < 255)
                state->alphas.push_back(static_cast<png_byte>(qAlpha(c)));
        }
        png_set_PLTE(png, info, state->palette.data(), static_cast<int>(state->palette.size()));
        if (!state->alphas.empty())
            png_set_tRNS(png, info, state->alphas.data(), static_cast<int>(state->alphas.size()),
                         nullptr);
    }
    const Settings settings = settingsFor(level, useIndex);
    png_set_compression_level(png, settings.zlibLevel);
    png_set_compression_mem_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filters);
    png_write_info(png, info);
    png_byte* row = state->row.data();
    for (int y = 0; y < h; ++y) {
        if (useIndex) {
            const uchar* in = &indexed.pixels[static_cast<size_t>(y) * static_cast<size_t>(w)];
            if (depth == 8) {
                std::copy(in, in + w, row);
            } else {
                std::fill(row, row + (w * depth + 7) / 8, png_byte{0});
                const int perByte = 8 / depth;
                for (int x = 0; x < w; ++x)
                    row[x / perByte] |=
                        static_cast<png_byte>(in[x] << (8 - depth * (x % perByte + 1)));
            }
        } else {
            const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            png_byte* o = row;
            for (int x = 0; x < w; ++x) {
                *o++ = static_cast<png_byte>(qRed(in[x]));
                *o++ = static_cast<png_byte>(qGreen(in[x]));
                *o++ = static_cast<png_byte>(qBlue(in[x]));
                if (alpha)
                    *o++ = static_cast<png_byte>(qAlpha(in[x]));
            }
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace imagelib
